#pragma once
// A sandbox for editor tests: a real ledger file in a temporary directory
// that is both the working and the program directory, a config.ini with pick
// lists, a fixed clock (9 January 2015), scripted message boxes and the statements as
// the editor sends them. Texts in and out of the helpers are UTF-8.

#include <gtest/gtest.h>

#include <array>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "test_ledger.h"
#include "ui/editor/editor_parts.h"

class QComboBox;
class QLineEdit;

struct ShownMessage {
    std::string text;
    int flags = 0;
    std::string title;
};

// The fourteen texts of a stored order, in column order (UTF-8).
using OrderRow = std::array<std::string, 14>;

class EditorTest : public testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Sets the hand-off variables and opens the editor; the window that is open.
    EditorWindow* Open(const std::string& mode, long long id);
    // The open editor window, or null when none is open.
    static EditorWindow* FindEditor();
    // Lets closed windows go away, as the event loop would.
    static void DeleteClosedWindows();

    // A control of the open editor by its designer name.
    template <typename T = QWidget>
    T* Control(const std::string& name) const {
        return editor_ ? editor_->findChild<T*>(QString::fromStdString(name)) : nullptr;
    }
    std::string Text(const std::string& name) const;
    void SetText(const std::string& name, const std::string& text);
    std::vector<std::string> Items(const std::string& name) const;
    void Click(const std::string& button);

    // The ledger, read and written directly.
    int StoreOrder(const OrderRow& row) const;  // the new order's id
    OrderRow StoredOrder(int id) const;

    // Statements sent that begin with the given word (insert, update, select).
    std::vector<std::string> Sent(const std::string& word) const;

    std::unique_ptr<TestLedger> ledger_;
    EditorWindow* editor_ = nullptr;
    std::vector<ShownMessage> messages_;
    std::deque<int> answers_;              // scripted answers; Yes or OK when empty
    std::vector<std::string> statements_;  // UTF-8
};

// An order whose every text differs from the others, with a stored profit
// that does not match its prices.
OrderRow SampleOrder();
