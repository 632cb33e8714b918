// The ledger the tests run on is the ledger tallovar-admin init makes, and an
// order stored, changed, deleted and brought back by the statements the
// program sends keeps every text in its own column.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "common/text_encoding.h"
#include "store/database.h"
#include "store/ledger_file.h"
#include "store/ledger_schema.h"
#include "store/order_statements.h"
#include "store/recycle_bin.h"
#include "store/sqlite_file.h"
#include "test_ledger.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

TEST(LedgerSchema, TestLedgerIsTheLedgerAUserHas) {
    if (TestLedger::OnServer()) GTEST_SKIP() << "a file ledger's catalogue";
    const TestLedger test;
    const TestLedger user(false);
    ASSERT_TRUE(CreateLedger(user.DatabaseFile(), "admin", "pw").ok());
    const char* const catalogue =
        "select type, name, tbl_name, sql from sqlite_master order by name";
    const Rows made = user.Rows(catalogue);
    EXPECT_EQ(test.Rows(catalogue), made);
    EXPECT_GE(made.size(), 5u);  // three tables, the date index, the bin's trigger
}

// Reads the fourteen texts of the current row by column name.
OrderTexts TextsOf(DatabaseConnection& db, std::int32_t set, int firstColumn = 0) {
    OrderTexts texts;
    for (std::size_t c = 0; c < texts.size(); ++c) {
        texts[c] = firstColumn ? db.ReadColByIndex(set, firstColumn + static_cast<int>(c)).text
                               : db.ReadColByName(set, Gbk(kOrderTextColumnNames[c])).text;
    }
    return texts;
}

TEST(LedgerSchema, OrderKeepsEveryTextInItsColumnThroughEveryStatement) {
    if (TestLedger::OnServer()) GTEST_SKIP() << "tallovar-admin init makes a file ledger";
    const TestLedger ledger(false);
    ASSERT_TRUE(CreateLedger(ledger.DatabaseFile(), "admin", "pw").ok());
    DatabaseConnection db;
    ASSERT_TRUE(db.OpenMdbFile(Gbk(ledger.DatabaseFile()))) << db.LastError();

    OrderTexts stored, changed;
    for (std::size_t c = 0; c < stored.size(); ++c) {
        const char letter = static_cast<char>('a' + c);  // no text holds another
        stored[c] = Gbk("文'") + letter;
        changed[c] = Gbk("改") + letter;
    }
    const struct {
        const char* step;
        std::string statement;
        const OrderTexts* expected;  // the order's texts afterwards; null when gone
    } steps[] = {
        {"insert", InsertOrderStatement(stored), &stored},
        {"update", UpdateOrderStatement(changed, 1), &changed},
        {"delete", DeleteOrderStatement("1"), nullptr},
        {"restore", "", &changed},  // as the window and the tool restore
    };
    for (const auto& step : steps) {
        if (step.statement.empty()) {
            std::string id;
            const Status restored = RestoreFromRecycleBin(db, 1, id);
            ASSERT_TRUE(restored.ok()) << restored.english;
            EXPECT_EQ(id, "1");
        } else {
            ASSERT_TRUE(db.ExecuteSql(step.statement)) << step.step << ": " << db.LastError();
        }
        const std::int32_t order = db.OpenTable(LoadOrderQuery(1));
        ASSERT_NE(order, 0) << step.step << ": " << db.LastError();
        ASSERT_EQ(db.IsEOF(order), step.expected == nullptr) << step.step;
        if (step.expected) EXPECT_EQ(TextsOf(db, order), *step.expected) << step.step;
        if (std::string(step.step) == "delete") {
            std::vector<std::vector<std::string>> bin;
            ASSERT_TRUE(ReadRecycleBin(db, bin).ok()) << db.LastError();
            ASSERT_EQ(bin.size(), 1u);
            EXPECT_TRUE(std::equal(changed.begin(), changed.end(), bin[0].begin() + 3))
                << "the bin's columns";
        }
    }
    const OrderSearchTexts everything{changed[0], changed[1], changed[2], changed[3], changed[5],
                                      changed[6], changed[7], changed[8], changed[13]};
    const OrderStatements found = BuildOrderStatements(everything, "");
    OrderTotals totals;
    ASSERT_TRUE(ReadOrderTotals(db, found, totals)) << db.LastError();
    EXPECT_EQ(totals.count, 1) << "each search text meets its own column";
    const std::int32_t signIn = db.OpenTable(SignInQuery("ADMIN", "PW"));
    ASSERT_NE(signIn, 0) << db.LastError();
    EXPECT_FALSE(db.IsEOF(signIn)) << "names and passwords match whatever the letter case";
}

}  // namespace

namespace {

// A ledger that cannot be made answers why by its kind, and leaves what was
// there as it was: a taken name is Exists, a missing folder (or a file in
// the folder's place) NotFound.
TEST(LedgerSchema, ALedgerNotMadeSaysWhichKindOfFailure) {
    const TestLedger place(false);
    const std::string folder = place.DatabaseFile().substr(0, place.DatabaseFile().rfind('/'));
    const std::string blocker = folder + "/blocker";
    ASSERT_TRUE(CreateLedger(folder + "/taken.mdb", "a", "b").ok());
    {
        std::FILE* file = std::fopen(blocker.c_str(), "w");
        ASSERT_NE(file, nullptr);
        std::fclose(file);
    }
    struct Case {
        const char* name;
        std::string path;
        StatusKind kind;
    };
    const Case cases[] = {
        {"taken", folder + "/taken.mdb", StatusKind::Exists},
        {"no folder", folder + "/missing/tallovar.mdb", StatusKind::NotFound},
        {"a file for a folder", blocker + "/tallovar.mdb", StatusKind::NotFound},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Status made = CreateLedger(c.path, "a", "b");
        EXPECT_EQ(made.kind, c.kind) << made.english;
        EXPECT_FALSE(made.english.empty());
    }
    // The ledger that was there is still a ledger with its one user.
    SqliteDatabase taken;
    ASSERT_TRUE(taken.Open(folder + "/taken.mdb"));
    EXPECT_EQ(taken.QueryText("select count(*) from sysuser"), "1");
}

}  // namespace
