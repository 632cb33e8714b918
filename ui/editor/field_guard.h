#pragma once
// Keeps every field of the editor within the one text limit of an order
// field, and keeps long texts quick to show.

#include <QString>

class QPlainTextEdit;
class QWidget;

// Guards one field (an edit box, a combo box or the multi-line remark): an
// edit by the user that would make its text longer than kFieldTextLimit is
// undone and the user told why. The multi-line box also switches to wrapping
// anywhere while its text is long, since wrapping a long run without a word
// boundary takes time that grows with the square of its length.
void GuardFieldText(QWidget* field);

// Sets a multi-line box's text, with the wrapping chosen for it beforehand.
void SetPlainTextQuickly(QPlainTextEdit* box, const QString& text);
