#include "ui/pick_list.h"

#include <QComboBox>

#include "common/text_encoding.h"

void AppendPickItem(QComboBox* combo, const std::string& item) {
    const QString shown = combo->currentText();
    combo->addItem(GbkToQString(item));
    combo->setCurrentIndex(-1);
    combo->setEditText(shown);
}
