#include "ui/orders/orders_window.h"

#include <QFont>
#include <QMenu>
#include <QPointer>
#include <QResizeEvent>

#include "common/text_encoding.h"
#include "ui/exchange/export_order_list.h"
#include "ui/orders/fill_order_list.h"
#include "ui/pick_list.h"
#include "ui/print/open_print_window.h"
#include "ui/window_frame.h"
#include "ui_orders.h"

namespace {

QPointer<OrdersWindow>& OpenWindow() {
    static QPointer<OrdersWindow> window;
    return window;
}

QAction* AddMenuItem(QMenu* menu, const char* name) {
    QAction* item = menu->addAction(QString::fromUtf8(name));
    item->setObjectName(QString::fromUtf8(name));
    return item;
}

}  // namespace

OrdersWindow::OrdersWindow() : ui_(std::make_unique<Ui::OrdersWindow>()) {
    setAttribute(Qt::WA_DeleteOnClose);
    ui_->setupUi(this);

    QFont totalsFont = ui_->标签10->font();
    totalsFont.setPixelSize(14);
    totalsFont.setBold(true);
    ui_->标签10->setFont(totalsFont);
    ShowLabelsAsStaticText(this);
    SetUpDropDowns(this);

    菜单 = new QMenu(QString::fromUtf8("菜单"), this);
    菜单->setObjectName(QString::fromUtf8("菜单"));
    发货 = AddMenuItem(菜单, "发货");
    查看 = AddMenuItem(菜单, "查看");
    添加 = AddMenuItem(菜单, "添加");
    修改 = AddMenuItem(菜单, "修改");
    删除 = AddMenuItem(菜单, "删除");
    菜单->addSeparator();
    导出到Excel = AddMenuItem(菜单, "导出到 Excel…");
    从表格导入 = AddMenuItem(菜单, "从表格导入…");
    批量发货 = AddMenuItem(菜单, "批量发货…");
    打印 = AddMenuItem(菜单, "打印…");
    统计 = AddMenuItem(菜单, "统计…");
    回收站 = AddMenuItem(菜单, "回收站…");

    connect(ui_->查询按钮, &QPushButton::clicked, this, &OrdersWindow::SearchClicked);
    connect(ui_->查询按钮1, &QPushButton::clicked, this, &OrdersWindow::ClearClicked);
    connect(ui_->按钮2, &QPushButton::clicked, this, &OrdersWindow::WaitingClicked);
    connect(ui_->按钮3, &QPushButton::clicked, this, &OrdersWindow::ProblemClicked);
    connect(ui_->按钮1, &QPushButton::clicked, this, &OrdersWindow::AddOrder);
    connect(ui_->信息列表框, &OrderListView::rightClicked, this, &OrdersWindow::ShowPopupMenu);
    connect(ui_->信息列表框, &OrderListView::itemAreaDoubleClicked, this, &OrdersWindow::ViewOrder);
    connect(发货, &QAction::triggered, this, &OrdersWindow::ShipOrder);
    connect(查看, &QAction::triggered, this, &OrdersWindow::ViewOrder);
    connect(添加, &QAction::triggered, this, &OrdersWindow::AddOrder);
    connect(修改, &QAction::triggered, this, &OrdersWindow::ModifyOrder);
    connect(删除, &QAction::triggered, this, &OrdersWindow::DeleteOrder);
    connect(导出到Excel, &QAction::triggered, this, &OrdersWindow::ExportToSheet);
    connect(从表格导入, &QAction::triggered, this, &OrdersWindow::ImportFromSheet);
    connect(批量发货, &QAction::triggered, this, &OrdersWindow::ShipInBulk);
    connect(打印, &QAction::triggered, this, &OrdersWindow::PrintOrders);
    connect(统计, &QAction::triggered, this, &OrdersWindow::OpenSummary);
    connect(回收站, &QAction::triggered, this, &OrdersWindow::OpenRecycleBin);
}

OrdersWindow::~OrdersWindow() = default;

void OrdersWindow::ExportToSheet() {
    ExportOrderList(this, *ui_->信息列表框->List(), shownTotals_);
}

void OrdersWindow::PrintOrders() { OpenPrintWindow(*ui_->信息列表框->List(), shownTotals_); }

void OrdersWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    SizeChanged();
}

void OrdersWindow::RunQuery(const OrderSearchTexts& inputs, const std::string& filter) {
    lastInputs_ = inputs;
    lastFilter_ = filter;
    OrderListDisplay display{
        外部数据库1, [this](const std::string& line) { ui_->标签10->setText(GbkToQString(line)); },
        *ui_->信息列表框->List(), [this](const OrderTotals& totals) { shownTotals_ = totals; }};
    QueryOrders(display, inputs, filter);
}

void OrdersWindow::QueryAgain() { RunQuery(lastInputs_, lastFilter_); }

void OpenMainWindow() {
    auto* window = new OrdersWindow;
    OpenWindow() = window;
    window->Created();
    ShowInDesignFrame(window, 852, 442, false);
}

OrdersWindow* MainWindow() { return OpenWindow().data(); }
