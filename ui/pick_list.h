#pragma once
// The pick lists of the combo boxes, filled from config.ini.

#include <string>

class QComboBox;

// Adds an item to a combo box's list without changing the text it shows
// (Qt would otherwise make the first item of an empty list current).
void AppendPickItem(QComboBox* combo, const std::string& item);
