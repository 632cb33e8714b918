#include "ui/pick_list.h"

#include <QAbstractItemView>
#include <QComboBox>

#include "common/text_encoding.h"

namespace {

constexpr int kListAreaHeight = 160;

}  // namespace

void AppendPickItem(QComboBox* combo, const std::string& item) {
    const QString shown = combo->currentText();
    combo->addItem(GbkToQString(item));
    combo->setCurrentIndex(-1);
    combo->setEditText(shown);
}

void SetUpDropDowns(QWidget* window) {
    for (QComboBox* combo : window->findChildren<QComboBox*>()) {
        // Without a completer Enter also matches items only case-sensitively.
        combo->setCompleter(nullptr);
        // The height limits the list, not a count of rows.
        combo->setMaxVisibleItems(kListAreaHeight);
        combo->view()->window()->setMaximumHeight(kListAreaHeight);
    }
}
