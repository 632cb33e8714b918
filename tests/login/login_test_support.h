#pragma once
// What the login window tests share: a temporary program directory and
// current directory, a ledger file made with SQLite, the message boxes and
// the process end caught, and helpers to reach the window's controls.

#include <gtest/gtest.h>

#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "ui/login/login_window.h"

struct ShownMessage {
    std::string text;  // GBK
    int flags;
    std::string title;  // GBK
};

struct LedgerUser {
    int id;
    const char* name;      // UTF-8, as SQLite stores it
    const char* password;  // UTF-8
};

class LoginTestBase : public testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Opens the login window as the program does and returns it.
    LoginWindow* OpenLogin();
    static QLineEdit* Edit(LoginWindow* window, const char* name);
    // Types both texts and clicks "登录"; then lets queued work run.
    void SignIn(LoginWindow* window, const char* name, const char* password);
    // Runs what was queued, destructions of closed windows included.
    static void Settle();

    // tallovar.mdb in the current directory with both tables and these users.
    void MakeLedger(const std::vector<LedgerUser>& users);
    void WriteLedgerBytes(const QByteArray& bytes);
    std::string ConfigPath() const;
    void WriteConfigBytes(const QByteArray& bytes);
    QByteArray ConfigBytes() const;

    QTemporaryDir root_;
    QString programDirectory_;
    QString workDirectory_;
    QString previousDirectory_;
    std::vector<ShownMessage> messages_;
    std::vector<int> exitCodes_;
};
