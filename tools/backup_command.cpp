// tallovar-admin backup [FILE]: a consistent copy of the ledger, taken with
// SQLite's online backup, so it may run while the program is open and
// storing orders. The copy never replaces an existing file unless --force
// says so (exchange/customer_file.h) and appears under its name only when
// complete; by default it is named with the date and time
// and lies beside the ledger. --daily is the launcher's copy of the day
// (daily_backup.cpp).

#include <cstdio>
#include <string>
#include <vector>

#include "exchange/customer_file.h"
#include "platform/utf8_paths.h"
#include "store/ledger_file.h"
#include "store/sqlite_copy.h"
#include "tools/admin_command.h"
#include "tools/admin_ledger.h"
#include "tools/server_backup.h"

int RunBackup(const CommandLine& line) {
    const std::vector<std::string>& arguments = line.Operands();
    // --force lets a backup replace an existing file, but never a ledger.
    const bool force = line.Has("--force");
    if (line.Has("--daily")) {
        if (force || line.Has("--connect") || !arguments.empty()) return kExitUsage;
        return RunDailyBackup();
    }
    std::string server;
    if (!ConnectOption(line, server)) return kExitUsage;
    if (!server.empty()) return BackupServerLedger(server, arguments);
    if (arguments.size() > 1 || (arguments.size() == 1 && arguments[0].empty())) {
        return kExitUsage;
    }
    const std::string ledger = ExistingLedgerHere();
    if (ledger.empty()) return kExitFailed;
    const std::string target = arguments.empty()
                                   ? Utf8DirectoryOf(ledger) + "/tallovar-" + TimeStamp() + ".mdb"
                                   : arguments[0];
    // A backup holds every customer's data: written by the same rule as an export.
    CustomerDataFile file(NativePathOfUtf8(target), NativePathOfUtf8(ledger),
                          force ? Existing::Replace : Existing::Keep);
    Status copied = file.Open();
    const std::string temporary = Utf8OfNativePath(file.TemporaryPath());
    if (copied.ok()) copied = CopyDatabase(ledger, CopyFrom::Ledger, temporary);
    if (!copied.ok()) {
        return Fail("无法备份账本：" + copied.chinese,
                    "cannot back up the ledger: " + copied.english);
    }

    // The copy is checked as a restore would check it; a damaged ledger is
    // still kept, since its copy may be all there is.
    long long orders = -1;
    const Status checked = CheckLedgerFile(temporary, &orders);
    const std::string problem = checked.ok() ? "" : checked.Lines();
    if (const Status placed = file.Place(); !placed.ok()) {
        return Fail("无法写出备份：" + placed.chinese,
                    "cannot write the backup: " + placed.english);
    }
    if (!problem.empty()) {
        return Fail("已写出备份 " + target + "，但账本有问题：" + problem,
                    "backup written to " + target + ", but the ledger has a fault (see above)");
    }
    std::printf("已备份 %lld 张订单到 %s\n%lld orders backed up to %s\n", orders, target.c_str(),
                orders, target.c_str());
    return kExitOk;
}
