// tallovar-admin init USER PASSWORD [--demo N]: a new ledger, tallovar.mdb in
// the current directory, where the program looks for it. With --connect "…"
// the ledger is made on a PostgreSQL database instead (a team ledger), new
// or moved from a ledger file with --from FILE.

#include <charconv>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/admin_command.h"
#include "tools/admin_ledger.h"
#include "tools/ledger_file.h"
#include "tools/server_init.h"

namespace {

constexpr long kMaxDemoOrders = 10'000'000;

int Usage() {
    std::fprintf(
        stderr,
        "用法 / usage: tallovar-admin init USER PASSWORD [--demo N]\n"
        "       tallovar-admin init --connect ODBC连接 USER PASSWORD\n"
        "       tallovar-admin init --connect ODBC连接 --from tallovar.mdb [USER PASSWORD]\n"
        "  N: 0 到 %ld 之间的整数 / a whole number from 0 to %ld\n",
        kMaxDemoOrders, kMaxDemoOrders);
    return kExitUsage;
}

bool ParseCount(const std::string& text, long& count) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, count);
    return error == std::errc() && stop == end && count >= 0 && count <= kMaxDemoOrders;
}

}  // namespace

int RunInit(const std::vector<std::string>& arguments) {
    std::vector<std::string> positional;
    long demoOrders = 0;
    std::string connection, fromFile;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--connect" || arguments[i] == "--from") {
            if (i + 1 >= arguments.size() || arguments[i + 1].empty()) return Usage();
            (arguments[i] == "--connect" ? connection : fromFile) = arguments[i + 1];
            ++i;
        } else if (arguments[i] == "--demo") {
            if (i + 1 >= arguments.size() || !ParseCount(arguments[i + 1], demoOrders)) {
                return Usage();
            }
            ++i;
        } else {
            positional.push_back(arguments[i]);
        }
    }
    if (!connection.empty()) {
        const bool userGiven = positional.size() == 2 && !positional[0].empty();
        if (demoOrders != 0 || (!userGiven && (fromFile.empty() || !positional.empty()))) {
            return Usage();
        }
        return InitServerLedger(connection, userGiven ? positional[0] : "",
                                userGiven ? positional[1] : "", fromFile);
    }
    if (!fromFile.empty() || positional.size() != 2 || positional[0].empty()) return Usage();

    std::string path;
    if (const Status here = LedgerPathHere(path); !here.ok()) return Fail(here);

    const LedgerOutcome outcome = CreateLedger(path, positional[0], positional[1], demoOrders);
    switch (outcome.result) {
        case LedgerResult::Created:
            std::printf(
                "已建立账本 %s（用户 %s，演示订单 %ld 张）\n"
                "Ledger created: %s (user %s, %ld demo orders)\n",
                path.c_str(), positional[0].c_str(), demoOrders, path.c_str(),
                positional[0].c_str(), demoOrders);
            return kExitOk;
        case LedgerResult::AlreadyExists:
            std::fprintf(stderr,
                         "账本文件已存在，未做任何改动：%s\n"
                         "The ledger file already exists; nothing was changed: %s\n",
                         path.c_str(), path.c_str());
            return kExitFailed;
        case LedgerResult::Failed:
            break;
    }
    std::fprintf(stderr, "无法建立账本 %s：%s\nCould not create the ledger %s: %s\n", path.c_str(),
                 outcome.error.c_str(), path.c_str(), outcome.error.c_str());
    return kExitFailed;
}
