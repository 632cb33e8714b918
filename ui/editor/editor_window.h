#pragma once
// The order editor: adds, modifies, shows or ships one order. Its mode and
// order come from the hand-off values editorMode and currentOrderId, read
// once when the window is created; it has its own connection to the ledger.

#include <QWidget>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "store/adding_once.h"
#include "store/database.h"
#include "store/order_statements.h"

namespace Ui {
class EditorForm;
}

enum class EditorMode { Designed, Add, Modify, View, Ship };

class EditorWindow : public QWidget {
    Q_OBJECT

  public:
    EditorWindow();
    ~EditorWindow() override;

  private:
    friend void OpenEditorWindow();

    // Event handlers.
    // Created: reads the hand-off values once, then sets the window up for
    // its mode and loads the order.
    void Created();
    void UpdateProfit();   // content changed in 售价, 进价 or 佣金
    void StoreNewOrder();  // 按钮1
    void StoreChanges();   // 按钮3: modify and ship
    void EmptyFields();    // 按钮2, and after a stored new order

    enum class LoadOutcome { Loaded, Cut, Missing, Failed };
    LoadOutcome LoadStoredOrder(bool forShipping);
    void LoadOrderToChange(bool forShipping);
    bool ShowStoredText(QWidget* field, const std::string& stored);
    void ShowOrderMissing();
    OrderTexts ReadOrderFields() const;
    std::string TextToStore(const QWidget* field) const;
    bool RunStatement(const std::string& statement);

    const std::unique_ptr<Ui::EditorForm> ui_;
    // Decided once, when the window is created; the hand-off variables may
    // change while the window is open.
    EditorMode mode_ = EditorMode::Designed;
    std::int64_t orderId_ = 0;
    DatabaseConnection 外部数据库1;

    // What loading put into a field: the stored text and the text the field
    // then showed. A field left as loaded stores its stored text back byte
    // for byte, even where the box shows it otherwise (line breaks).
    struct LoadedText {
        std::string stored;
        std::string shown;
    };
    std::map<const QWidget*, LoadedText> loaded_;
    // An add whose fate the team ledger could not tell yet.
    PendingAdd pendingAdd_;
};

// Opens the order editor for the current hand-off values, or brings the open
// one to the front (restored when minimised) without setting it up again.
void OpenEditorWindow();
