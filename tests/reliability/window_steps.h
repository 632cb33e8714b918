#pragma once
// What a user does with the windows, for the reliability tests and their
// driver program: open and close the editor, type into a field, read what a
// field shows, find a listed order. Texts here are UTF-8.

#include <cstdint>
#include <string>

class EditorWindow;
class OrdersWindow;
class QWidget;

// The open editor window, or null.
EditorWindow* OpenEditor();
void CloseEditor();
// Closes the open editor and opens it anew for a mode word and order id.
EditorWindow* OpenEditorFor(const char* mode, std::int64_t id);

// What typing leaves in an edit box, a combo box's edit part or a multi-line
// box.
void Type(QWidget* field, const std::string& utf8);
// The text a field shows.
std::string Shown(const QWidget* field);

// The list row that shows an order id, or -1.
int ListedRow(OrdersWindow& window, const std::string& id);
