// The driver a ledger file is opened through where the file chooses
// (Windows): by its first sixteen bytes only.
#include "store/ledger_driver.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "store/database.h"
#include "tests/support/test_ledger.h"

namespace {

TEST(LedgerDriverTest, FirstSixteenBytesChooseTheDriver) {
    TestLedger ledger(false);
    const std::string dir = ledger.Directory();
    const std::string sqliteHeader("SQLite format 3\0", 16);
    struct Case {
        const char* name;
        std::string bytes;
        bool sqlite;
    };
    const Case cases[] = {
        {"sqlite header and a page", sqliteHeader + std::string(4080, '\x01'), true},
        {"sqlite header alone", sqliteHeader, true},
        {"header without its zero", std::string("SQLite format 3 ") + "xxxx", false},
        {"fifteen bytes", sqliteHeader.substr(0, 15), false},
        {"Jet file", std::string("\0\x01\0\0Standard Jet DB\0", 19) + std::string(100, '\0'),
         false},
        {"lower case", std::string("sqlite format 3\0", 16) + "rest", false},
        {"empty", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir + "/tallovar.mdb";
        std::ofstream(path, std::ios::binary | std::ios::trunc) << c.bytes;
        EXPECT_EQ(StartsAsSqliteDatabase(path), c.sqlite);
        const std::string text = ChosenConnectionString(path, "/host/tallovar.mdb");
        if (c.sqlite) {
            EXPECT_EQ(text,
                      "Driver={Tallovar SQLite3 ODBC Driver};Database=/host/tallovar.mdb;"
                      "NoCreat=1;Timeout=2500;SyncPragma=EXTRA;StepAPI=1;");
        } else {
            // The designed string as the database class builds it, less "ODBC;".
            EXPECT_EQ("ODBC;" + text, BuildConnectionString(path));
            EXPECT_NE(text.find("Driver={Microsoft Access Driver (*.mdb)};FIL=MS Access;"),
                      std::string::npos);
        }
    }
    // A ledger as tallovar-admin makes it; a missing file; a folder.
    TestLedger::CreateFile(dir + "/made.mdb");
    EXPECT_TRUE(StartsAsSqliteDatabase(dir + "/made.mdb"));
    EXPECT_FALSE(StartsAsSqliteDatabase(dir + "/missing.mdb"));
    EXPECT_FALSE(StartsAsSqliteDatabase(dir));
}

}  // namespace
