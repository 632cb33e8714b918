// A program storing orders into a ledger through the program's own
// connection, one order a statement with a pause of 2 ms after each (faster
// than anyone clicks), until it is ended. Each order number
// it writes to standard output has been acknowledged by the connection.
// Usage: ledger_writer LEDGER TAG
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "common/text_encoding.h"
#include "store/database.h"

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    DatabaseConnection db;
    if (!db.OpenMdbFile(Gbk(argv[1]))) return 1;
    for (long n = 0;; ++n) {
        const std::string number = std::string(argv[2]) + "-" + std::to_string(n);
        if (db.ExecuteSql(Gbk("insert into 订单列表(订单号) values('" + number + "')"))) {
            std::printf("%s\n", number.c_str());
            std::fflush(stdout);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}
