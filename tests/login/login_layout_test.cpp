// The login window against its design: frame, position and every control.
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include "app/process_end.h"
#include "common/message_box.h"
#include "login_test_support.h"
#include "platform/files.h"
#include "ui/login/login_window.h"

namespace {

struct ControlDesign {
    const char* name;
    QRect geometry;
    const char* caption;  // UTF-8
};

const ControlDesign kControls[] = {
    {"分组框1", {32, 16, 320, 200}, "登录"}, {"标签1", {56, 80, 40, 24}, "用户名："},
    {"编辑框1", {128, 72, 176, 32}, ""},     {"标签2", {64, 120, 40, 24}, "密码："},
    {"编辑框2", {128, 120, 176, 32}, ""},    {"按钮2", {160, 168, 96, 24}, "登录"},
};

QString CaptionOf(const QWidget* control) {
    if (auto* box = qobject_cast<const QGroupBox*>(control)) return box->title();
    if (auto* label = qobject_cast<const QLabel*>(control)) return label->text();
    if (auto* edit = qobject_cast<const QLineEdit*>(control)) return edit->text();
    if (auto* button = qobject_cast<const QPushButton*>(control)) return button->text();
    return QStringLiteral("<unknown kind>");
}

class LoginLayoutTest : public LoginTestBase {};

TEST_F(LoginLayoutTest, FrameMatchesTheDesign) {
    LoginWindow* window = OpenLogin();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tallovar"));
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->parentWidget(), nullptr);
    // The design's size is the outer one, frame included where there is one.
    EXPECT_EQ(window->frameGeometry().size(), QSize(395, 269));
    EXPECT_EQ(window->minimumSize(), window->size());
    EXPECT_EQ(window->maximumSize(), window->size());

    const Qt::WindowFlags flags = window->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(flags & Qt::WindowSystemMenuHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);

    const QRect screen = window->screen()->geometry();
    EXPECT_EQ(window->frameGeometry().topLeft(),
              QPoint(screen.left() + (screen.width() - 395) / 2,
                     screen.top() + (screen.height() - 269) / 2));
}

TEST_F(LoginLayoutTest, EveryControlAtItsPlaceWithItsCaption) {
    LoginWindow* window = OpenLogin();
    ASSERT_NE(window, nullptr);
    for (const ControlDesign& design : kControls) {
        SCOPED_TRACE(design.name);
        auto* control = window->findChild<QWidget*>(QString::fromUtf8(design.name));
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->parentWidget(), window);
        EXPECT_TRUE(control->isVisible());
        EXPECT_TRUE(control->isEnabled());
        EXPECT_EQ(CaptionOf(control), QString::fromUtf8(design.caption));
        EXPECT_EQ(control->pos(), design.geometry.topLeft());
        EXPECT_EQ(control->height(), design.geometry.height());
        if (auto* label = qobject_cast<QLabel*>(control)) {
            // A label may be wider than drawn, never narrower than its caption.
            EXPECT_GE(label->width(), design.geometry.width());
            EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()));
        } else {
            EXPECT_EQ(control->width(), design.geometry.width());
        }
    }
    // The widened labels still end before the boxes they stand beside.
    for (const auto& [label, edit] :
         {std::pair{"标签1", "编辑框1"}, std::pair{"标签2", "编辑框2"}}) {
        SCOPED_TRACE(label);
        EXPECT_LT(window->findChild<QLabel*>(QString::fromUtf8(label))->geometry().right(),
                  window->findChild<QLineEdit*>(QString::fromUtf8(edit))->x());
    }
    // The group box is only a frame: it lies beneath every other control.
    const QObjectList stack = window->children();
    const qsizetype frame =
        stack.indexOf(window->findChild<QGroupBox*>(QString::fromUtf8("分组框1")));
    for (const ControlDesign& design : kControls) {
        SCOPED_TRACE(design.name);
        EXPECT_LE(frame,
                  stack.indexOf(window->findChild<QWidget*>(QString::fromUtf8(design.name))));
    }
}

TEST_F(LoginLayoutTest, PasswordShowsStarsAndReadsAsTyped) {
    LoginWindow* window = OpenLogin();
    ASSERT_NE(window, nullptr);
    QLineEdit* name = Edit(window, "编辑框1");
    QLineEdit* password = Edit(window, "编辑框2");
    password->setText(QString::fromUtf8("密 a'1"));
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);
    EXPECT_EQ(password->displayText(), QStringLiteral("*****"));
    EXPECT_EQ(password->text(), QString::fromUtf8("密 a'1"));
    name->setText(QStringLiteral("abc"));
    EXPECT_EQ(name->displayText(), QStringLiteral("abc"));
}

}  // namespace
