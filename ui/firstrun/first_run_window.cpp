#include "ui/firstrun/first_run_window.h"

#include <QFileDialog>
#include <QStringList>

#include "common/message_box.h"
#include "common/text_encoding.h"
#include "store/first_ledger.h"
#include "store/pick_lists.h"
#include "ui_first_run.h"

namespace {

QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

// One item a line; blanks around an item and empty lines do not count.
std::vector<std::string> Items(const QString& lines) {
    std::vector<std::string> items;
    for (const QString& line : lines.split(QLatin1Char('\n'))) {
        if (!line.trimmed().isEmpty()) items.push_back(line.trimmed().toStdString());
    }
    return items;
}

QString Lines(const std::vector<std::string>& items) {
    QStringList lines;
    for (const std::string& item : items) lines.append(Text(item));
    return lines.join(QLatin1Char('\n'));
}

}  // namespace

FirstRunWindow::FirstRunWindow(const std::string& launcherFolder, const std::string& settingsPath)
    : ui_(std::make_unique<Ui::FirstRunWindow>()),
      launcherFolder_(launcherFolder),
      settingsPath_(settingsPath) {
    ui_->setupUi(this);
    ui_->编辑框1->setText(Text(launcherFolder));
    ui_->编辑框5->setPlainText(Lines(ReadPickList(settingsPath, PickLists()[0])));
    ui_->编辑框6->setPlainText(Lines(ReadPickList(settingsPath, PickLists()[1])));
    ui_->按钮2->setDefault(true);
    ui_->编辑框2->setFocus();
    connect(ui_->按钮1, &QPushButton::clicked, this, &FirstRunWindow::BrowseClicked);
    connect(ui_->按钮2, &QPushButton::clicked, this, &FirstRunWindow::OkClicked);
    connect(ui_->按钮3, &QPushButton::clicked, this, &QDialog::reject);
}

FirstRunWindow::~FirstRunWindow() = default;

void FirstRunWindow::BrowseClicked() {
    const QString folder =
        QFileDialog::getExistingDirectory(this, QStringLiteral("账本文件夹"), ui_->编辑框1->text());
    if (!folder.isEmpty()) ui_->编辑框1->setText(folder);
}

void FirstRunWindow::OkClicked() {
    if (ui_->编辑框3->text() != ui_->编辑框4->text()) {
        ShowMessage(Gbk("两次输入的密码不一样，请重新输入。"), kMbOk, Gbk("新建账本"));
        return;
    }
    const FirstLedger choice{ui_->编辑框1->text().trimmed().toStdString(),
                             ui_->编辑框2->text().toStdString(), ui_->编辑框3->text().toStdString(),
                             Items(ui_->编辑框5->toPlainText()),
                             Items(ui_->编辑框6->toPlainText())};
    if (Status made = MakeFirstLedger(choice, settingsPath_, launcherFolder_); !made.ok()) {
        ShowMessage(Gbk(made.chinese), kMbOk, Gbk("新建账本"));
        return;
    }
    accept();
}
