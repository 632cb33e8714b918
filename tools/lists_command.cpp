// tallovar-admin lists show [LIST] | add LIST TEXT... | remove LIST TEXT... |
// set LIST [TEXT...]: the pick lists of the program's config.ini, without
// editing a GBK file by hand.

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "store/pick_lists.h"
#include "store/program_settings.h"
#include "tools/admin_command.h"
#include "tools/admin_ledger.h"

namespace {

using Items = std::vector<std::string>;

bool Contains(const Items& items, const std::string& item) {
    return std::find(items.begin(), items.end(), item) != items.end();
}

void Print(const PickList& list, const Items& items) {
    std::printf("%s (%s)：%zu\n", list.name, list.alias, items.size());
    for (const std::string& item : items) std::printf("  %s\n", item.c_str());
}

// The list after the change, or a refusal naming the text.
Status Change(const std::string& action, const Items& texts, Items& items) {
    if (action == "set") {
        items = texts;
    } else if (action == "add") {
        for (const std::string& text : texts) {
            if (!Contains(items, text)) items.push_back(text);
        }
    } else {
        for (const std::string& text : texts) {
            if (!Contains(items, text)) {
                return Status::Failure("列表中没有“" + text + "”，未做任何改动",
                                       "\"" + text + "\" is not in the list; nothing was changed");
            }
            std::erase(items, text);
        }
    }
    return Status::Ok();
}

}  // namespace

int RunLists(const CommandLine& line) {
    const std::vector<std::string>& arguments = line.Operands();
    if (arguments.empty()) return kExitUsage;
    const std::string& action = arguments[0];
    const std::string path = ProgramSettingsPath();
    if (action == "show" && arguments.size() <= 2) {
        const PickList* only = arguments.size() == 2 ? FindPickList(arguments[1]) : nullptr;
        if (arguments.size() == 2 && !only) return kExitUsage;
        std::printf("配置文件 / settings file: %s\n", path.c_str());
        for (const PickList& list : PickLists()) {
            if (!only || only == &list) Print(list, ReadPickList(path, list));
        }
        return kExitOk;
    }
    const bool needsText = action == "add" || action == "remove";
    if (!(needsText || action == "set") || arguments.size() < (needsText ? 3u : 2u)) {
        return kExitUsage;
    }
    const PickList* list = FindPickList(arguments[1]);
    if (!list) return kExitUsage;

    const Items texts(arguments.begin() + 2, arguments.end());
    for (const std::string& text : texts) {
        if (Status refused = ItemProblem(*list, text); !refused.ok()) {
            return Fail(refused.chinese + "，未做任何改动",
                        refused.english + "; nothing was changed");
        }
    }
    Items items = ReadPickList(path, *list);
    Status changed = Change(action, texts, items);
    if (changed.ok()) changed = WritePickList(path, *list, items);
    if (!changed.ok()) return Fail(changed);
    Print(*list, items);
    return kExitOk;
}
