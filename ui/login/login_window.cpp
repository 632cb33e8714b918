#include "ui/login/login_window.h"

#include <QApplication>
#include <QMetaObject>

#include "app/process_end.h"
#include "app/program_state.h"
#include "app/skin_setup.h"
#include "common/message_box.h"
#include "common/text_encoding.h"
#include "common/value_text.h"
#include "platform/files.h"
#include "store/database_error.h"
#include "store/ledger.h"
#include "store/order_statements.h"
#include "store/settings.h"
#include "ui/busy_cursor.h"
#include "ui/orders/orders_window.h"
#include "ui/window_frame.h"
#include "ui_login.h"

namespace {

constexpr int kOuterWidth = 395;
constexpr int kOuterHeight = 269;

// The ledger must be there before anyone signs in: the file, or on a team
// ledger the server, reached with the configured connection. When it is not,
// the user is told why (for a server: which one, and what it answered).
bool LedgerThere(DatabaseConnection& db) {
    const std::string server = TeamLedgerConnection();
    if (server.empty()) {
        if (PathExists(DatabasePath())) return true;
        ShowMessage(Gbk("数据库不存在，无法使用！"), kMbOk, Gbk("警告"));
        return false;
    }
    if (db.OpenServer(server)) return true;
    ShowMessage(db.LastError(), kMbOk, Gbk("警告"));
    return false;
}

}  // namespace

LoginWindow::LoginWindow() : ui_(std::make_unique<Ui::LoginWindow>()) {
    ui_->setupUi(this);
    // A fixed frame with a system menu and a close button, nothing to
    // minimise or maximise.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_DeleteOnClose);
    connect(ui_->按钮2, &QPushButton::clicked, this, &LoginWindow::SignInClicked);
}

LoginWindow::~LoginWindow() = default;

void LoginWindow::Created() {
    EnableSkinAero();
    AttachSkin(10);
    ui_->编辑框1->setText(GbkToQString(ReadSetting(SettingsPath(), kRememberedUser)));
    ui_->编辑框2->setText(GbkToQString(ReadSetting(SettingsPath(), kRememberedPassword)));
}

void LoginWindow::SignInClicked() {
    if (!LedgerThere(外部数据库1)) {
        EndProcess(0);
        return;
    }
    if (QStringToGbk(ui_->编辑框1->text()).empty() || QStringToGbk(ui_->编辑框2->text()).empty()) {
        ShowMessage(Gbk("用户名或密码为空！"), kMbOk, Gbk("信息提示"));
        return;
    }
    // Remembered before the database is asked, so a refused pair is kept too.
    WriteSetting(kRememberedUser, QStringToGbk(ui_->编辑框1->text()), SettingsPath());
    WriteSetting(kRememberedPassword, QStringToGbk(ui_->编辑框2->text()), SettingsPath());

    // A connection or statement that fails is a database fault, not a wrong
    // password: the user sees the driver's diagnostic and may try again.
    if (!WhileBusy([&] { return OpenLedger(外部数据库1); })) {
        signInRecordset = 0;
        ShowDatabaseError(DatabaseErrorDetail(外部数据库1.LastError()));
        return;
    }
    // The typed texts go in as values, quotes doubled, so a quote in a name
    // or password is looked up as itself.
    const std::string statement =
        SignInQuery(QStringToGbk(ui_->编辑框1->text()), QStringToGbk(ui_->编辑框2->text()));
    signInRecordset = WhileBusy([&] { return 外部数据库1.OpenTable(statement); });
    if (signInRecordset == 0) {
        ShowDatabaseError(DatabaseErrorDetail(外部数据库1.LastError()));
        return;
    }
    signInResult = NumberToInteger(外部数据库1.ReadColByIndex(signInRecordset, 1));
    if (signInResult >= 1) {
        OpenMainWindow();
        // The window goes once this handler has returned.
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
        return;
    }
    ShowMessage(Gbk("登录失败！用户名或密码错误！"), kMbOk, Gbk("信息提示"));
}

void OpenLoginWindow() {
    auto* window = new LoginWindow;
    window->Created();
    // Measured in the font the skin left, so no caption is cut.
    window->ensurePolished();
    ShowLabelsAsStaticText(window);
    ShowInDesignFrame(window, kOuterWidth, kOuterHeight, true);
}

LoginWindow* FindLoginWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<LoginWindow*>(widget)) return window;
    }
    return nullptr;
}
