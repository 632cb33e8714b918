#pragma once
// "统计": the orders of the main window's last search summarised by month,
// day, seller account or express company within a date range, as a table
// with a total row and as a chart. Modeless, with its own connection; it
// reads the ledger when opened and works on what it read.

#include <QWidget>
#include <memory>
#include <vector>

#include "store/database.h"
#include "store/order_summary.h"

namespace Ui {
class SummaryWindow;
}

class SummaryWindow : public QWidget {
    Q_OBJECT

  public:
    SummaryWindow();
    ~SummaryWindow() override;

  private:
    friend void OpenSummaryWindow(const OrderSearchTexts& inputs, const std::string& filter);

    // Reads the orders of a search of the main window; false (after telling
    // the user) when the ledger cannot be read.
    bool Load(const OrderSearchTexts& inputs, const std::string& filter);
    void ThisMonthClicked();
    void LastMonthClicked();
    void ThisYearClicked();
    void WholeRangeClicked();
    void SetRange(int from, int to);
    void Refresh();
    void ShowThisMonth();
    void FillTable(const Summary& summary);
    void ExportClicked();
    bool ReadSources(SummaryDetail detail);

    const std::unique_ptr<Ui::SummaryWindow> ui_;
    QWidget* chart_;
    DatabaseConnection 外部数据库1;

    OrderSearchTexts inputs_;
    std::string filter_;
    std::vector<SummarySource> sources_;
    bool namesRead_ = false;  // sources_ tell sellers and express companies apart
    Summary shown_;           // what the table shows
};

// Opens the window for a search of the main window (texts GBK), or brings
// the open one to the front with that search read anew.
void OpenSummaryWindow(const OrderSearchTexts& inputs, const std::string& filter);
