#include "login_test_support.h"

#include <sqlite3.h>

#include <QApplication>
#include <QFile>
#include <QPushButton>

#include "app/process_end.h"
#include "app/program_state.h"
#include "common/message_box.h"
#include "platform/files.h"
#include "test_ledger.h"
#include "window_parts.h"

void LoginTestBase::SetUp() {
    ASSERT_TRUE(root_.isValid());
    programDirectory_ = root_.filePath(QStringLiteral("program"));
    workDirectory_ = root_.filePath(QStringLiteral("work"));
    ASSERT_TRUE(QDir().mkpath(programDirectory_));
    ASSERT_TRUE(QDir().mkpath(workDirectory_));
    SetProgramDirectoryForTesting(programDirectory_.toStdString());
    previousDirectory_ = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(workDirectory_));
    ResetProgramState();
    SetMessageBoxForTesting([this](const std::string& text, int flags, const std::string& title) {
        messages_.push_back({text, flags, title});
        return kAnswerOk;
    });
    SetProcessEndForTesting([this](int code) { exitCodes_.push_back(code); });
}

void LoginTestBase::TearDown() {
    while (LoginWindow* window = TopLevel<LoginWindow>()) delete window;
    Settle();
    SetMessageBoxForTesting(nullptr);
    SetProcessEndForTesting(nullptr);
    QDir::setCurrent(previousDirectory_);
    SetProgramDirectoryForTesting("");
}

LoginWindow* LoginTestBase::OpenLogin() {
    OpenLoginWindow();
    return TopLevel<LoginWindow>();
}

QLineEdit* LoginTestBase::Edit(LoginWindow* window, const char* name) {
    return window->findChild<QLineEdit*>(QString::fromUtf8(name));
}

void LoginTestBase::SignIn(LoginWindow* window, const char* name, const char* password) {
    Edit(window, "编辑框1")->setText(QString::fromUtf8(name));
    Edit(window, "编辑框2")->setText(QString::fromUtf8(password));
    window->findChild<QPushButton*>(QString::fromUtf8("按钮2"))->click();
    Settle();
}

void LoginTestBase::Settle() {
    for (int round = 0; round < 3; ++round) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

void LoginTestBase::MakeLedger(const std::vector<LedgerUser>& users) {
    const QByteArray path = QDir(workDirectory_).filePath(QStringLiteral("tallovar.mdb")).toUtf8();
    TestLedger::CreateFile(path.toStdString());
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.constData(), &db), SQLITE_OK);
    for (const LedgerUser& user : users) {
        sqlite3_stmt* insert = nullptr;
        ASSERT_EQ(
            sqlite3_prepare_v2(db, "insert into sysuser(ID, username, password) values(?, ?, ?)",
                               -1, &insert, nullptr),
            SQLITE_OK);
        sqlite3_bind_int(insert, 1, user.id);
        sqlite3_bind_text(insert, 2, user.name, -1, SQLITE_STATIC);
        sqlite3_bind_text(insert, 3, user.password, -1, SQLITE_STATIC);
        EXPECT_EQ(sqlite3_step(insert), SQLITE_DONE) << sqlite3_errmsg(db);
        sqlite3_finalize(insert);
    }
    sqlite3_close(db);
}

void LoginTestBase::WriteLedgerBytes(const QByteArray& bytes) {
    QFile file(QDir(workDirectory_).filePath(QStringLiteral("tallovar.mdb")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

std::string LoginTestBase::ConfigPath() const {
    return QDir(programDirectory_).filePath(QStringLiteral("config.ini")).toStdString();
}

void LoginTestBase::WriteConfigBytes(const QByteArray& bytes) {
    QFile file(QString::fromStdString(ConfigPath()));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray LoginTestBase::ConfigBytes() const {
    QFile file(QString::fromStdString(ConfigPath()));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}
