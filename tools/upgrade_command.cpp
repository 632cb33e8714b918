// tallovar-admin upgrade: brings a ledger made by an older tallovar-admin to
// the schema init makes today (store/ledger_upgrade.h), after a copy of the
// ledger has been kept beside it as tallovar.mdb.before-upgrade-<date>-<time>.

#include <cstdio>
#include <string>

#include "store/ledger_upgrade.h"
#include "tools/admin_command.h"
#include "tools/admin_ledger.h"

int RunUpgrade(const CommandLine& line) {
    if (!line.Operands().empty()) return kExitUsage;
    const std::string ledger = ExistingLedgerHere();
    if (ledger.empty()) return kExitFailed;
    LedgerUpgrade upgrade;
    if (const Status upgraded = UpgradeLedger(ledger, upgrade); !upgraded.ok()) {
        return Fail(upgraded);
    }
    if (upgrade.added.empty()) {
        std::printf("账本已是最新，未做改动\nthe ledger is up to date; nothing was changed\n");
        return kExitOk;
    }
    for (const std::string& step : upgrade.added) std::printf("已添加 / added: %s\n", step.c_str());
    std::printf("升级前的账本保存为 %s\nthe ledger as it was is kept as %s\n", upgrade.kept.c_str(),
                upgrade.kept.c_str());
    return kExitOk;
}
