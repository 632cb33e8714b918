// A child program for the several-writers test: one person at one machine,
// on the team ledger that config.ini in its current directory names. Runs
// ROUNDS rounds of add, modify, ship and (every third round) delete with the
// program's own statements, each on a connection opened for it as the
// windows do. A refused statement is tried again, as a user clicks again,
// and its message is reported. At the end, one line per order:
//   KEEP <order number> <remark> <waybill>    stored and kept
//   GONE <order number>                       stored, then deleted
//   BUSY <message, hex UTF-8>                 a statement refused once
//
//   team_writer NAME ROUNDS
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/text_encoding.h"
#include "common/value_text.h"
#include "driver_protocol.h"
#include "platform/files.h"
#include "store/database.h"
#include "store/ledger.h"
#include "store/order_statements.h"
#include "ui/editor/editor_parts.h"

namespace {

constexpr int kTries = 20;

// Runs one statement on a fresh connection until the ledger takes it.
bool Store(const std::string& statement) {
    for (int attempt = 0; attempt < kTries; ++attempt) {
        DatabaseConnection db;
        if (OpenLedger(db) && db.ExecuteSql(statement)) return true;
        std::printf("BUSY %s\n", ToHex(GbkToUtf8(db.LastError())).c_str());
    }
    return false;
}

// The id of the order with that order number, found as the main window
// finds it: by the list's search.
std::int32_t FindOrder(const std::string& number) {
    OrderSearchTexts inputs;
    inputs[1] = number;
    DatabaseConnection db;
    if (!OpenLedger(db)) return 0;
    const std::int32_t set = db.OpenTable(BuildOrderStatements(inputs, "").list);
    return set == 0 ? 0 : NumberToInteger(db.ReadColByName(set, "ID"));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    SetProgramDirectoryForTesting(CurrentDirectory());
    const std::string name = argv[1];
    const int rounds = std::atoi(argv[2]);
    for (int round = 1; round <= rounds; ++round) {
        OrderTexts order;
        order[0] = Gbk("店铺") + name;
        order[1] = name + "-" + std::to_string(round);
        order[4] = "2015-1-" + std::to_string(round % 28 + 1);
        order[5] = Gbk("围巾");
        order[9] = "10";
        if (!Store(InsertOrderStatement(order))) return 1;
        const std::int32_t id = FindOrder(order[1]);
        if (id == 0) return 1;
        order[13] = "m" + std::to_string(round);
        if (!Store(UpdateOrderStatement(order, id))) return 1;
        order[2] = Gbk("顺丰");
        order[3] = "SF" + std::to_string(round);
        if (!Store(UpdateOrderStatement(order, id))) return 1;
        if (round % 3 == 0) {
            if (!Store(Gbk("delete from 订单列表 where id=") + std::to_string(id))) return 1;
            std::printf("GONE %s\n", order[1].c_str());
        } else {
            std::printf("KEEP %s %s %s\n", order[1].c_str(), order[13].c_str(), order[3].c_str());
        }
    }
    return 0;
}
