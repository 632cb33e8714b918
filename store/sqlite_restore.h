#pragma once
// Restoring a ledger file from a backup in place, with SQLite's own backup
// and file access, which the ODBC driver does not offer. Paths are UTF-8.

#include <string>

#include "common/status.h"

// Writes the checked copy into the live ledger under the ledger's own locks
// and in one transaction of its own, so that tallovar.mdb is always a whole
// ledger, also for programs that have it open meanwhile. The ledger as it
// stood is kept under the name kept first. Busy when the ledger stayed
// locked; nothing changes on any failure.
Status RestoreInPlace(const std::string& ledger, const std::string& copy, const std::string& kept);
