#pragma once
// The window "新建账本" that the launcher opens when its ledger folder has no
// ledger yet: the folder, the first user with the password typed twice, and
// the pick lists to start with. 确定 makes all of it or nothing (see
// store/first_ledger.h); a problem is told in a message box and the window
// stays open for a correction. The dialog is accepted once the ledger exists.

#include <QDialog>
#include <memory>
#include <string>

namespace Ui {
class FirstRunWindow;
}

class FirstRunWindow : public QDialog {
    Q_OBJECT

  public:
    // launcherFolder is the folder proposed, settingsPath the program's
    // config.ini, whose lists the window shows and replaces (UTF-8 paths).
    FirstRunWindow(const std::string& launcherFolder, const std::string& settingsPath);
    ~FirstRunWindow() override;

  private:
    // Click on "浏览…".
    void BrowseClicked();
    // Click on "确定".
    void OkClicked();

    const std::unique_ptr<Ui::FirstRunWindow> ui_;
    std::string launcherFolder_;
    std::string settingsPath_;
};
