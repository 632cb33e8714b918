#pragma once
// An edit box whose content-changed event comes for every change of its text:
// each edit by the user, and once whenever the program sets its content, even
// to the text it already holds. The event is delivered before the setting call
// returns, so a handler bound to it has run to its end by then.

#include <QLineEdit>
#include <string>

class QWidget;

class ContentEdit : public QLineEdit {
    Q_OBJECT
  public:
    explicit ContentEdit(QWidget* parent = nullptr);

    // Sets the text and raises contentChanged exactly once.
    void SetContent(const QString& text);

  signals:
    void contentChanged();
};

// The one way the editor's code sets a field's text (GBK): a ContentEdit
// through SetContent, a combo box as its editable text, a multi-line box as
// its plain text, any other edit box directly.
void SetFieldText(QWidget* field, const std::string& text);
// The text a field shows (GBK); a combo box gives the text of its edit part.
std::string FieldText(const QWidget* field);
