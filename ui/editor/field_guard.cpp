#include "ui/editor/field_guard.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>

#include "common/message_box.h"
#include "common/text_encoding.h"
#include "common/text_limit.h"

namespace {

// Above this many characters the multi-line box wraps anywhere. Below it,
// wrapping at word boundaries stays well under a tenth of a second.
constexpr int kLongTextCharacters = 16 * 1024;

// Set while the program itself sets the multi-line box's text.
constexpr char kSettingText[] = "tallovarSettingText";

// lineBreaks: how many bytes the stored form adds (CR before each LF).
bool OverLimit(const QString& text, std::size_t lineBreaks = 0) {
    // No character takes more than four bytes, so short texts need no count.
    if (static_cast<std::size_t>(text.size()) * 5 <= kFieldTextLimit) return false;
    return QStringToGbk(text).size() + lineBreaks > kFieldTextLimit;
}

void TellTooLong() {
    ShowMessage(Gbk("输入的内容太长，没有被接受：每一栏最多 1048576 字节（约 52 万个汉字）。"));
}

QTextOption::WrapMode WrapFor(int characters) {
    return characters > kLongTextCharacters ? QTextOption::WrapAnywhere
                                            : QTextOption::WrapAtWordBoundaryOrAnywhere;
}

void GuardLine(QLineEdit* line) {
    // One character more than the limit can hold, so a text that passes the
    // limit reaches the check below instead of being cut without a word.
    line->setMaxLength(static_cast<int>(kFieldTextLimit) + 1);
    auto accepted = std::make_shared<QString>(line->text());
    QObject::connect(line, &QLineEdit::textChanged, line, [line, accepted](const QString& text) {
        if (!OverLimit(text)) {
            *accepted = text;
            return;
        }
        line->setText(*accepted);
        TellTooLong();
    });
}

void GuardPlain(QPlainTextEdit* box) {
    QObject::connect(box->document(), &QTextDocument::contentsChange, box, [box](int, int, int) {
        // The wrapping must change before the changed text is laid out,
        // which happens right after this signal.
        if (box->property(kSettingText).toBool()) return;
        const QTextOption::WrapMode wrap = WrapFor(box->document()->characterCount());
        if (box->wordWrapMode() != wrap) box->setWordWrapMode(wrap);
    });
    auto accepted = std::make_shared<QString>(box->toPlainText());
    QObject::connect(box, &QPlainTextEdit::textChanged, box, [box, accepted] {
        const QString text = box->toPlainText();
        // What the program sets is within the limit already.
        const auto lineBreaks = static_cast<std::size_t>(box->blockCount() - 1);
        if (box->property(kSettingText).toBool() || !OverLimit(text, lineBreaks)) {
            *accepted = text;
            return;
        }
        SetPlainTextQuickly(box, *accepted);
        box->moveCursor(QTextCursor::End);
        TellTooLong();
    });
}

}  // namespace

void GuardFieldText(QWidget* field) {
    if (auto* combo = qobject_cast<QComboBox*>(field)) {
        if (combo->lineEdit()) GuardLine(combo->lineEdit());
    } else if (auto* line = qobject_cast<QLineEdit*>(field)) {
        GuardLine(line);
    } else if (auto* box = qobject_cast<QPlainTextEdit*>(field)) {
        GuardPlain(box);
    }
}

void SetPlainTextQuickly(QPlainTextEdit* box, const QString& text) {
    // Whatever text is laid out, it is laid out wrapping anywhere if long:
    // the wrapping changes before a long text comes in, and only after a long
    // text has gone.
    const QTextOption::WrapMode wrap = WrapFor(static_cast<int>(text.size()));
    box->setProperty(kSettingText, true);
    if (wrap == QTextOption::WrapAnywhere) box->setWordWrapMode(wrap);
    box->setPlainText(text);
    box->setWordWrapMode(wrap);
    box->setProperty(kSettingText, false);
}
