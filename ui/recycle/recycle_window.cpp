#include "ui/recycle/recycle_window.h"

#include <QHeaderView>
#include <QPointer>

#include "common/message_box.h"
#include "common/text_encoding.h"
#include "common/value_text.h"
#include "platform/files.h"
#include "store/ledger.h"
#include "store/ledger_schema.h"
#include "store/recycle_bin.h"
#include "ui/orders/orders_window.h"
#include "ui/window_frame.h"
#include "ui_recycle.h"

namespace {

// 编号 (kept hidden), 删除时间, ID and the fourteen texts, as the bin lists them.
constexpr int kColumns = 17;

QPointer<RecycleWindow>& OpenWindow() {
    static QPointer<RecycleWindow> window;
    return window;
}

QStringList Headers() {
    QStringList headers = {QStringLiteral("编号"), QStringLiteral("删除时间"),
                           QStringLiteral("ID")};
    for (const char* column : kOrderTextColumnNames) headers << QString::fromUtf8(column);
    return headers;
}

}  // namespace

RecycleWindow::RecycleWindow() : ui_(std::make_unique<Ui::RecycleWindow>()) {
    ui_->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    ui_->回收列表->setColumnCount(kColumns);
    ui_->回收列表->setHorizontalHeaderLabels(Headers());
    ui_->回收列表->setColumnHidden(0, true);
    ui_->回收列表->verticalHeader()->hide();
    connect(ui_->恢复按钮, &QPushButton::clicked, this, &RecycleWindow::RestoreClicked);
    connect(ui_->彻底删除按钮, &QPushButton::clicked, this, &RecycleWindow::PurgeClicked);
}

RecycleWindow::~RecycleWindow() = default;

bool RecycleWindow::Load() {
    const std::string path = DatabasePath();
    if (TeamLedgerConnection().empty() && !PathExists(path)) {
        ShowMessage(Gbk("数据库不存在"), kMbOk, Gbk("警告"));
        return false;
    }
    DatabaseConnection& db = 外部数据库1;
    bool present = false;
    if (!OpenLedger(db)) {
        ShowDatabaseError(db.LastError());
        return false;
    }
    if (const Status asked = HasRecycleBin(db, present); !asked.ok()) {
        ShowDatabaseError(Gbk(asked.chinese));
        return false;
    }
    if (!present) {
        ShowMessage(Gbk("这个账本还没有回收站。\n请关闭程序，在账本所在的文件夹中运行\n"
                        "tallovar-admin upgrade\n然后再启动程序。"),
                    kMbOk, Gbk("回收站"));
        return false;
    }
    std::vector<std::vector<std::string>> entries;
    if (const Status read = ReadRecycleBin(db, entries); !read.ok()) {
        ShowDatabaseError(Gbk(read.chinese));
        return false;
    }
    QTableWidget* list = ui_->回收列表;
    list->setRowCount(0);
    for (const std::vector<std::string>& entry : entries) {
        const int row = list->rowCount();
        list->insertRow(row);
        for (int column = 0; column < kColumns && column < static_cast<int>(entry.size());
             ++column) {
            list->setItem(
                row, column,
                new QTableWidgetItem(GbkToQString(entry[static_cast<std::size_t>(column)])));
        }
    }
    list->resizeColumnsToContents();
    return true;
}

long long RecycleWindow::SelectedEntry() {
    const QList<QTableWidgetItem*> selected = ui_->回收列表->selectedItems();
    if (selected.isEmpty()) {
        ShowMessage(Gbk("请选择回收站中的订单！"));
        return 0;
    }
    return ui_->回收列表->item(selected.first()->row(), 0)->text().toLongLong();
}

void RecycleWindow::RestoreClicked() {
    const long long entry = SelectedEntry();
    if (entry == 0) return;
    std::string newId;
    if (const Status restored = RestoreFromRecycleBin(外部数据库1, entry, newId); !restored.ok()) {
        ShowDatabaseError(Gbk(restored.chinese));
        // Another user took the entry meanwhile: the list shows what is left.
        if (restored.Is(StatusKind::NotFound)) Load();
        return;
    }
    ShowMessage(Gbk("订单已恢复，ID：") + newId, kMbOk, Gbk("回收站"));
    Load();
    if (OrdersWindow* orders = MainWindow()) orders->QueryAgain();
}

void RecycleWindow::PurgeClicked() {
    const long long entry = SelectedEntry();
    if (entry == 0) return;
    if (ShowMessage(Gbk("确定彻底删除这张订单吗？彻底删除后不能再恢复。"), kMbYesNo, Gbk("提示")) !=
        kAnswerYes) {
        return;
    }
    if (const Status removed = RemoveFromRecycleBin(外部数据库1, entry); !removed.ok()) {
        ShowDatabaseError(Gbk(removed.chinese));
    }
    Load();
}

void OpenRecycleWindow() {
    QPointer<RecycleWindow>& window = OpenWindow();
    if (!window) window = new RecycleWindow;
    if (!window->Load()) {
        window->close();
        return;
    }
    if (!window->isVisible()) ShowInDesignFrame(window, 820, 420, false);
    window->raise();
    window->activateWindow();
}
