#pragma once
// The pick lists of the combo boxes, filled from config.ini, and how their
// drop-downs behave.

#include <initializer_list>
#include <string>

class QComboBox;
class QWidget;
struct ListSetting;

// Adds an item to a combo box's list without changing the text it shows
// (Qt would otherwise make the first item of an empty list current).
void AppendPickItem(QComboBox* combo, const std::string& item);

// Appends the items of a pick list of config.ini to each of the combo boxes.
void AppendPickList(const ListSetting& list, std::initializer_list<QComboBox*> combos);

// Every combo box of a window behaves as an editable drop-down: the text
// typed is the text kept (nothing is completed, Enter matches no item but an
// identical one), only choosing an item from the list sets its text, and the
// list area is 160 pixels high, fewer when the items need less.
void SetUpDropDowns(QWidget* window);
