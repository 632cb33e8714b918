#pragma once
// The login window, the program's start-up window: remembers the last user
// name and password typed and checks them against the user table.

#include <QWidget>
#include <memory>

#include "store/database.h"

namespace Ui {
class LoginWindow;
}

class LoginWindow : public QWidget {
    Q_OBJECT

  public:
    LoginWindow();
    ~LoginWindow() override;

  private:
    friend void OpenLoginWindow();

    // Runs once, after the window and all its controls exist: switches the
    // skin on and shows the remembered user name and password.
    void Created();
    // Click on "登录".
    void SignInClicked();

    const std::unique_ptr<Ui::LoginWindow> ui_;
    DatabaseConnection 外部数据库1;
};

// Opens the login window, the program's start-up window.
void OpenLoginWindow();
