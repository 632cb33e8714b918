#pragma once
// The main window "订单管理": nine search fields, the search buttons, the
// totals line 标签10, the order list 信息列表框 and its pop-up menu 菜单.

#include <QWidget>
#include <memory>
#include <string>

#include "store/database.h"
#include "store/order_statements.h"

namespace Ui {
class OrdersWindow;
}
class QAction;
class QMenu;

class OrdersWindow : public QWidget {
    Q_OBJECT

  public:
    OrdersWindow();
    ~OrdersWindow() override;

    // Runs the last search again, after orders changed elsewhere.
    void QueryAgain();

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    friend void OpenMainWindow();

    // Event handlers.
    void Created();
    void SizeChanged();
    void SearchClicked();
    void ClearClicked();
    void WaitingClicked();
    void ProblemClicked();
    void ShowPopupMenu();
    void AddOrder();
    void ModifyOrder();
    void ViewOrder();
    void ShipOrder();
    void DeleteOrder();
    void ExportToSheet();
    void ImportFromSheet();
    void ShipInBulk();
    void PrintOrders();
    void OpenSummary();
    void OpenRecycleBin();

    void RunQuery(const OrderSearchTexts& inputs, const std::string& filter);
    bool SelectionMissing(const char* message);

    const std::unique_ptr<Ui::OrdersWindow> ui_;
    DatabaseConnection 外部数据库1;

    // The hidden menu; its items are the pop-up menu of the order list.
    QMenu* 菜单;
    QAction* 发货;
    QAction* 查看;
    QAction* 添加;
    QAction* 修改;
    QAction* 删除;
    // After a separator: what goes beyond the designed menu.
    QAction* 导出到Excel;
    QAction* 从表格导入;
    QAction* 批量发货;
    QAction* 打印;
    QAction* 统计;
    QAction* 回收站;

    OrderTotals shownTotals_;  // the count and sums of what the list shows
    // The search the list shows, for the windows that work on the same orders.
    OrderSearchTexts lastInputs_;
    std::string lastFilter_;
};

// Opens the main window (modeless, no owner).
void OpenMainWindow();
// The open main window, or null.
OrdersWindow* MainWindow();
