// tallovar-admin backup --daily with what a folder of backups may hold: copies
// dated after today (a clock that was once ahead) and the leftovers of a run
// that was killed mid-copy.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <string>

#include "admin_run.h"
#include "store/ledger_file.h"
#include "test_ledger.h"
#include "tests/settings/temp_directory.h"

namespace fs = std::filesystem;

namespace {

std::string CopyName(int daysFromToday) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const std::chrono::sys_days today{std::chrono::year{local.tm_year + 1900} / (local.tm_mon + 1) /
                                      local.tm_mday};
    const std::chrono::year_month_day day{today + std::chrono::days(daysFromToday)};
    char text[32];
    std::snprintf(text, sizeof text, "tallovar-%04d%02u%02u.mdb", int(day.year()),
                  unsigned(day.month()), unsigned(day.day()));
    return text;
}

TEST(DailyBackup, KeepsTodaysCopyAndFutureOnesAndClearsItsOwnLeftovers) {
    TestLedger ledger(false);
    ASSERT_TRUE(CreateLedger(ledger.DatabaseFile(), "admin", "pw", 3).ok());
    const std::string folder = ledger.Directory() + "/备份";
    fs::create_directory(folder);
    const pid_t child = fork();
    if (child == 0) _exit(0);
    waitpid(child, nullptr, 0);
    const std::string ended = std::to_string(child);
    const std::string running = std::to_string(getpid());
    struct Case {
        std::string name;
        bool kept;
    };
    std::vector<Case> cases;
    for (int day = 1; day <= 40; ++day) cases.push_back({CopyName(day), true});
    for (int day = -3; day <= -1; ++day) cases.push_back({CopyName(day), true});
    const std::string stale = "." + CopyName(-1) + ".tmp" + ended + "-0";
    cases.push_back({stale, false});
    cases.push_back({stale + "-journal", false});
    cases.push_back({"." + CopyName(0) + ".tmp" + running + "-0", true});
    cases.push_back({".notes.txt.tmp" + ended + "-0", true});
    for (const Case& c : cases) WriteBytes(folder + "/" + c.name, "x");

    for (int run = 0; run < 2; ++run) {
        const AdminRun daily = RunAdmin(ledger.Directory(), "backup --daily");
        EXPECT_EQ(daily.exitCode, 0) << daily.output;
        EXPECT_TRUE(fs::exists(folder + "/" + CopyName(0))) << "run " << run << daily.output;
        for (const Case& c : cases) EXPECT_EQ(fs::exists(folder + "/" + c.name), c.kept) << c.name;
        EXPECT_TRUE(Mentions(daily, CopyName(9))) << daily.output;
    }
}

}  // namespace
