// tallovar-admin ship FILE|-: ships the orders of a list of waybills, as the
// order list's 批量发货… window does and with the same code. A FILE ending
// .xlsx or .csv is a sheet read by its header row; any other file, or "-"
// for standard input, holds lines of key, waybill and optionally courier.
// The preview comes first, one line a line and the count of each state; the
// orders are shipped only when every line is ready, or with --skip-bad the
// ready ones; --dry-run only previews.

#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "common/text_encoding.h"
#include "exchange/courier_table.h"
#include "exchange/ship_lines.h"
#include "platform/native_path.h"
#include "platform/whole_file.h"
#include "store/database.h"
#include "store/pick_lists.h"
#include "store/program_settings.h"
#include "store/ship_batch.h"
#include "tools/admin_command.h"
#include "tools/admin_ledger.h"

namespace {

// Far more waybills than a day's parcels.
constexpr std::size_t kMaxLinesBytes = std::size_t{64} << 20;

struct ShipOptions {
    std::string file;  // UTF-8, "-" for standard input
    bool skipBad = false;
    bool dryRun = false;
};

bool ParseOptions(const CommandLine& line, ShipOptions& options) {
    if (line.Operands().size() != 1 || line.Operands()[0].empty()) return false;
    options.file = line.Operands()[0];
    options.skipBad = line.Has("--skip-bad");
    options.dryRun = line.Has("--dry-run");
    return true;
}

Status ReadLines(const std::string& file, std::vector<WaybillLine>& lines) {
    if (file != "-" && IsWaybillSheetPath(file)) return ReadWaybillSheet(file, lines);
    std::string bytes;
    if (file == "-") {
        bytes.assign(std::istreambuf_iterator<char>(std::cin), {});
    } else if (ReadWholeFile(NativePathOfUtf8(file), kMaxLinesBytes, bytes) != WholeFileRead::kOk) {
        return Status::Failure("无法读取文件：" + file, "cannot read the file: " + file);
    }
    return ReadWaybillText(bytes, lines);
}

std::vector<std::string> ExpressPickList() {
    const PickList* list = FindPickList("快递公司");
    return list ? ReadPickList(ProgramSettingsPath(), *list) : std::vector<std::string>{};
}

std::string Joined(const std::vector<std::string>& items, const char* separator) {
    std::string text;
    for (const std::string& item : items) text += (text.empty() ? "" : separator) + item;
    return text;
}

void PrintPreview(const std::vector<WaybillLine>& given, const std::vector<ShipLine>& lines,
                  const std::vector<ShipMatch>& matches,
                  const std::vector<std::vector<std::string>>& candidates) {
    std::printf("行\t单号\t订单ID\t状态\t快递公司\t运单号\n");
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const ShipMatch& match = matches[i];
        std::string state = ShipStateName(match.state);
        std::string courier = GbkToUtf8(lines[i].courier);
        std::string waybill = GbkToUtf8(lines[i].waybill);
        if (match.state == ShipState::AlreadyShipped) {
            courier = GbkToUtf8(match.order.courier);
            waybill = GbkToUtf8(match.order.waybill);
        } else if (match.state == ShipState::NoCourier && !candidates[i].empty()) {
            state += "（可能是 " + Joined(candidates[i], "、") + "）";
        } else if (match.state == ShipState::Unreadable) {
            state += "（" + given[i].problem + "）";
        }
        const std::string id = match.order.id == 0 ? "" : std::to_string(match.order.id);
        std::printf("%d\t%s\t%s\t%s\t%s\t%s\n", lines[i].number, given[i].key.c_str(), id.c_str(),
                    state.c_str(), courier.c_str(), waybill.c_str());
    }
    std::printf("%s\n", ShipCountsText(matches).c_str());
}

std::string LineNumbers(const std::vector<ShipLine>& lines, const std::vector<ShipMatch>& matches) {
    std::vector<std::string> numbers;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (matches[i].state != ShipState::Ready)
            numbers.push_back(std::to_string(lines[i].number));
    }
    return Joined(numbers, "、");
}

}  // namespace

int RunShip(const CommandLine& line) {
    std::string server;
    ShipOptions options;
    if (!ConnectOption(line, server) || !ParseOptions(line, options)) return kExitUsage;
    const std::string ledger = server.empty() ? ExistingLedgerHere() : std::string();
    if (server.empty() && ledger.empty()) return kExitFailed;

    std::vector<WaybillLine> given;
    if (Status read = ReadLines(options.file, given); !read.ok()) {
        return Fail(read.chinese + "；未发货", read.english + "; nothing was shipped");
    }
    if (given.empty()) return Fail("没有要发货的行", "no lines to ship");
    Status loaded;
    const CourierTable table = CourierTable::LoadInstalled(loaded);
    if (!loaded.ok()) std::fprintf(stderr, "%s\n", loaded.Lines().c_str());
    const std::vector<std::string> pickList = ExpressPickList();
    std::vector<ShipLine> lines;
    std::vector<std::vector<std::string>> candidates(given.size());
    for (std::size_t i = 0; i < given.size(); ++i) {
        lines.push_back(ShipLineOf(given[i], table, pickList, candidates[i]));
    }

    DatabaseConnection db;
    const bool opened = server.empty() ? db.OpenMdbFile(Gbk(ledger)) : db.OpenServer(Gbk(server));
    std::vector<ShipMatch> matches;
    Status matched = opened ? MatchShipLines(db, lines, matches)
                            : Status::Untranslated(GbkToUtf8(db.LastError()));
    if (!matched.ok()) {
        return Fail("无法读取账本：" + matched.chinese,
                    "cannot read the ledger: " + matched.english);
    }
    PrintPreview(given, lines, matches, candidates);
    const std::vector<ShipOrder> orders = ReadyOrders(lines, matches);
    const bool allReady = orders.size() == lines.size();
    if (options.dryRun) {
        std::printf("试运行，未发货 / dry run, nothing was shipped\n");
        return kExitOk;
    }
    if (!allReady && !options.skipBad) {
        return Fail("第 " + LineNumbers(lines, matches) +
                        " 行不能发货，全部未发货（用 --skip-bad 只发可发货的行）",
                    "some lines cannot be shipped; nothing was shipped (--skip-bad ships the "
                    "ready ones)");
    }
    if (orders.empty())
        return Fail("没有可发货的行，未发货", "no line is ready; nothing was shipped");
    if (!allReady) std::printf("跳过第 %s 行\n", LineNumbers(lines, matches).c_str());
    std::vector<int> refused;
    if (Status shipped = ShipOrders(db, orders, ShipDate(), refused); !shipped.ok()) {
        return Fail(shipped);
    }
    std::printf("已发货 %zu 张订单 / %zu orders shipped\n", orders.size(), orders.size());
    return kExitOk;
}
