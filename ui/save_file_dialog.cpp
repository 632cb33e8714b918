#include "ui/save_file_dialog.h"

#include <QFileDialog>

namespace {

std::function<QString(const QString&)>& TestAnswer() {
    static std::function<QString(const QString&)> answer;
    return answer;
}

}  // namespace

QString AskSaveFileName(QWidget* parent, const QString& title, const QString& suggested,
                        const QString& filter) {
    if (TestAnswer()) return TestAnswer()(suggested);
    return QFileDialog::getSaveFileName(parent, title, suggested, filter);
}

void SetSaveFileDialogForTesting(std::function<QString(const QString& suggested)> answer) {
    TestAnswer() = std::move(answer);
}
