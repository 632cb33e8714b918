#include "ui/editor/content_edit.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QTextDocument>

#include "common/text_encoding.h"
#include "ui/editor/field_guard.h"

ContentEdit::ContentEdit(QWidget* parent) : QLineEdit(parent) {
    // Every change made by typing, pasting, undoing or a different setText.
    connect(this, &QLineEdit::textChanged, this, &ContentEdit::contentChanged);
}

void ContentEdit::SetContent(const QString& text) {
    const QString before = this->text();
    setText(text);
    // setText stays silent when the text did not change; the event still
    // belongs to this call.
    if (this->text() == before) emit contentChanged();
}

void SetFieldText(QWidget* field, const std::string& text) {
    const QString value = GbkToQString(text);
    QLineEdit* shown = nullptr;
    if (auto* content = qobject_cast<ContentEdit*>(field)) {
        content->SetContent(value);
        shown = content;
    } else if (auto* line = qobject_cast<QLineEdit*>(field)) {
        line->setText(value);
        shown = line;
    } else if (auto* combo = qobject_cast<QComboBox*>(field)) {
        combo->setEditText(value);
        shown = combo->lineEdit();
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(field)) {
        SetPlainTextQuickly(plain, value);
    }
    // A text set by the program is shown from its beginning, not its end.
    if (shown != nullptr) shown->setCursorPosition(0);
}

std::string FieldText(const QWidget* field) {
    if (auto* line = qobject_cast<const QLineEdit*>(field)) return QStringToGbk(line->text());
    if (auto* combo = qobject_cast<const QComboBox*>(field))
        return QStringToGbk(combo->currentText());
    if (auto* plain = qobject_cast<const QPlainTextEdit*>(field)) {
        // toPlainText would also turn each no-break space into a plain one;
        // only the breaks between paragraphs and lines become line ends,
        // written CR LF as a Windows multi-line edit box gives them.
        QString text = plain->document()->toRawText();
        text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"))
            .replace(QChar::LineSeparator, QStringLiteral("\r\n"));
        return QStringToGbk(text);
    }
    return {};
}
