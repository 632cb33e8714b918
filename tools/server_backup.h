#pragma once
// tallovar-admin backup/restore --connect "…" on a team ledger: the server's
// own tools, pg_dump and pg_restore, in their custom format (the database
// stays consistent while others work; a restore runs as one transaction).

#include <string>
#include <vector>

// arguments: [FILE]; the exit code.
int BackupServerLedger(const std::string& connection, const std::vector<std::string>& arguments);
// arguments: FILE; the exit code.
int RestoreServerLedger(const std::string& connection, const std::vector<std::string>& arguments);
