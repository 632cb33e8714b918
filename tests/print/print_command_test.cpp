// tallovar-admin print run for real in a ledger's directory, without a
// display: the file it writes, read back, and the writer's rule.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "../admin/admin_run.h"
#include "pdf_readers.h"
#include "test_ledger.h"

namespace {

// Without a display or a chosen Qt platform, as from a cron job or over ssh;
// on the team ledger when the tests run against one.
AdminRun PrintHere(const TestLedger& ledger, const std::string& arguments) {
    const std::string connect =
        TestLedger::OnServer() ? " --connect '" + ledger.ServerConnection() + "'" : "";
    return RunShell(
        "cd '" + ledger.Directory() +
        "' && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" TALLOVAR_BINARY_DIR
        "/tallovar-admin' print " +
        arguments + connect);
}

// Thirty orders waiting for shipping and five shipped, 19-digit numbers.
std::vector<std::string> AddOrders(const TestLedger& ledger) {
    std::vector<std::string> waiting;
    for (int i = 0; i < 35; ++i) {
        const std::string number = "7" + std::to_string(100000000000000000LL + i * 104729LL);
        const bool shipped = i >= 30;
        ledger.AddOrder({{"卖家账号", "旗舰店"},
                         {"订单号", number},
                         {"快递公司", shipped ? "中通" : ""},
                         {"运单号", shipped ? "ZT" + std::to_string(7000 + i) : ""},
                         {"商品名称", i % 2 ? "手工皂 一块" : "页岩茶杯"},
                         {"进价", "3.5"},
                         {"收货信息", "李四 广州市天河区体育西路" + std::to_string(i) + "号"}});
        if (!shipped) waiting.push_back(number);
    }
    return waiting;
}

std::vector<std::string> Files(const TestLedger& ledger, const std::string& prefix) {
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(ledger.Directory())) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(prefix, 0) == 0) found.push_back(entry.path().string());
    }
    return found;
}

TEST(PrintCommandTest, WaitingOrdersPrintAsSlipsAScannerReadsBack) {
    TestLedger ledger;
    const std::vector<std::string> waiting = AddOrders(ledger);
    const AdminRun run = PrintHere(ledger, "--form 发货单 --waiting");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const std::vector<std::string> written = Files(ledger, "tallovar-发货单-");
    ASSERT_EQ(written.size(), 1u) << run.output;
    const std::string& pdf = written[0];
    EXPECT_EQ(std::filesystem::path(pdf).extension(), ".pdf");
    struct stat info {};
    ASSERT_EQ(stat(pdf.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(PdfPages(pdf), 5);  // six slips a page

    std::vector<std::string> expected;
    for (const std::string& number : waiting) expected.push_back("CODE-128:" + number);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(PdfBarcodes(pdf), expected);
}

TEST(PrintCommandTest, EachFormAndPaperAsAsked) {
    TestLedger ledger;
    AddOrders(ledger);
    struct Case {
        std::string arguments;
        std::string size;
        int pages;
        std::string text;  // something the form shows
    } cases[] = {
        {"--form 订单列表", "297 x 210", 0, "记录：当前有35单"},
        {"--form 拿货单", "210 x 297", 1, "合计：2种商品30单进价105元"},
        {"--form 发货单 --paper 76x130 --waybill ZT", "76 x 130", 5, "ZT7030"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const AdminRun run = PrintHere(ledger, c.arguments + " --output out.pdf --force");
        ASSERT_EQ(run.exitCode, 0) << run.output;
        const std::string pdf = ledger.Directory() + "/out.pdf";
        EXPECT_EQ(PdfPageSize(pdf), c.size);
        if (c.pages) {
            EXPECT_EQ(PdfPages(pdf), c.pages);
        }
        std::string text = PdfText(pdf);
        std::erase_if(text, [](char ch) { return ch == ' ' || ch == '\n'; });
        EXPECT_NE(text.find(c.text), std::string::npos) << text.substr(0, 3000);
    }
}

TEST(PrintCommandTest, RefusesWhatItMustNotDo) {
    TestLedger ledger;
    AddOrders(ledger);
    const std::string kept = ledger.Directory() + "/kept.pdf";
    {
        FILE* file = fopen(kept.c_str(), "w");
        fputs("earlier", file);
        fclose(file);
    }
    const auto ledgerSize = std::filesystem::file_size(ledger.DatabaseFile());
    struct Case {
        std::string arguments;
        int exitCode;
        std::string says;
    } cases[] = {
        {"--form 发货单 --output kept.pdf", 1, "--force"},
        {"--form 发货单 --output tallovar.mdb --force", 1, "账本"},
        {"--form 收据", 2, "用法"},
        {"", 2, "用法"},
        {"--form 拿货单 --paper 76x130", 2, "用法"},
        {"--form 发货单 --paper a5", 2, "用法"},
        {"--form 发货单 --waiting --problem", 2, "用法"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const AdminRun run = PrintHere(ledger, c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.output;
        EXPECT_TRUE(Mentions(run, c.says)) << run.output;
    }
    EXPECT_EQ(std::filesystem::file_size(kept), 7u);
    EXPECT_EQ(std::filesystem::file_size(ledger.DatabaseFile()), ledgerSize);
    EXPECT_TRUE(Files(ledger, "tallovar-").empty());
}

}  // namespace
