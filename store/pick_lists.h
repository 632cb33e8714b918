#pragma once
// The two pick lists of config.ini, which the program reads and never
// writes: seller accounts (section zhanghaoinfo, key zhanghao, items joined
// by "|"; also offered as purchase accounts) and express companies
// (kuaidiinfo, kuaidi, joined by "#"). They are read and written through the
// program's own settings functions, so the file keeps its encoding and every
// line the program does not know. Texts here are UTF-8.

#include <string>
#include <vector>

#include "common/status.h"
#include "store/settings.h"

struct PickList {
    const char* name;   // as the windows call it: 卖家账号, 快递公司
    const char* alias;  // the same in English, for the command line
    ListSetting setting;
};

const std::vector<PickList>& PickLists();
// By name or alias; nullptr when there is no such list.
const PickList* FindPickList(const std::string& name);

// The items as the program splits them.
std::vector<std::string> ReadPickList(const std::string& settingsPath, const PickList& list);

// Why a text cannot be an item of the list: empty, a line break or other
// control character, the list's separator, or a character GBK lacks.
Status ItemProblem(const PickList& list, const std::string& item);

// Makes the items the list's whole value. Refused, with nothing changed,
// when an item is refused, the value is longer than the program reads, or
// the file cannot be written (the folder is made when missing).
Status WritePickList(const std::string& settingsPath, const PickList& list,
                     const std::vector<std::string>& items);
