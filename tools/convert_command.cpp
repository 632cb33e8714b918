// tallovar-admin convert: the tallovar.mdb of the current folder, a ledger of
// Windows' Access driver, becomes one of Tallovar's own SQLite ledgers. The
// old ledger is read through the program's connection; the new one is
// written beside it under a temporary name and compared with what was read.
// Only when every user and order is there with the same texts is the old
// file renamed tallovar-access-YYYYMMDD-HHMMSS.mdb (its bytes untouched) and
// the new one given the name tallovar.mdb; otherwise nothing changes.

#include <cstdio>
#include <filesystem>
#include <string>

#include "common/text_encoding.h"
#include "platform/native_path.h"
#include "platform/utf8_paths.h"
#include "platform/whole_file.h"
#include "store/ledger_conversion.h"
#include "store/ledger_driver.h"
#include "store/ledger_file.h"
#include "tools/admin_command.h"
#include "tools/admin_ledger.h"

namespace fs = std::filesystem;

int RunConvert(const CommandLine& line) {
    if (!line.Operands().empty()) return kExitUsage;
    const std::string ledger = ExistingLedgerHere();
    if (ledger.empty()) return kExitFailed;
    if (StartsAsSqliteDatabase(Gbk(ledger))) {
        std::printf(
            "%s 已经是 Tallovar 自己的 SQLite 账本，不需要转换\n"
            "%s is a Tallovar SQLite ledger already; nothing to convert\n",
            ledger.c_str(), ledger.c_str());
        return kExitOk;
    }
    if (Status closed = AccessLedgerClosed(ledger); !closed.ok()) return Fail(closed);

    LedgerContents contents;
    if (Status read = ReadLedgerForConversion(Gbk(ledger), contents); !read.ok()) {
        return Fail("没有转换：" + read.chinese, "not converted: " + read.english);
    }
    FileReplacement file(NativePathOfUtf8(ledger));
    Status made = file.Open();
    const std::string temporary = Utf8OfNativePath(file.TemporaryPath());
    if (made.ok()) made = WriteConvertedLedger(temporary, contents);
    if (made.ok()) made = CompareConvertedLedger(temporary, contents);
    if (!made.ok())
        return Fail("没有转换，原账本未改动：" + made.chinese,
                    "not converted, the ledger is as it was: " + made.english);

    const std::string kept = Utf8DirectoryOf(ledger) + "/tallovar-access-" + TimeStamp() + ".mdb";
    std::error_code error;
    if (Utf8PathExists(kept)) error = std::make_error_code(std::errc::file_exists);
    if (!error) fs::rename(fs::u8path(ledger), fs::u8path(kept), error);
    if (error) {
        return Fail("没有转换，原账本未改动：无法改名为 " + kept + "：" + error.message(),
                    "not converted, the ledger is as it was: cannot rename it " + kept + ": " +
                        error.message());
    }
    Status placed = file.PlaceNew();
    if (placed.Is(StatusKind::Exists)) {
        placed = Status::Failure("又出现了一个 tallovar.mdb", "another tallovar.mdb appeared");
    }
    if (!placed.ok()) {
        std::error_code back;
        if (!Utf8PathExists(ledger)) fs::rename(fs::u8path(kept), fs::u8path(ledger), back);
        return Fail(
            "没有转换：" + placed.chinese + (back ? "；原账本现在是 " + kept : ""),
            "not converted: " + placed.english + (back ? "; the old ledger is " + kept : ""));
    }
    std::printf(
        "已转换：%zu 个用户，%zu 张订单；原账本改名为 %s\n"
        "converted: %zu users, %zu orders; the old ledger is now %s\n",
        contents.users.size(), contents.orders.size(), kept.c_str(), contents.users.size(),
        contents.orders.size(), kept.c_str());
    return kExitOk;
}
