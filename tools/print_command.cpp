// tallovar-admin print: the orders of a search on paper's pages, as a PDF
// file: the order list, the picking list or packing slips, drawn by the same
// page layout as the "打印…" window (print/printed_orders.h). Needs no
// display. The file is written as every file with customers' data is: only
// its owner reads it, it appears once complete, and nothing is replaced
// without --force, never a ledger (exchange/customer_file.h).

#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

#include "common/text_encoding.h"
#include "exchange/customer_file.h"
#include "exchange/sheet_encoding.h"
#include "platform/native_path.h"
#include "platform/program_files.h"
#include "platform/utf8_paths.h"
#include "print/printed_orders.h"
#include "store/database.h"
#include "store/searched_orders.h"
#include "tools/admin_command.h"
#include "tools/admin_ledger.h"
#include "tools/search_options.h"

namespace {

struct PrintOptions {
    OrderSearchTexts inputs;  // GBK
    std::string filter;       // GBK keyword or empty
    PrintForm form = PrintForm::OrderList;
    PrintPaper paper = PrintPaper::A4;
    bool force = false;
    std::string output;  // UTF-8 path
};

bool ParseOptions(const CommandLine& line, PrintOptions& options) {
    if (!line.Operands().empty() || !PrintFormOfName(line.Value("--form"), options.form)) {
        return false;
    }
    const std::string paper = line.Value("--paper");
    if (paper == "76x130") {
        options.paper = PrintPaper::Label76x130;
        // Labels take packing slips only.
        if (options.form != PrintForm::PackingSlips) return false;
    } else if (!paper.empty() && paper != "a4") {
        return false;
    }
    options.force = line.Has("--force");
    if (line.Has("--output")) {
        options.output = line.Value("--output");
        if (options.output.empty() || !IsValidUtf8(options.output)) return false;
    }
    return ReadSearchOptions(line, options.inputs, options.filter);
}

// Qt draws the pages; it needs an application but no screen.
void StartDrawing() {
#ifndef _WIN32
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
#endif
}

int NotPrinted(const Status& refused, const PrintOptions& options) {
    const bool exists = !options.force && Utf8PathExists(options.output);
    return Fail(
        refused.chinese + "；未打印" + (exists ? "（用 --force 覆盖）" : ""),
        refused.english + "; nothing was printed" + (exists ? " (--force replaces it)" : ""));
}

}  // namespace

int RunPrint(const CommandLine& line) {
    std::string server;
    PrintOptions options;
    if (!ConnectOption(line, server) || !ParseOptions(line, options)) return kExitUsage;
    const std::string ledger = server.empty() ? ExistingLedgerHere() : PathIn(".", kLedgerFileName);
    if (ledger.empty()) return kExitFailed;
    if (options.output.empty()) {
        options.output = Utf8DirectoryOf(ledger) + "/tallovar-" + PrintFormName(options.form) +
                         "-" + TimeStamp() + ".pdf";
    }
    // Unplaced, the file's temporary version is removed when this ends.
    CustomerDataFile file(NativePathOfUtf8(options.output), NativePathOfUtf8(ledger),
                          options.force ? Existing::Replace : Existing::Keep);
    if (Status opened = file.Open(); !opened.ok()) return NotPrinted(opened, options);

    PrintJob job;
    job.form = options.form;
    job.paper = options.paper;
    job.printedAt = QDateTime::currentDateTime();
    DatabaseConnection db;
    const bool opened = server.empty() ? db.OpenMdbFile(Gbk(ledger)) : db.OpenServer(Gbk(server));
    const Status read =
        opened ? ReadSearchedOrders(
                     db, options.inputs, options.filter,
                     [&job](const std::vector<std::string>& cells) {
                         PrintedOrder& order = job.orders.emplace_back();
                         std::copy(cells.begin(), cells.end(), order.begin());
                     },
                     job.totals)
               : Status::Failure("无法读取账本：" + GbkToUtf8(db.LastError()),
                                 "cannot read the ledger: " + GbkToUtf8(db.LastError()));
    if (!read.ok()) return Fail(read);

    StartDrawing();
    int argc = 1;
    char name[] = "tallovar-admin";
    char* argv[] = {name, nullptr};
    QGuiApplication application(argc, argv);
    int pages = 0;
    const Status written =
        WritePrintPdf(job, QString::fromStdString(Utf8OfNativePath(file.TemporaryPath())), pages);
    if (!written.ok()) return NotPrinted(written, options);
    if (Status placed = file.Place(); !placed.ok()) return NotPrinted(placed, options);
    std::fprintf(stderr,
                 "已打印 %zu 张订单的%s，%d 页：%s\n%zu orders printed as %s, %d page%s: %s\n",
                 job.orders.size(), PrintFormName(job.form), pages, options.output.c_str(),
                 job.orders.size(), PrintFormName(job.form), pages, pages == 1 ? "" : "s",
                 options.output.c_str());
    return kExitOk;
}
