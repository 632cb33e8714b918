#pragma once
// The recycle bin of a ledger, for the window 回收站… and tallovar-admin trash
// alike, on a connection the caller opened to a ledger file or a team ledger.
// Texts are GBK, as everything on the connection; failures carry the
// driver's or the server's words.

#include <cstdint>
#include <string>
#include <vector>

#include "common/status.h"

class DatabaseConnection;

// Whether the ledger has the bin: a ledger made before the bin has none.
Status HasRecycleBin(DatabaseConnection& db, bool& present);
// The entries, newest first: 编号, 删除时间, ID and the fourteen texts, each
// as the order list shows a value.
Status ReadRecycleBin(DatabaseConnection& db, std::vector<std::vector<std::string>>& entries);
// Brings entry number back into the order list and takes it out of the bin,
// both or neither, in a transaction that keeps other writers of orders out
// from its start. The order keeps its ID when that ID is free and gets a new
// one otherwise; id is the ID it has now. NotFound when the bin holds no such
// entry (another user restored or purged it meanwhile).
Status RestoreFromRecycleBin(DatabaseConnection& db, long long number, std::string& id);
// Deletes entry number for good.
Status RemoveFromRecycleBin(DatabaseConnection& db, long long number);
// Empties the bin, or with olderThanDays > 0 removes only the entries deleted
// longer ago than that by the local clock that stamps them; removed: how many.
Status PurgeRecycleBin(DatabaseConnection& db, long long olderThanDays, std::int64_t& removed);

// The statement that answers 1 when the ledger has the bin and 0 otherwise
// (UTF-8), for a ledger file read on its own.
std::string RecycleBinExistsQuery();
