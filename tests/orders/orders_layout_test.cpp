#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include "app/program_state.h"
#include "test_ledger.h"
#include "ui/orders/orders_window.h"
#include "window_parts.h"

namespace {

struct Control {
    const char* name;
    const char* caption;  // label text, group box title or button caption
    int left, top, width, height;
};

// The main window's design, window coordinates.
const Control kDesign[] = {
    {"分组框1", "查询", 6, 3, 722, 109},    {"标签1", "卖家账号：", 37, 21, 67, 16},
    {"组合框1", "", 106, 19, 96, 20},       {"标签7", "订单号：", 214, 22, 56, 16},
    {"编辑框5", "", 271, 22, 120, 20},      {"标签4", "商品名称：", 422, 21, 56, 16},
    {"编辑框2", "", 493, 22, 120, 20},      {"标签2", "快递公司：", 44, 50, 56, 24},
    {"组合框2", "", 107, 53, 97, 20},       {"标签3", "快递单号：", 212, 56, 64, 16},
    {"编辑框1", "", 271, 53, 120, 20},      {"标签5", "收货信息：", 433, 47, 62, 24},
    {"编辑框3", "", 493, 49, 120, 20},      {"标签6", "购买账号：", 32, 82, 60, 16},
    {"组合框3", "", 101, 83, 96, 20},       {"标签8", "购买订单号：", 209, 83, 74, 16},
    {"编辑框4", "", 288, 82, 120, 20},      {"标签9", "备注：", 441, 78, 37, 16},
    {"编辑框6", "", 494, 77, 120, 20},      {"查询按钮1", "清空", 634, 56, 80, 24},
    {"查询按钮", "查询", 752, 13, 80, 24},  {"按钮2", "等待发货", 752, 48, 80, 24},
    {"按钮3", "问题订单", 752, 84, 80, 24}, {"按钮1", "添加订单", 750, 115, 80, 24},
    {"标签10", "记录：", 24, 120, 720, 24}, {"信息列表框", "", 6, 147, 826, 216},
};

QString Caption(QWidget* widget) {
    if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
    if (auto* box = qobject_cast<QGroupBox*>(widget)) return box->title();
    if (auto* button = qobject_cast<QPushButton*>(widget)) return button->text();
    return {};
}

}  // namespace

TEST(OrdersLayout, EveryControlAtItsDesignPlace) {
    ResetProgramState();
    TestLedger ledger;
    OrdersWindow window;
    EXPECT_EQ(window.windowTitle(), QString::fromUtf8("订单管理"));
    for (const Control& c : kDesign) {
        auto* widget = window.findChild<QWidget*>(QString::fromUtf8(c.name));
        ASSERT_NE(widget, nullptr) << c.name;
        EXPECT_EQ(widget->parentWidget(), &window) << c.name;
        EXPECT_EQ(Caption(widget), QString::fromUtf8(c.caption)) << c.name;
        EXPECT_EQ(widget->pos(), QPoint(c.left, c.top)) << c.name;
        EXPECT_EQ(widget->height(), c.height) << c.name;
        // A label may be widened to show its whole caption, never narrowed.
        if (qobject_cast<QLabel*>(widget)) {
            EXPECT_GE(widget->width(), c.width) << c.name;
            EXPECT_GE(widget->width(), widget->fontMetrics().horizontalAdvance(Caption(widget)))
                << c.name;
        } else if (std::string(c.name) != "信息列表框") {
            EXPECT_EQ(widget->width(), c.width) << c.name;
        }
    }
    EXPECT_TRUE(Named<QPushButton>(window, "按钮1")->isHidden());
    Named<QLabel>(window, "标签10")->ensurePolished();
    EXPECT_EQ(Named<QLabel>(window, "标签10")->palette().color(QPalette::WindowText),
              QColor(255, 0, 0));
    EXPECT_TRUE(Named<QLabel>(window, "标签10")->font().bold());
    EXPECT_EQ(Named<QLabel>(window, "标签10")->font().pixelSize(), 14);
    for (QComboBox* box : {Named<QComboBox>(window, "组合框1"), Named<QComboBox>(window, "组合框2"),
                           Named<QComboBox>(window, "组合框3")}) {
        EXPECT_TRUE(box->isEditable());
        EXPECT_EQ(box->insertPolicy(), QComboBox::NoInsert);
        EXPECT_EQ(box->count(), 0);
    }
    QStringList items;
    for (QAction* item : Named<QMenu>(window, "菜单")->actions()) items << item->objectName();
    // The five designed items, then what goes beyond the design after a separator.
    EXPECT_EQ(items, QStringList({"发货", "查看", "添加", "修改", "删除", "", "导出到 Excel…",
                                  "从表格导入…", "批量发货…", "打印…", "统计…", "回收站…"}));
}
