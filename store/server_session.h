#pragma once
// The maintenance tool's side of a team ledger: one connection to the
// PostgreSQL database through the program's own connection layer (so the
// tool sees the ledger exactly as the windows do), spoken to in UTF-8 like
// everything else in the tool.

#include <string>
#include <vector>

#include "store/database.h"

class ServerSession {
  public:
    // connectionString as given on the command line (UTF-8).
    bool Open(const std::string& connectionString);
    bool Exec(const std::string& sql);
    // Every row of a query, each cell as the program shows it (UTF-8).
    bool Rows(const std::string& sql, std::vector<std::vector<std::string>>& rows);
    // Why the last call failed (UTF-8); a server's own text names the server.
    std::string Error() const;
    DatabaseConnection& Connection() { return db_; }

  private:
    DatabaseConnection db_;
    std::string connection_;  // GBK
};
