#include "ui/ship/ship_window.h"

#include <QApplication>
#include <QPointer>

#include "common/message_box.h"
#include "common/text_encoding.h"
#include "store/settings.h"
#include "ui/busy_cursor.h"
#include "ui/ledger_connection.h"
#include "ui/open_file_dialog.h"
#include "ui/ship/ship_preview.h"
#include "ui/window_frame.h"
#include "ui_ship.h"

namespace {

// How long a last line without Enter waits before it is judged: a scanner
// ends its line at once, a hand pauses when done.
constexpr int kLastLineMilliseconds = 400;

QPointer<ShipWindow>& OpenWindow() {
    static QPointer<ShipWindow> window;
    return window;
}

std::function<void()>& TestBeep() {
    static std::function<void()> beep;
    return beep;
}

void Beep() {
    if (TestBeep()) {
        TestBeep()();
    } else {
        QApplication::beep();
    }
}

std::vector<std::string> ExpressPickList() {
    std::vector<std::string> items;
    for (const std::string& item : ReadListSetting(SettingsPath(), kExpressCompanies)) {
        items.push_back(GbkToUtf8(item));
    }
    return items;
}

void Tell(const std::string& utf8) { ShowMessage(Gbk(utf8), kMbOk, Gbk("提示")); }

// The lines of a sheet as the text area holds them, tab between the cells.
std::string AsText(const std::vector<WaybillLine>& lines) {
    std::string text;
    for (const WaybillLine& line : lines) {
        if (!line.problem.empty()) continue;
        text += line.key + "\t" + line.waybill + (line.courier.empty() ? "" : "\t" + line.courier) +
                "\n";
    }
    return text;
}

std::string Problems(const std::vector<WaybillLine>& lines) {
    std::string text;
    for (const WaybillLine& line : lines) {
        if (line.problem.empty()) continue;
        text += "第 " + std::to_string(line.number) + " 行：" + line.problem + "\n";
    }
    return text;
}

}  // namespace

ShipWindow::ShipWindow() : ui_(std::make_unique<Ui::ShipWindow>()) {
    ui_->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    Status loaded;
    couriers_ = CourierTable::LoadInstalled(loaded);
    if (!loaded.ok()) rulesProblem_ = loaded.chinese;
    pickList_ = ExpressPickList();
    SetUpPreview(ui_->预览列表, pickList_,
                 [this](int row, const std::string& courier) { CourierChosen(row, courier); });
    lastLineTimer_.setSingleShot(true);
    lastLineTimer_.setInterval(kLastLineMilliseconds);
    connect(&lastLineTimer_, &QTimer::timeout, this, [this] { Refresh(true); });
    connect(ui_->运单文本, &QPlainTextEdit::textChanged, this, &ShipWindow::TextChanged);
    connect(ui_->从表格读取按钮, &QPushButton::clicked, this, &ShipWindow::ReadSheetClicked);
    connect(ui_->全部发货按钮, &QPushButton::clicked, this, &ShipWindow::ShipAllClicked);
    ui_->统计标签->setText(QString::fromStdString(rulesProblem_));
}

ShipWindow::~ShipWindow() = default;

bool ShipWindow::Connected() { return ConnectedOrTold(外部数据库1); }

void ShipWindow::TextChanged() {
    lastLineTimer_.start();
    Refresh(false);
}

void ShipWindow::Refresh(bool withLast) {
    std::string text = ui_->运单文本->toPlainText().toStdString();
    if (!withLast) text.erase(text.rfind('\n') == std::string::npos ? 0 : text.rfind('\n') + 1);
    // Typing within a line changes no ended line: nothing to judge anew.
    if (text == judgedText_) return;
    judgedText_ = text;
    std::vector<WaybillLine> given;
    ReadWaybillText(text, given);  // valid UTF-8 always reads
    std::vector<ShipLine> lines;
    std::vector<std::vector<std::string>> candidates(given.size());
    std::vector<std::string> keys;
    for (std::size_t i = 0; i < given.size(); ++i) {
        WaybillLine line = given[i];
        if (const auto chosen = chosen_.find({line.key, line.waybill});
            line.courier.empty() && chosen != chosen_.end()) {
            line.courier = chosen->second;
        }
        lines.push_back(ShipLineOf(line, couriers_, pickList_, candidates[i]));
        keys.push_back(lines.back().key);
    }
    if (!keys.empty()) {
        const Status found =
            Connected() ? WhileBusy([&] { return FindShipOrders(外部数据库1, keys, index_); })
                        : Status::Untranslated(GbkToUtf8(外部数据库1.LastError()));
        if (!found.ok()) {
            judgedText_.clear();  // asked again with the next line
            ui_->统计标签->setText(QString::fromStdString(found.chinese));
            return;
        }
    }
    given_ = std::move(given);
    lines_ = std::move(lines);
    candidates_ = std::move(candidates);
    matches_ = JudgeShipLines(lines_, index_);

    bool wrong = false;
    for (std::size_t i = judged_; i < matches_.size(); ++i) {
        wrong = wrong || matches_[i].state != ShipState::Ready;
    }
    if (wrong) Beep();
    judged_ = matches_.size();

    std::vector<PreviewRow> rows;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        rows.push_back({&given_[i], &lines_[i], &matches_[i], &candidates_[i]});
    }
    FillPreview(ui_->预览列表, rows);
    if (!rows.empty()) ui_->预览列表->scrollToBottom();
    std::string counts = ShipCountsText(matches_);
    if (!rulesProblem_.empty()) counts += "（" + rulesProblem_ + "）";
    ui_->统计标签->setText(QString::fromStdString(counts));
}

void ShipWindow::CourierChosen(int row, const std::string& courier) {
    if (row < 0 || static_cast<std::size_t>(row) >= given_.size()) return;
    const WaybillLine& line = given_[static_cast<std::size_t>(row)];
    chosen_[{line.key, line.waybill}] = courier;
    judgedText_.clear();
    // Not from inside the editor that is closing.
    QTimer::singleShot(0, this, [this] { Refresh(true); });
}

void ShipWindow::ReadSheetClicked() {
    const QString path = AskOpenFileName(this, QStringLiteral("从表格读取"),
                                         QStringLiteral("表格 (*.xlsx *.csv);;所有文件 (*)"));
    if (path.isEmpty()) return;
    std::vector<WaybillLine> lines;
    const Status read = WhileBusy([&] { return ReadWaybillSheet(path.toStdString(), lines); });
    if (!read.ok()) {
        Tell(read.chinese);
        return;
    }
    if (const std::string problems = Problems(lines); !problems.empty()) {
        Tell("这些行的单元格被表格程序改坏了，没有读入：\n" + problems);
    }
    judged_ = 0;
    ui_->运单文本->setPlainText(QString::fromStdString(AsText(lines)));
    lastLineTimer_.stop();
    Refresh(true);
}

void ShipWindow::ShipAllClicked() {
    lastLineTimer_.stop();
    Refresh(true);
    const std::vector<ShipOrder> orders = ReadyOrders(lines_, matches_);
    if (orders.empty()) {
        Tell("没有可发货的行。");
        return;
    }
    const std::string count = std::to_string(orders.size());
    if (ShowMessage(Gbk("确定发货 " + count + " 张订单吗？"), kMbYesNo, Gbk("提示")) !=
        kAnswerYes) {
        return;
    }
    if (!Connected()) return;
    std::vector<int> refused;
    const Status shipped =
        WhileBusy([&] { return ShipOrders(外部数据库1, orders, ShipDate(), refused); });
    // What the ledger holds now, the shipped orders and others' changes alike.
    index_.clear();
    judgedText_.clear();
    judged_ = lines_.size();
    Refresh(true);
    if (!shipped.ok()) {
        Tell(shipped.chinese);
        return;
    }
    Tell("已发货 " + count + " 张订单；在主窗口点“查询”或“等待发货”可看到变化。");
}

void OpenShipWindow() {
    QPointer<ShipWindow>& window = OpenWindow();
    if (!window) window = new ShipWindow;
    if (!window->isVisible()) ShowInDesignFrame(window, 860, 560, false);
    window->raise();
    window->activateWindow();
}

void SetShipBeepForTesting(std::function<void()> beep) { TestBeep() = std::move(beep); }
