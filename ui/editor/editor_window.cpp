#include "ui/editor/editor_window.h"

#include <QPointer>

#include "ui/editor/editor_parts.h"
#include "ui/editor/field_guard.h"
#include "ui/pick_list.h"
#include "ui/window_frame.h"
#include "ui_editor.h"

namespace {

constexpr int kOuterWidth = 724;
constexpr int kOuterHeight = 373;

// The one open editor, cleared by Qt when the window is destroyed.
QPointer<EditorWindow>& OpenEditor() {
    static QPointer<EditorWindow> editor;
    return editor;
}

}  // namespace

EditorWindow::EditorWindow()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      ui_(std::make_unique<Ui::EditorForm>()) {
    setAttribute(Qt::WA_DeleteOnClose);
    ui_->setupUi(this);
    ShowLabelsAsStaticText(this);
    SetUpDropDowns(this);
    for (QWidget* field : FieldsInColumnOrder(*ui_)) GuardFieldText(field);

    for (ContentEdit* price : {ui_->编辑框6, ui_->编辑框9, ui_->编辑框10}) {
        connect(price, &ContentEdit::contentChanged, this, &EditorWindow::UpdateProfit);
    }
    connect(ui_->按钮1, &QPushButton::clicked, this, &EditorWindow::StoreNewOrder);
    connect(ui_->按钮3, &QPushButton::clicked, this, &EditorWindow::StoreChanges);
    connect(ui_->按钮2, &QPushButton::clicked, this, &EditorWindow::EmptyFields);
}

EditorWindow::~EditorWindow() = default;

void OpenEditorWindow() {
    if (EditorWindow* open = OpenEditor()) {
        if (open->isMinimized()) open->showNormal();
        open->raise();
        open->activateWindow();
        return;
    }
    auto* window = new EditorWindow;
    OpenEditor() = window;
    window->Created();
    ShowInDesignFrame(window, kOuterWidth, kOuterHeight, true);
}
