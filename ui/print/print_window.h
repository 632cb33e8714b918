#pragma once
// "打印…" of the order list's pop-up menu: the orders the list shows, in its
// order, previewed as one of the three printed forms chosen at the top
// (print/printed_orders.h), then printed on any printer the system knows or
// saved as a PDF file. Modeless; it works on the orders as they were listed
// when it opened, so what is previewed is what prints.

#include <QPrinter>
#include <QWidget>
#include <memory>

#include "print/printed_orders.h"
#include "ui/print/open_print_window.h"

namespace Ui {
class PrintWindow;
}
class OrderListModel;
class QPrintPreviewWidget;

class PrintWindow : public QWidget {
    Q_OBJECT

  public:
    PrintWindow();
    ~PrintWindow() override;

    // The pages the preview shows now.
    int PreviewPages() const;

  private:
    friend void OpenPrintWindow(const OrderListModel& list, const OrderTotals& totals);

    void Load(const OrderListModel& list, const OrderTotals& totals);
    // The choice of the last print, shown before the preview is drawn.
    void ShowLastChoice();
    // The user chose a form or paper: the preview follows, and the choice is
    // kept for the next print.
    void ChoiceMade();
    void ChoiceChanged();
    void PrintClicked();
    void SaveClicked();

    const std::unique_ptr<Ui::PrintWindow> ui_;
    QPrinter printer_;
    QPrintPreviewWidget* 预览;
    PrintJob job_;
};
