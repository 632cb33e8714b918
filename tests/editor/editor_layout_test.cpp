// The editor's design: every control at its place with its caption and kind,
// the properties the handlers rely on, and the window's frame.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>

#include "editor_fixture.h"

namespace {

struct Placed {
    const char* name;
    const char* kind;
    const char* caption;
    int left, top, width, height;
};

const Placed kDesign[] = {
    {"分组框1", "QGroupBox", "卖家信息", 10, 8, 694, 80},
    {"标签2", "QLabel", "卖家：", 26, 32, 32, 16},
    {"组合框1", "QComboBox", "", 66, 32, 96, 20},
    {"标签7", "QLabel", "订单号：", 167, 34, 46, 16},
    {"编辑框5", "QLineEdit", "", 217, 33, 120, 20},
    {"标签3", "QLabel", "快递公司：", 342, 32, 56, 24},
    {"组合框2", "QComboBox", "", 403, 33, 97, 20},
    {"标签4", "QLabel", "快递单号：", 505, 36, 58, 16},
    {"编辑框2", "QLineEdit", "", 569, 33, 120, 20},
    {"标签5", "QLabel", "商品名称：", 25, 59, 63, 16},
    {"编辑框3", "QLineEdit", "", 87, 58, 409, 20},
    {"标签10", "QLabel", "卖出日期：", 503, 60, 57, 16},
    {"编辑框7", "QLineEdit", "", 569, 59, 120, 20},
    {"分组框2", "QGroupBox", "购买信息", 10, 93, 694, 83},
    {"标签8", "QLabel", "购买账号：", 26, 115, 62, 16},
    {"组合框3", "QComboBox", "", 88, 114, 96, 20},
    {"标签6", "QLabel", "购买订单号：", 197, 116, 68, 16},
    {"编辑框4", "QLineEdit", "", 271, 115, 120, 20},
    {"标签11", "QLabel", "收货信息：", 25, 142, 63, 16},
    {"编辑框8", "QLineEdit", "", 87, 141, 601, 20},
    {"分组框3", "QGroupBox", "价格信息", 10, 181, 694, 51},
    {"标签9", "QLabel", "售价：", 27, 200, 37, 16},
    {"编辑框6", "ContentEdit", "", 64, 199, 56, 20},
    {"标签12", "QLabel", "进价：", 128, 201, 37, 16},
    {"编辑框9", "ContentEdit", "", 165, 200, 56, 20},
    {"标签13", "QLabel", "佣金：", 231, 201, 37, 16},
    {"编辑框10", "ContentEdit", "", 268, 200, 56, 20},
    {"标签14", "QLabel", "利润：", 335, 201, 33, 16},
    {"编辑框11", "QLineEdit", "", 371, 200, 56, 20},
    {"标签1", "QLabel", "备注：", 10, 259, 32, 24},
    {"编辑框1", "QPlainTextEdit", "", 47, 243, 657, 61},
    {"按钮1", "QPushButton", "添加", 186, 313, 96, 24},
    {"按钮3", "QPushButton", "修改", 304, 313, 96, 24},
    {"按钮2", "QPushButton", "清空", 421, 313, 96, 24},
};

QString Caption(const QWidget* control) {
    if (auto* label = qobject_cast<const QLabel*>(control)) return label->text();
    if (auto* group = qobject_cast<const QGroupBox*>(control)) return group->title();
    if (auto* button = qobject_cast<const QPushButton*>(control)) return button->text();
    return {};
}

using EditorLayoutTest = EditorTest;

TEST_F(EditorLayoutTest, EveryControlSitsAtItsPlaceWithItsKindAndCaption) {
    // Opened with a word and no order: the window keeps its design.
    ASSERT_NE(Open("修改", 0), nullptr);
    int controls = 0;
    for (const Placed& placed : kDesign) {
        SCOPED_TRACE(placed.name);
        QWidget* control = Control(placed.name);
        ASSERT_NE(control, nullptr);
        ++controls;
        EXPECT_TRUE(control->inherits(placed.kind));
        EXPECT_EQ(control->parentWidget(), editor_);  // window coordinates
        EXPECT_EQ(Caption(control).toStdString(), placed.caption);
        EXPECT_EQ(control->pos(), QPoint(placed.left, placed.top));
        EXPECT_EQ(control->height(), placed.height);
        // A label is widened only as far as its whole caption needs.
        const int needed = control->fontMetrics().horizontalAdvance(Caption(control));
        const bool isLabel = qobject_cast<QLabel*>(control) != nullptr;
        EXPECT_EQ(control->width(), isLabel ? std::max(placed.width, needed) : placed.width);
        EXPECT_TRUE(control->isVisible());
        EXPECT_EQ(control->isEnabled(), std::string(placed.name) != "编辑框11");
    }
    EXPECT_EQ(controls, 34);
}

TEST_F(EditorLayoutTest, GroupBoxesLieBehindTheFields) {
    ASSERT_NE(Open("修改", 0), nullptr);
    const QObjectList stack = editor_->children();  // back to front
    qsizetype lastGroup = -1, firstOther = stack.size();
    for (qsizetype i = 0; i < stack.size(); ++i) {
        if (!stack[i]->isWidgetType()) continue;
        if (qobject_cast<QGroupBox*>(stack[i])) {
            lastGroup = i;
        } else {
            firstOther = std::min(firstOther, i);
        }
    }
    EXPECT_LT(lastGroup, firstOther);
    // What is seen at a field's centre is the field itself.
    EXPECT_EQ(editor_->childAt(Control("编辑框2")->geometry().center()), Control("编辑框2"));
}

TEST_F(EditorLayoutTest, FieldsHaveTheirDesignedProperties) {
    ASSERT_NE(Open("修改", 0), nullptr);
    for (const char* name : {"组合框1", "组合框2", "组合框3"}) {
        auto* combo = Control<QComboBox>(name);
        EXPECT_TRUE(combo->isEditable()) << name;
        EXPECT_EQ(combo->insertPolicy(), QComboBox::NoInsert) << name;
        EXPECT_EQ(combo->count(), 0) << name;
    }
    for (const char* name : {"编辑框2", "编辑框3", "编辑框4", "编辑框5", "编辑框6", "编辑框7",
                             "编辑框8", "编辑框9", "编辑框10"}) {
        auto* edit = Control<QLineEdit>(name);
        EXPECT_FALSE(edit->isReadOnly()) << name;
        EXPECT_EQ(edit->echoMode(), QLineEdit::Normal) << name;
    }
    auto* profit = Control<QLineEdit>("编辑框11");
    EXPECT_FALSE(profit->isEnabled());
    EXPECT_TRUE(profit->isReadOnly());
    EXPECT_EQ(profit->focusPolicy(), Qt::NoFocus);

    auto* remark = Control<QPlainTextEdit>("编辑框1");
    EXPECT_FALSE(remark->isReadOnly());
    EXPECT_EQ(remark->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(remark->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(remark->palette().color(QPalette::Active, QPalette::Text), QColor(255, 0, 0));
}

TEST_F(EditorLayoutTest, WindowIsFixedCentredAndHasOnlyACloseButton) {
    ASSERT_NE(Open("修改", 0), nullptr);
    EXPECT_EQ(editor_->windowTitle().toStdString(), "添加订单");
    // Outer size and place, frame included.
    EXPECT_EQ(editor_->frameGeometry().size(), QSize(724, 373));
    EXPECT_EQ(editor_->minimumSize(), editor_->maximumSize());
    const Qt::WindowFlags flags = editor_->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(editor_->parentWidget(), nullptr);
    EXPECT_FALSE(editor_->isModal());
    const QRect screen = editor_->screen()->geometry();
    EXPECT_EQ(editor_->frameGeometry().topLeft(),
              QPoint((screen.width() - 724) / 2, (screen.height() - 373) / 2));
}

}  // namespace
