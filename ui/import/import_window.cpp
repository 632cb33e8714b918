#include "ui/import/import_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <string_view>

#include "common/message_box.h"
#include "common/text_encoding.h"
#include "store/settings.h"
#include "ui/busy_cursor.h"
#include "ui/ledger_connection.h"
#include "ui/open_file_dialog.h"
#include "ui/window_frame.h"

namespace {

// Rows the preview shows; the counts cover every row.
constexpr int kPreviewRows = 5000;

QPointer<ImportWindow>& OpenWindow() {
    static QPointer<ImportWindow> window;
    return window;
}

void Tell(const std::string& utf8) { ShowMessage(Gbk(utf8), kMbOk, Gbk("提示")); }

QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }

template <typename T>
T* Named(QWidget* parent, const char* name) {
    T* widget = new T(parent);
    widget->setObjectName(QString::fromUtf8(name));
    return widget;
}

QPushButton* Button(QWidget* parent, const char* name, const char* text) {
    QPushButton* button = Named<QPushButton>(parent, name);
    button->setText(QString::fromUtf8(text));
    return button;
}

}  // namespace

ImportWindow::ImportWindow() {
    setObjectName("ImportWindow");
    setWindowTitle(QStringLiteral("从表格导入"));
    setAttribute(Qt::WA_DeleteOnClose);
    文件 = Named<QLineEdit>(this, "文件");
    文件->setReadOnly(true);
    选择文件按钮 = Button(this, "选择文件按钮", "选择文件…");
    映射 = Named<QComboBox>(this, "映射");
    卖家账号 = Named<QComboBox>(this, "卖家账号");
    卖家账号->setEditable(true);
    卖家账号->addItem(QString());
    for (const std::string& account : ReadListSetting(SettingsPath(), kSellerAccounts)) {
        卖家账号->addItem(Q(GbkToUtf8(account)));
    }
    映射表 = Named<QTableWidget>(this, "映射表");
    映射表->setColumnCount(2);
    映射表->setHorizontalHeaderLabels({QStringLiteral("订单列"), QStringLiteral("来自表格的列")});
    映射表->setRowCount(static_cast<int>(kOrderTextColumnCount));
    映射表->verticalHeader()->hide();
    映射表->horizontalHeader()->setStretchLastSection(true);
    for (int row = 0; row < static_cast<int>(kOrderTextColumnCount); ++row) {
        auto* name = new QTableWidgetItem(QString::fromUtf8(kOrderTextColumnNames[row]));
        name->setFlags(Qt::ItemIsEnabled);
        映射表->setItem(row, 0, name);
        auto* source = new QComboBox(映射表);
        source->setEditable(true);
        映射表->setCellWidget(row, 1, source);
    }
    映射名称 = Named<QLineEdit>(this, "映射名称");
    映射名称->setPlaceholderText(QStringLiteral("映射的名称"));
    保存映射按钮 = Button(this, "保存映射按钮", "保存映射");
    补充运单号 = Named<QCheckBox>(this, "补充运单号");
    补充运单号->setText(QStringLiteral("补充运单号"));
    补充运单号->setToolTip(
        QStringLiteral("订单号已在账本中且尚未发货时，填入表格中的快递公司和运单号"));
    预览按钮 = Button(this, "预览按钮", "预览");
    预览列表 = Named<QTableWidget>(this, "预览列表");
    预览列表->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QStringList headers = {QStringLiteral("行"), QStringLiteral("结果")};
    for (const char* name : kOrderTextColumnNames) headers << QString::fromUtf8(name);
    预览列表->setColumnCount(headers.size());
    预览列表->setHorizontalHeaderLabels(headers);
    预览列表->verticalHeader()->hide();
    // Room for a verdict with its reason's start and a whole marketplace order number.
    预览列表->setColumnWidth(0, 50);
    预览列表->setColumnWidth(1, 200);
    预览列表->setColumnWidth(3, 190);
    统计标签 = Named<QLabel>(this, "统计标签");
    导入按钮 = Button(this, "导入按钮", "导入");

    auto* top = new QGridLayout;
    top->addWidget(new QLabel(QStringLiteral("文件："), this), 0, 0);
    top->addWidget(文件, 0, 1, 1, 3);
    top->addWidget(选择文件按钮, 0, 4);
    top->addWidget(new QLabel(QStringLiteral("列的对应："), this), 1, 0);
    top->addWidget(映射, 1, 1);
    top->addWidget(new QLabel(QStringLiteral("表格中没有店铺时的卖家账号："), this), 1, 2);
    top->addWidget(卖家账号, 1, 3);
    top->addWidget(补充运单号, 1, 4);
    auto* save = new QHBoxLayout;
    save->addWidget(new QLabel(QStringLiteral("多列用“ + ”连接，固定文字加英文双引号。"), this));
    save->addStretch();
    save->addWidget(映射名称);
    save->addWidget(保存映射按钮);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(预览按钮);
    bottom->addWidget(统计标签, 1);
    bottom->addWidget(导入按钮);
    auto* page = new QVBoxLayout(this);
    page->addLayout(top);
    page->addWidget(映射表, 2);
    page->addLayout(save);
    page->addWidget(预览列表, 3);
    page->addLayout(bottom);

    LoadMappings({});
    connect(选择文件按钮, &QPushButton::clicked, this, &ImportWindow::ChooseFileClicked);
    connect(映射, &QComboBox::activated, this, &ImportWindow::MappingChosen);
    connect(保存映射按钮, &QPushButton::clicked, this, &ImportWindow::SaveMappingClicked);
    connect(预览按钮, &QPushButton::clicked, this, &ImportWindow::PreviewClicked);
    connect(导入按钮, &QPushButton::clicked, this, &ImportWindow::ImportClicked);
}

ImportWindow::~ImportWindow() = default;

bool ImportWindow::Connected() { return ConnectedOrTold(外部数据库1); }

void ImportWindow::LoadMappings(const std::string& select) {
    std::string problems;
    mappings_ = ::LoadMappings(PresetFolder(), problems);
    for (ImportMapping& saved : ::LoadMappings(SavedMappingFolder(), problems)) {
        mappings_.push_back(std::move(saved));
    }
    映射->clear();
    for (const ImportMapping& mapping : mappings_) 映射->addItem(Q(mapping.name));
    // Nothing chosen until a file's header or the user chooses.
    映射->setCurrentIndex(映射->findText(Q(select)));
    if (!problems.empty()) 统计标签->setText(Q(problems));
}

void ImportWindow::ShowMapping(const ImportMapping& mapping) {
    base_ = mapping;
    QStringList columns = {QString()};
    for (const std::string& cell : header_.cells) {
        if (!cell.empty()) columns << Q(cell);
    }
    for (int row = 0; row < static_cast<int>(kOrderTextColumnCount); ++row) {
        auto* source = static_cast<QComboBox*>(映射表->cellWidget(row, 1));
        source->clear();
        source->addItems(columns);
        // 卖家账号 may also be one of the pick list's accounts as a fixed text.
        if (kOrderTextColumnNames[static_cast<std::size_t>(row)] == std::string_view("卖家账号")) {
            for (int item = 1; item < 卖家账号->count(); ++item) {
                source->addItem("\"" + 卖家账号->itemText(item) + "\"");
            }
        }
        source->setEditText(Q(PartsText(mapping.columns[static_cast<std::size_t>(row)])));
    }
    映射名称->setText(Q(mapping.name));
    预览列表->setRowCount(0);
    orders_.clear();
    judgements_.clear();
}

ImportMapping ImportWindow::MappingOnPage() const {
    ImportMapping mapping = base_;
    mapping.name = 映射名称->text().trimmed().toStdString();
    for (int row = 0; row < static_cast<int>(kOrderTextColumnCount); ++row) {
        const auto* source = static_cast<QComboBox*>(映射表->cellWidget(row, 1));
        mapping.columns[static_cast<std::size_t>(row)] =
            PartsOfText(source->currentText().toStdString());
    }
    return mapping;
}

void ImportWindow::ChooseFileClicked() {
    const QString path = AskOpenFileName(this, QStringLiteral("选择要导入的表格"),
                                         QStringLiteral("表格 (*.xlsx *.csv *.xls);;所有文件 (*)"));
    if (path.isEmpty()) return;
    SheetHeader header;
    const ImportMapping* recognised = nullptr;
    const Status read = WhileBusy(
        [&] { return ReadSheetHeader(path.toStdString(), mappings_, header, recognised); });
    if (!read.ok()) {
        Tell(read.chinese);
        return;
    }
    path_ = path.toStdString();
    header_ = std::move(header);
    文件->setText(path);
    if (recognised) {
        映射->setCurrentIndex(static_cast<int>(recognised - mappings_.data()));
        ShowMapping(*recognised);
        统计标签->setText(Q("按“" + recognised->name + "”的表头对应各列"));
    } else {
        映射->setCurrentIndex(-1);
        ShowMapping(MappingOfHeader(header_.cells, "新映射"));
        统计标签->setText(QStringLiteral("没有认出表头，请为各订单列选择表格中的列"));
    }
}

void ImportWindow::MappingChosen(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= mappings_.size()) return;
    ShowMapping(mappings_[static_cast<std::size_t>(index)]);
}

void ImportWindow::SaveMappingClicked() {
    const ImportMapping mapping = MappingOnPage();
    if (const Status saved = SaveMapping(mapping, SavedMappingFolder(), PresetFolder());
        !saved.ok()) {
        Tell(saved.chinese);
        return;
    }
    LoadMappings(mapping.name);
    统计标签->setText(Q("已保存映射“" + mapping.name + "”，下次可以直接选用"));
}

bool ImportWindow::PreviewClicked() {
    if (path_.empty()) {
        Tell("请先选择要导入的表格文件。");
        return false;
    }
    const ImportMapping mapping = MappingOnPage();
    const std::string account = 卖家账号->currentText().trimmed().toStdString();
    std::vector<ImportOrder> orders;
    Status read =
        WhileBusy([&] { return ReadMappedOrders(path_, header_, mapping, account, orders); });
    if (!read.ok()) {
        Tell(read.chinese);
        return false;
    }
    if (!Connected()) return false;
    ImportRules rules;
    rules.byOrderNumber = mapping.clean;
    rules.fillWaybills = 补充运单号->isChecked();
    std::vector<ImportJudgement> judgements;
    const Status judged =
        WhileBusy([&] { return JudgeImportOrders(外部数据库1, orders, rules, judgements); });
    if (!judged.ok()) {
        Tell(judged.chinese);
        return false;
    }
    orders_ = std::move(orders);
    judgements_ = std::move(judgements);

    const int shown = std::min(static_cast<int>(orders_.size()), kPreviewRows);
    预览列表->setRowCount(shown);
    for (int row = 0; row < shown; ++row) {
        const ImportOrder& order = orders_[static_cast<std::size_t>(row)];
        std::string verdict = ImportVerdictName(judgements_[static_cast<std::size_t>(row)].verdict);
        if (!order.problem.empty()) verdict += "：" + order.problem;
        预览列表->setItem(row, 0, new QTableWidgetItem(QString::number(order.row)));
        auto* verdictItem = new QTableWidgetItem(Q(verdict));
        verdictItem->setToolTip(Q(verdict));
        预览列表->setItem(row, 1, verdictItem);
        for (std::size_t c = 0; c < kOrderTextColumnCount; ++c) {
            预览列表->setItem(row, static_cast<int>(c) + 2,
                              new QTableWidgetItem(Q(GbkToUtf8(order.texts[c]))));
        }
    }
    统计标签->setText(Q(ImportCountsText(judgements_)));
    return true;
}

void ImportWindow::ImportClicked() {
    // What is stored is what the preview shows of the file and the ledger now.
    if (!PreviewClicked()) return;
    const auto refused = std::count_if(judgements_.begin(), judgements_.end(), [](const auto& j) {
        return j.verdict == ImportVerdict::Refused;
    });
    if (refused > 0 && ShowMessage(Gbk("有 " + std::to_string(refused) +
                                       " 行无法导入（见预览中的原因）。只导入其余的行吗？"),
                                   kMbYesNo, Gbk("提示")) != kAnswerYes) {
        return;
    }
    int added = 0;
    int filled = 0;
    const Status stored = WhileBusy(
        [&] { return StoreImportOrders(外部数据库1, orders_, judgements_, added, filled); });
    if (!stored.ok()) {
        Tell(stored.chinese);
        return;
    }
    PreviewClicked();
    std::string done = "已导入 " + std::to_string(added) + " 张订单；在主窗口点“查询”可看到。";
    if (filled > 0) done += "\n另有 " + std::to_string(filled) + " 张已有订单补充了运单号。";
    Tell(done);
}

void OpenImportWindow() {
    QPointer<ImportWindow>& window = OpenWindow();
    if (!window) window = new ImportWindow;
    if (!window->isVisible()) ShowInDesignFrame(window, 960, 680, false);
    window->raise();
    window->activateWindow();
}
