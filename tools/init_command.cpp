// tallovar-admin init USER PASSWORD [--demo N]: a new ledger, tallovar.mdb in
// the current directory, where the program looks for it. With --connect "…"
// the ledger is made on a PostgreSQL database instead (a team ledger), new
// or moved from a ledger file with --from FILE.

#include <charconv>
#include <cstdio>
#include <string>
#include <vector>

#include "store/ledger_file.h"
#include "store/server_init.h"
#include "tools/admin_command.h"
#include "tools/admin_ledger.h"

namespace {

constexpr long kMaxDemoOrders = 10'000'000;

bool ParseCount(const std::string& text, long& count) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, count);
    return error == std::errc() && stop == end && count >= 0 && count <= kMaxDemoOrders;
}

}  // namespace

int RunInit(const CommandLine& line) {
    const std::vector<std::string>& positional = line.Operands();
    long demoOrders = 0;
    const std::string connection = line.Value("--connect");
    const std::string fromFile = line.Value("--from");
    if ((line.Has("--connect") && connection.empty()) || (line.Has("--from") && fromFile.empty()) ||
        (line.Has("--demo") && !ParseCount(line.Value("--demo"), demoOrders))) {
        return kExitUsage;
    }
    if (!connection.empty()) {
        const bool userGiven = positional.size() == 2 && !positional[0].empty();
        if (demoOrders != 0 || (!userGiven && (fromFile.empty() || !positional.empty()))) {
            return kExitUsage;
        }
        long users = 0, orders = 0;
        const Status made =
            InitServerLedger(connection, userGiven ? positional[0] : "",
                             userGiven ? positional[1] : "", fromFile, users, orders);
        if (!made.ok()) return Fail(made);
        std::printf(
            "已建立团队账本（用户 %ld 个，订单 %ld 张）\nTeam ledger made (%ld users, %ld "
            "orders)\n",
            users, orders, users, orders);
        return kExitOk;
    }
    if (!fromFile.empty() || positional.size() != 2 || positional[0].empty()) return kExitUsage;

    std::string path;
    if (const Status here = LedgerPathHere(path); !here.ok()) return Fail(here);

    const Status made = CreateLedger(path, positional[0], positional[1], demoOrders);
    if (made.ok()) {
        std::printf(
            "已建立账本 %s（用户 %s，演示订单 %ld 张）\n"
            "Ledger created: %s (user %s, %ld demo orders)\n",
            path.c_str(), positional[0].c_str(), demoOrders, path.c_str(), positional[0].c_str(),
            demoOrders);
        return kExitOk;
    }
    if (made.Is(StatusKind::Exists)) {
        std::fprintf(stderr,
                     "账本文件已存在，未做任何改动：%s\n"
                     "The ledger file already exists; nothing was changed: %s\n",
                     path.c_str(), path.c_str());
        return kExitFailed;
    }
    std::fprintf(stderr, "无法建立账本 %s：%s\nCould not create the ledger %s: %s\n", path.c_str(),
                 made.english.c_str(), path.c_str(), made.english.c_str());
    return kExitFailed;
}
