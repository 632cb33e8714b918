// The main window's set-up, its resizing and its four search buttons.
#include <QComboBox>
#include <QLineEdit>

#include "common/text_encoding.h"
#include "store/order_words.h"
#include "store/settings.h"
#include "ui/orders/orders_window.h"
#include "ui/pick_list.h"
#include "ui_orders.h"

namespace {

std::string TextOf(const QComboBox* box) { return QStringToGbk(box->currentText()); }
std::string TextOf(const QLineEdit* box) { return QStringToGbk(box->text()); }

}  // namespace

void OrdersWindow::Created() {
    AppendPickList(kSellerAccounts, {ui_->组合框1, ui_->组合框3});
    AppendPickList(kExpressCompanies, {ui_->组合框2});
}

void OrdersWindow::SizeChanged() {
    // The list follows the window's outer size; its corner stays where it is.
    const QSize outer = frameGeometry().size();
    ui_->信息列表框->resize(std::max(0, outer.width() - 50), std::max(0, outer.height() - 200));
    // The totals line may take the width up to the window's right edge (nothing
    // visible stands there), so long totals keep their design size longer.
    constexpr int kTotalsDesignWidth = 720;
    constexpr int kEdgeMargin = 6;
    ui_->标签10->resize(std::max(kTotalsDesignWidth, width() - ui_->标签10->x() - kEdgeMargin),
                        ui_->标签10->height());
}

void OrdersWindow::SearchClicked() {
    RunQuery({TextOf(ui_->组合框1), TextOf(ui_->编辑框5), TextOf(ui_->组合框2),
              TextOf(ui_->编辑框1), TextOf(ui_->编辑框2), TextOf(ui_->组合框3),
              TextOf(ui_->编辑框4), TextOf(ui_->编辑框3), TextOf(ui_->编辑框6)},
             "");
}

void OrdersWindow::WaitingClicked() { RunQuery({}, Gbk(kWaitingFilter)); }

void OrdersWindow::ProblemClicked() { RunQuery({}, Gbk(kProblemFilter)); }

void OrdersWindow::ClearClicked() {
    ui_->组合框1->setCurrentText(QString());
    ui_->组合框2->setCurrentText(QString());
    ui_->组合框3->setCurrentText(QString());
    ui_->编辑框1->clear();
    ui_->编辑框2->clear();
    ui_->编辑框3->clear();
    ui_->编辑框4->clear();
    ui_->编辑框5->clear();
    ui_->编辑框6->clear();
}
