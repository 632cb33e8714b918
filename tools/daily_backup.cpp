// tallovar-admin backup --daily: what the launcher runs before each start.
// Once a day a consistent copy of the ledger goes into 备份/ beside it, named
// tallovar-YYYYMMDD.mdb; a later start on the same day finds it and does
// nothing. Old copies are thinned: the 7 newest stay, and of the older ones
// the newest of each week, for the 4 most recent such weeks. Only files with
// exactly that name pattern are ever removed, never today's, and never one
// dated after today (a clock once ahead made it): those are named instead.
// On Windows a ledger of the Access driver is copied as the plain file.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "common/text_encoding.h"
#include "platform/odbc_driver.h"
#include "platform/utf8_paths.h"
#include "platform/whole_file.h"
#include "store/ledger_driver.h"
#include "store/ledger_file.h"
#include "store/sqlite_copy.h"
#include "tools/admin_command.h"
#include "tools/admin_ledger.h"

namespace {

constexpr std::size_t kDailyCopies = 7;
constexpr std::size_t kWeeklyCopies = 4;

std::string Today() { return TimeStamp().substr(0, 8); }  // YYYYMMDD

// The YYYYMMDD of a daily copy's name, or empty for any other file.
std::string DateOfCopy(const std::string& name) {
    if (name.size() != 21 || name.rfind("tallovar-", 0) != 0 || name.substr(17) != ".mdb") {
        return {};
    }
    const std::string date = name.substr(9, 8);
    for (char c : date) {
        if (c < '0' || c > '9') return {};
    }
    return date;
}

// Weeks counted from a Monday, so copies of one Monday-to-Sunday week share it.
long WeekOf(const std::string& date) {
    const std::chrono::year_month_day day{
        std::chrono::year{std::stoi(date.substr(0, 4))},
        std::chrono::month{static_cast<unsigned>(std::stoi(date.substr(4, 2)))},
        std::chrono::day{static_cast<unsigned>(std::stoi(date.substr(6, 2)))}};
    const long days = std::chrono::sys_days{day}.time_since_epoch().count();
    return (days + 3 >= 0 ? days + 3 : days - 3) / 7;  // 1970-01-01 was a Thursday
}

// The dates of the copies to remove, given those up to today. Today's copy,
// the newest, is always among the kept ones.
std::vector<std::string> CopiesToRemove(const std::set<std::string, std::greater<>>& dates) {
    std::vector<std::string> remove;
    std::set<long> weeksKept;
    std::size_t index = 0;
    for (const std::string& date : dates) {
        if (index++ < kDailyCopies) continue;
        const long week = WeekOf(date);
        if (weeksKept.count(week) == 0 && weeksKept.size() < kWeeklyCopies) {
            weeksKept.insert(week);  // the newest copy of its week
        } else {
            remove.push_back(date);
        }
    }
    return remove;
}

// Copies dated after today were made while the clock was ahead: they are no
// newer than today's and are neither counted nor removed, only named.
void WarnOfFutureCopies(const std::string& folder, const std::vector<std::string>& dates) {
    if (dates.empty()) return;
    std::string names;
    for (const std::string& date : dates) names += "\n  " + folder + "/tallovar-" + date + ".mdb";
    std::fprintf(stderr,
                 "注意：以下备份的日期晚于今天（电脑时钟曾经不准？），已保留，请自行检查：%s\n"
                 "note: these copies are dated after today (was the clock once ahead?); they "
                 "were kept, check them yourself:%s\n",
                 names.c_str(), names.c_str());
}

// A ledger of Windows' Access driver is copied as it is, and only while no
// program has it open: the driver keeps tallovar.ldb beside an open ledger,
// and a copy taken meanwhile could hold half a change.
Status TakePlainCopy(const std::string& ledger, FileReplacement& file) {
    if (Status closed = AccessLedgerClosed(ledger); !closed.ok()) {
        return Status::Failure(closed.chinese + "，今天没有复制",
                               closed.english + "; not copied today");
    }
    std::ifstream in(NativePathOfUtf8(ledger), std::ios::binary);
    if (!in) return Status::Failure("无法读取账本 " + ledger, "cannot read the ledger " + ledger);
    if (Status opened = file.Open(); !opened.ok()) return opened;
    std::vector<char> buffer(1 << 20);
    while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || in.gcount() > 0) {
        const std::string_view piece(buffer.data(), static_cast<std::size_t>(in.gcount()));
        if (Status written = file.Write(piece); !written.ok()) return written;
    }
    if (in.bad()) return Status::Failure("读取账本时出错 " + ledger, "error reading " + ledger);
    return Status::Ok();
}

Status PlaceCopy(FileReplacement& file) {
    // Another start on the same day may have placed it meanwhile: that is as good.
    const Status placed = file.PlaceNew();
    return placed.Is(StatusKind::Exists) ? Status::Ok() : placed;
}

Status TakeCopy(const std::string& ledger, const std::string& target) {
    FileReplacement file(NativePathOfUtf8(target));
    if (DriverChosenByLedgerFile() && !StartsAsSqliteDatabase(Gbk(ledger))) {
        if (Status copied = TakePlainCopy(ledger, file); !copied.ok()) return copied;
        return PlaceCopy(file);
    }
    if (Status copied = CopyDatabaseInto(ledger, CopyFrom::Ledger, file); !copied.ok()) {
        return copied;
    }
    if (Status checked = CheckLedgerFile(Utf8OfNativePath(file.TemporaryPath())); !checked.ok()) {
        return checked;
    }
    return PlaceCopy(file);
}

}  // namespace

int RunDailyBackup() {
    const std::string ledger = ExistingLedgerHere();
    if (ledger.empty()) return kExitFailed;
    const std::string folder = Utf8DirectoryOf(ledger) + "/备份";
    // The folder's name is UTF-8; a narrow path would be read in the ANSI code
    // page on Windows and make a folder of another name.
    const std::filesystem::path folderPath = std::filesystem::u8path(folder);
    std::error_code made;
    std::filesystem::create_directory(folderPath, made);
    if (made && made != std::errc::file_exists) {
        const std::string reason = made.message();
        return Fail("每日备份失败：无法建立文件夹 " + folder + "：" + reason,
                    "daily backup failed: cannot make the folder " + folder + ": " + reason);
    }
    // What an earlier run killed mid-copy left: the copy and its journal.
    RemoveAbandonedReplacements(NativePathOfUtf8(folder), {"tallovar-*.mdb"});
    const std::string today = Today();
    const std::string target = folder + "/tallovar-" + today + ".mdb";
    if (Utf8PathExists(target)) {
        std::printf("今天已有备份：%s\ntoday's backup exists: %s\n", target.c_str(),
                    target.c_str());
    } else if (const Status taken = TakeCopy(ledger, target); !taken.ok()) {
        return Fail("每日备份失败：" + taken.chinese, "daily backup failed: " + taken.english);
    } else {
        std::printf("已备份到 %s\nbacked up to %s\n", target.c_str(), target.c_str());
    }

    std::set<std::string, std::greater<>> dates;
    std::vector<std::string> future;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folderPath, ignored)) {
        const std::string date = DateOfCopy(entry.path().filename().string());
        if (date.empty() || !entry.is_regular_file(ignored)) continue;
        if (date > today) {
            future.push_back(date);
        } else {
            dates.insert(date);
        }
    }
    std::sort(future.begin(), future.end());
    WarnOfFutureCopies(folder, future);
    for (const std::string& date : CopiesToRemove(dates)) {
        if (date != today)
            std::filesystem::remove(folderPath / ("tallovar-" + date + ".mdb"), ignored);
    }
    return kExitOk;
}
