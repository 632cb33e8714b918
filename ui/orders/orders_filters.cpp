// The main window's set-up, its resizing and its four search buttons.
#include <QComboBox>
#include <QLineEdit>

#include "common/text_encoding.h"
#include "store/order_words.h"
#include "store/settings.h"
#include "ui/orders/orders_window.h"
#include "ui/pick_list.h"

namespace {

std::string TextOf(const QComboBox* box) { return QStringToGbk(box->currentText()); }
std::string TextOf(const QLineEdit* box) { return QStringToGbk(box->text()); }

}  // namespace

void OrdersWindow::Created() {
    AppendPickList(kSellerAccounts, {组合框1, 组合框3});
    AppendPickList(kExpressCompanies, {组合框2});
}

void OrdersWindow::SizeChanged() {
    // The list follows the window's outer size; its corner stays where it is.
    const QSize outer = frameGeometry().size();
    信息列表框->resize(std::max(0, outer.width() - 50), std::max(0, outer.height() - 200));
    // The totals line may take the width up to the window's right edge (nothing
    // visible stands there), so long totals keep their design size longer.
    constexpr int kTotalsDesignWidth = 720;
    constexpr int kEdgeMargin = 6;
    标签10->resize(std::max(kTotalsDesignWidth, width() - 标签10->x() - kEdgeMargin),
                   标签10->height());
}

void OrdersWindow::SearchClicked() {
    RunQuery({TextOf(组合框1), TextOf(编辑框5), TextOf(组合框2), TextOf(编辑框1), TextOf(编辑框2),
              TextOf(组合框3), TextOf(编辑框4), TextOf(编辑框3), TextOf(编辑框6)},
             "");
}

void OrdersWindow::WaitingClicked() { RunQuery({}, Gbk(kWaitingFilter)); }

void OrdersWindow::ProblemClicked() { RunQuery({}, Gbk(kProblemFilter)); }

void OrdersWindow::ClearClicked() {
    组合框1->setCurrentText(QString());
    组合框2->setCurrentText(QString());
    组合框3->setCurrentText(QString());
    编辑框1->clear();
    编辑框2->clear();
    编辑框3->clear();
    编辑框4->clear();
    编辑框5->clear();
    编辑框6->clear();
}
