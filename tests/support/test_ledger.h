#pragma once
// A ledger for tests: a temporary directory that becomes the current
// directory and the program directory, with tallovar.mdb made by the SQLite
// library in the schema of a user's ledger (store/ledger_schema.h), without
// users. Texts given here are UTF-8 (as stored in the file).
//
// When TALLOVAR_TEST_LEDGER is "server", the ledger is a team ledger
// instead: a database of its own on the server that TALLOVAR_TEST_SERVER
// (an ODBC connection string) reaches, made in the maintenance tool's
// schema, and named in config.ini. Exec and Rows then run on that database.

#include <map>
#include <string>
#include <vector>

class TestLedger {
  public:
    // With createFile false the directory has no ledger in it.
    explicit TestLedger(bool createFile = true);
    ~TestLedger();
    TestLedger(const TestLedger&) = delete;
    TestLedger& operator=(const TestLedger&) = delete;

    const std::string& Directory() const { return directory_; }
    std::string DatabaseFile() const { return directory_ + "/tallovar.mdb"; }

    // Runs SQL (UTF-8) directly on the file; fails the test on an error.
    void Exec(const std::string& sql) const;
    // Every row of a query, cells as UTF-8 text ("" for NULL).
    std::vector<std::vector<std::string>> Rows(const std::string& sql) const;

    void AddUser(const std::string& name, const std::string& password) const;
    // An order from column name to text; missing columns are ''. Returns its ID.
    long long AddOrder(const std::map<std::string, std::string>& fields) const;

    void WriteConfig(const std::string& bytes) const;

    // Makes a ledger file with both tables at a path (UTF-8).
    static void CreateFile(const std::string& path);

    // True when the tests run against a team ledger on a server.
    static bool OnServer();
    // The team ledger's connection string (UTF-8); empty for a file ledger.
    const std::string& ServerConnection() const { return server_; }

  private:
    void CreateServerLedger();
    std::string ServerSection() const;

    std::string directory_;
    std::string previousDirectory_;
    std::string server_;
    std::string serverDatabase_;
};

// An ODBC connection string with one key set to value (the key's other
// entries, in any letter case, left out).
std::string WithConnectionKey(const std::string& connection, const std::string& key,
                              const std::string& value);

// Closes every top-level window the test left open and lets Qt destroy them.
void CloseAllWindows();
