#pragma once
// "回收站": the orders deleted from the ledger, newest first, with 恢复 (back
// into the order list, with the old ID when it is free) and 彻底删除 (after
// a question). Modeless, with its own connection. On a ledger that has no
// bin yet the user is told how to add one; the program never adds it.

#include <QWidget>
#include <memory>

#include "store/database.h"

namespace Ui {
class RecycleWindow;
}

class RecycleWindow : public QWidget {
    Q_OBJECT

  public:
    RecycleWindow();
    ~RecycleWindow() override;

  private:
    friend void OpenRecycleWindow();

    // Reads the bin; false (after telling the user) when there is none or
    // it cannot be read.
    bool Load();
    void RestoreClicked();
    void PurgeClicked();
    // The bin number of the selected entry, or 0 after asking for a selection.
    long long SelectedEntry();

    const std::unique_ptr<Ui::RecycleWindow> ui_;
    DatabaseConnection 外部数据库1;
};

// Opens the window, or brings the open one to the front read anew.
void OpenRecycleWindow();
