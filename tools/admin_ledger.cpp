#include "tools/admin_ledger.h"

#include <cstdio>

#include "tools/admin_command.h"
#include "tools/ledger_file.h"
#include "tools/tool_paths.h"

int Fail(const std::string& chinese, const std::string& english) {
    std::fprintf(stderr, "%s\n%s\n", chinese.c_str(), english.c_str());
    return kExitFailed;
}

int Fail(const Status& status) { return Fail(status.chinese, status.english); }

bool TakeConnectOption(std::vector<std::string>& arguments, std::string& connection) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] != "--connect") continue;
        if (i + 1 >= arguments.size() || arguments[i + 1].empty()) return false;
        connection = arguments[i + 1];
        arguments.erase(arguments.begin() + static_cast<std::ptrdiff_t>(i),
                        arguments.begin() + static_cast<std::ptrdiff_t>(i) + 2);
        return true;
    }
    return true;
}

std::string ExistingLedgerHere() {
    std::string path;
    if (const Status here = LedgerPathHere(path); !here.ok()) {
        Fail(here);
    } else if (!PathExists(path)) {
        Fail("当前目录中没有账本：" + path + "（请在账本所在的目录中运行）",
             "there is no ledger here: " + path + " (run this in the ledger's directory)");
        return {};
    }
    return path;
}
