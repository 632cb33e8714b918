#pragma once
// Brings a ledger file made by an older tallovar-admin to the schema a new
// ledger has today. Each step says how to see that it is done, so an
// upgraded ledger is left as it is and a half-old one gets only what it
// lacks. All steps run in one transaction, after a copy of the ledger has
// been kept beside it as <ledger>.before-upgrade-<date>-<time>.

#include <string>
#include <vector>

#include "common/status.h"

struct LedgerUpgrade {
    std::vector<std::string> added;  // "中文 / English" for each step taken
    std::string kept;                // the copy kept; empty when nothing was missing
};

// ledger: the file's path (UTF-8).
Status UpgradeLedger(const std::string& ledger, LedgerUpgrade& upgrade);
