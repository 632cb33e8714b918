#include "ui/pick_list.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <vector>

#include "common/text_encoding.h"
#include "store/settings.h"

namespace {

constexpr int kListAreaHeight = 160;

}  // namespace

void AppendPickItem(QComboBox* combo, const std::string& item) {
    const QString shown = combo->currentText();
    combo->addItem(GbkToQString(item));
    combo->setCurrentIndex(-1);
    combo->setEditText(shown);
}

void AppendPickList(const ListSetting& list, std::initializer_list<QComboBox*> combos) {
    const std::vector<std::string> items = ReadListSetting(SettingsPath(), list);
    for (QComboBox* combo : combos) {
        for (const std::string& item : items) AppendPickItem(combo, item);
    }
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
