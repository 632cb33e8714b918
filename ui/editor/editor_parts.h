#pragma once
// The order editor's window and the routines bound to its events. The window
// holds its design, the mode and order id it was opened with, and its own
// connection to the ledger.

#include <QWidget>
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "store/database.h"
#include "store/order_statements.h"

namespace Ui {
class EditorForm;
}

enum class EditorMode { Designed, Add, Modify, View, Ship };

struct EditorWindow : QWidget {
    EditorWindow();
    ~EditorWindow() override;

    std::unique_ptr<Ui::EditorForm> ui;
    // Decided once, when the window is created; the hand-off variables may
    // change while the window is open.
    EditorMode mode = EditorMode::Designed;
    std::int64_t orderId = 0;
    DatabaseConnection 外部数据库1;

    // What loading put into a field: the stored text and the text the field
    // then showed. A field left as loaded stores its stored text back byte
    // for byte, even where the box shows it otherwise (line breaks).
    struct LoadedText {
        std::string stored;
        std::string shown;
    };
    std::map<const QWidget*, LoadedText> loaded;
};

// Mode choice from the hand-off word and id, first matching rule wins.
EditorMode ChooseEditorMode(const std::string& word, std::int64_t id);
// The created handler: reads editorMode and currentOrderId once, then sets
// the window up for its mode and loads the order.
void RunEditorCreated(EditorWindow& window);
// The order to modify or ship is not in the ledger (deleted meanwhile): the
// user is told, the form stays as it is and 修改 is turned off.
void ShowOrderMissing(EditorWindow& window);

// Sale price minus purchase price plus commission, each read with
// TextToNumber, computed in double and held as single precision.
float ComputeProfit(std::string_view sale, std::string_view purchase, std::string_view commission);
// Content-changed handler of the three price fields.
void UpdateProfit(EditorWindow& window);

// The fourteen fields in column order, as the statements take them.
std::array<QWidget*, 14> FieldsInColumnOrder(const Ui::EditorForm& ui);
OrderTexts ReadOrderFields(const EditorWindow& window);
void StoreNewOrder(EditorWindow& window);  // 按钮1
void StoreChanges(EditorWindow& window);   // 按钮3: modify and ship
void EmptyFields(EditorWindow& window);    // 按钮2, and after a stored new order
