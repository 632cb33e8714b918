// tallovar-admin trash list | restore N | purge [--older-than DAYS]: the
// recycle bin from the command line, as the window "回收站…" shows it. N is
// the bin number that list shows first; a restored order keeps its ID when
// that ID is free. With --connect the same is done on a team ledger.

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "common/text_encoding.h"
#include "store/database.h"
#include "store/ledger_schema.h"
#include "store/recycle_bin.h"
#include "tools/admin_command.h"
#include "tools/admin_ledger.h"

namespace {

bool ParseWhole(const std::string& text, long long& value) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return !text.empty() && error == std::errc() && stop == end && value >= 0;
}

int DatabaseFailure(const Status& failure) {
    return Fail("回收站操作失败，账本未改动：" + failure.english,
                "the bin could not be changed; the ledger was not changed: " + failure.english);
}

int List(DatabaseConnection& db) {
    const std::string header = "编号\t删除时间\tID\t" + JoinOrderColumns("", "", [](std::size_t) {
                                   return std::string("\t");
                               });
    std::vector<std::vector<std::string>> entries;
    if (const Status read = ReadRecycleBin(db, entries); !read.ok()) return DatabaseFailure(read);
    std::string lines = header + "\n";
    for (const std::vector<std::string>& entry : entries) {
        for (std::size_t column = 0; column < entry.size(); ++column) {
            lines += (column ? "\t" : "") + GbkToUtf8(entry[column]);
        }
        lines += "\n";
    }
    std::fputs(lines.c_str(), stdout);
    return kExitOk;
}

int Restore(DatabaseConnection& db, long long number) {
    std::string id;
    const Status restored = RestoreFromRecycleBin(db, number, id);
    if (restored.Is(StatusKind::NotFound)) return Fail(restored);
    if (!restored.ok()) return DatabaseFailure(restored);
    std::printf("已恢复订单，ID %s\norder restored with ID %s\n", id.c_str(), id.c_str());
    return kExitOk;
}

int Purge(DatabaseConnection& db, long long olderThanDays) {
    std::int64_t removed = 0;
    if (const Status purged = PurgeRecycleBin(db, olderThanDays, removed); !purged.ok()) {
        return DatabaseFailure(purged);
    }
    const long long count = removed;
    std::printf("已彻底删除 %lld 张订单\n%lld orders purged for good\n", count, count);
    return kExitOk;
}

}  // namespace

int RunTrash(const CommandLine& line) {
    const std::vector<std::string>& arguments = line.Operands();
    std::string server;
    if (!ConnectOption(line, server)) return kExitUsage;
    const std::string action = arguments.empty() ? "" : arguments[0];
    const bool olderThan = line.Has("--older-than");
    long long value = 0;
    const bool valid = (action == "list" && arguments.size() == 1 && !olderThan) ||
                       (action == "restore" && arguments.size() == 2 && !olderThan &&
                        ParseWhole(arguments[1], value)) ||
                       (action == "purge" && arguments.size() == 1 &&
                        (!olderThan || ParseWhole(line.Value("--older-than"), value)));
    if (!valid) return kExitUsage;

    // The program's own connection, so that the bin changes here exactly as in
    // the window 回收站….
    DatabaseConnection db;
    if (!server.empty()) {
        if (!db.OpenServer(Gbk(server))) {
            const std::string error = GbkToUtf8(db.LastError());
            return Fail("无法打开团队账本：" + error, "cannot open the team ledger: " + error);
        }
    } else {
        const std::string ledger = ExistingLedgerHere();
        if (ledger.empty()) return kExitFailed;
        if (!db.OpenMdbFile(Gbk(ledger))) {
            const std::string error = GbkToUtf8(db.LastError());
            return Fail("无法打开账本：" + error, "cannot open the ledger: " + error);
        }
    }
    bool present = false;
    if (const Status asked = HasRecycleBin(db, present); !asked.ok()) return DatabaseFailure(asked);
    if (!present) {
        return Fail("这个账本还没有回收站；请先运行 tallovar-admin upgrade",
                    "this ledger has no recycle bin yet; run tallovar-admin upgrade first");
    }
    if (action == "list") return List(db);
    if (action == "restore") return Restore(db, value);
    return Purge(db, value);
}
