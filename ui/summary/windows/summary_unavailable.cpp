// The Windows build has no statistics window: the chart it draws needs Qt
// Charts, which is not built for Windows here. The menu item says so.
#include "common/message_box.h"
#include "common/text_encoding.h"
#include "ui/summary/summary_window.h"

void OpenSummaryWindow(const OrderSearchTexts&, const std::string&) {
    ShowMessage(Gbk("此 Windows 版本不含“统计”窗口（缺少图表组件 Qt Charts）。\n"
                    "请在 Linux 版本中使用统计，或用“导出到 Excel…”导出订单后在表格软件中汇总。"),
                kMbOk | kMbIconError, Gbk("统计"));
}
