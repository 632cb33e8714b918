#pragma once
// Where the user wants a file written, asked with the platform's save
// dialog. Tests answer in its place.

#include <QString>
#include <functional>

class QWidget;

// The chosen path, or empty when the user cancelled. suggested is the
// file name (or path) offered first; filter as QFileDialog takes it.
QString AskSaveFileName(QWidget* parent, const QString& title, const QString& suggested,
                        const QString& filter);

// Tests get the suggested name and give the answer; an empty function
// restores the dialog.
void SetSaveFileDialogForTesting(std::function<QString(const QString& suggested)> answer);
