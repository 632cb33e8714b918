// tallovar-admin trash list | restore N | purge [--older-than DAYS]: the
// recycle bin from the command line, as the window "回收站…" shows it. N is
// the bin number that list shows first; a restored order keeps its ID when
// that ID is free. With --connect the same is done on a team ledger.

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "store/ledger_schema.h"
#include "tools/admin_command.h"
#include "tools/admin_ledger.h"
#include "tools/admin_store.h"

namespace {

bool ParseWhole(const std::string& text, long long& value) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return !text.empty() && error == std::errc() && stop == end && value >= 0;
}

int DatabaseFailure(const AdminStore& db) {
    return Fail("回收站操作失败，账本未改动：" + db.Error(),
                "the bin could not be changed; the ledger was not changed: " + db.Error());
}

int List(AdminStore& db) {
    const std::string header = "编号\t删除时间\tID\t" + JoinOrderColumns("", "", [](std::size_t) {
                                   return std::string("\t");
                               });
    std::string lines = header + "\n";
    const bool read = db.EachRow(RecycleBinList(), [&lines](const AdminStore::Row& row) {
        for (std::size_t column = 0; column < row.size(); ++column) {
            lines += (column ? "\t" : "") + row[column];
        }
        lines += "\n";
    });
    if (!read) return DatabaseFailure(db);
    std::fputs(lines.c_str(), stdout);
    return kExitOk;
}

// Closing the ledger without commit undoes what was done.
int Restore(AdminStore& db, long long number) {
    long long id = 0;
    if (!db.BeginWriting() || !db.Insert(RestoreFromBinInsert(number), id)) {
        return DatabaseFailure(db);
    }
    if (id == 0) {
        return Fail("回收站中没有编号 " + std::to_string(number),
                    "the bin holds no entry " + std::to_string(number));
    }
    if (!db.Exec(RemoveFromBin(number)) || !db.Exec("commit")) return DatabaseFailure(db);
    std::printf("已恢复订单，ID %lld\norder restored with ID %lld\n", id, id);
    return kExitOk;
}

int Purge(AdminStore& db, long long olderThanDays) {
    if (!db.Exec(PurgeBinStatement(olderThanDays, db.OnServer()))) return DatabaseFailure(db);
    const long long removed = db.Changed();
    std::printf("已彻底删除 %lld 张订单\n%lld orders purged for good\n", removed, removed);
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

    const std::unique_ptr<AdminStore> db = OpenAdminStore(server);
    if (!db) return kExitFailed;
    // A team ledger answers this from a view of its own tables.
    std::string tables;
    const bool asked = db->EachRow(RecycleBinExistsQuery(),
                                   [&tables](const AdminStore::Row& row) { tables = row[0]; });
    if (!asked) return DatabaseFailure(*db);
    if (tables != "1") {
        return Fail("这个账本还没有回收站；请先运行 tallovar-admin upgrade",
                    "this ledger has no recycle bin yet; run tallovar-admin upgrade first");
    }
    if (action == "list") return List(*db);
    if (action == "restore") return Restore(*db, value);
    return Purge(*db, value);
}
