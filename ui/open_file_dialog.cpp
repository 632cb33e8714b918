#include "ui/open_file_dialog.h"

#include <QFileDialog>

namespace {

std::function<QString()>& TestAnswer() {
    static std::function<QString()> answer;
    return answer;
}

}  // namespace

QString AskOpenFileName(QWidget* parent, const QString& title, const QString& filter) {
    if (TestAnswer()) return TestAnswer()();
    return QFileDialog::getOpenFileName(parent, title, QString(), filter);
}

void SetOpenFileDialogForTesting(std::function<QString()> answer) {
    TestAnswer() = std::move(answer);
}
