#include "window_steps.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "app/program_state.h"
#include "common/text_encoding.h"
#include "ui/editor/content_edit.h"
#include "ui/editor/editor_window.h"
#include "ui/orders/order_list.h"
#include "ui/orders/orders_window.h"
#include "window_parts.h"

EditorWindow* OpenEditor() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* editor = dynamic_cast<EditorWindow*>(widget);
        if (editor && editor->isVisible()) return editor;
    }
    return nullptr;
}

void CloseEditor() {
    if (EditorWindow* editor = OpenEditor()) editor->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

EditorWindow* OpenEditorFor(const char* mode, std::int64_t id) {
    CloseEditor();
    editorMode = Gbk(mode);
    currentOrderId = id;
    OpenEditorWindow();
    return OpenEditor();
}

void Type(QWidget* field, const std::string& utf8) {
    const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    if (auto* combo = qobject_cast<QComboBox*>(field)) {
        combo->setEditText(text);
    } else if (auto* line = qobject_cast<QLineEdit*>(field)) {
        line->setText(text);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(field)) {
        plain->setPlainText(text);
    }
}

std::string Shown(const QWidget* field) { return GbkToUtf8(FieldText(field)); }

int ListedRow(OrdersWindow& window, const std::string& id) {
    OrderListModel* list = Named<OrderListView>(window, "信息列表框")->List();
    for (int row = 0; row < list->ItemCount(); ++row) {
        if (list->ItemText(row, 0) == id) return row;
    }
    return -1;
}
