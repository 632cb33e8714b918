#pragma once
// Which file the user wants read, asked with the platform's open dialog.
// Tests answer in its place.

#include <QString>
#include <functional>

class QWidget;

// The chosen path, or empty when the user cancelled; filter as QFileDialog
// takes it.
QString AskOpenFileName(QWidget* parent, const QString& title, const QString& filter);

// Tests give the answer; an empty function restores the dialog.
void SetOpenFileDialogForTesting(std::function<QString()> answer);
