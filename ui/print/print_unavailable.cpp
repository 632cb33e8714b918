// "打印…" in a build made without Qt's print support or libzint (a Windows
// build where they were not found): the menu item says so.

#include "common/message_box.h"
#include "common/text_encoding.h"
#include "ui/print/open_print_window.h"

void OpenPrintWindow(const OrderListModel&, const OrderTotals&) {
    ShowMessage(Gbk("这个版本不含打印功能。"), kMbOk, Gbk("提示"));
}
