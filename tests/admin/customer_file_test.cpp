// The one rule for files with customers' data, as the tool and the windows
// meet it: owner-only, nothing replaced unless asked, only a regular file
// ever replaced, never a ledger.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "admin_run.h"
#include "exchange/customer_file.h"
#include "store/ledger_file.h"
#include "test_ledger.h"
#include "tests/settings/temp_directory.h"

namespace fs = std::filesystem;

namespace {

bool MakeSocket(const std::string& path) {
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (fd < 0 || path.size() >= sizeof address.sun_path) return false;
    path.copy(address.sun_path, path.size());
    const bool bound = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return bound;
}

mode_t TypeOf(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? info.st_mode & S_IFMT : 0;
}

TEST(CustomerDataFile, ReplacesOnlyARegularFileWhenAskedAndNeverALedger) {
    TestLedger ledger(false);
    ASSERT_TRUE(CreateLedger(ledger.DatabaseFile(), "admin", "pw").ok());
    const std::string folder = ledger.Directory();
    struct Case {
        const char* name;
        std::function<void(const std::string&)> make;  // what is at the path before
        Existing existing;
        const char* refusal;  // in the Chinese text, or "" when written
    };
    const auto regular = [](const std::string& path) { WriteBytes(path, "old"); };
    const auto nothing = [](const std::string&) {};
    const Case cases[] = {
        {"new.csv", nothing, Existing::Keep, ""},
        {"old.csv", regular, Existing::Keep, "已存在"},
        {"replaced.csv", regular, Existing::Replace, ""},
        {"folder", [](const std::string& p) { fs::create_directory(p); }, Existing::Replace,
         "是文件夹"},
        {"pipe", [](const std::string& p) { mkfifo(p.c_str(), 0600); }, Existing::Replace,
         "是命名管道"},
        {"socket", [](const std::string& p) { ASSERT_TRUE(MakeSocket(p)); }, Existing::Replace,
         "是套接字"},
        {"device", [](const std::string& p) { fs::create_symlink("/dev/null", p); },
         Existing::Replace, "是设备"},
        {"ledger-link.csv",
         [&](const std::string& p) { fs::create_symlink(ledger.DatabaseFile(), p); },
         Existing::Replace, "就是账本本身"},
        {"other.mdb", [](const std::string& p) { CreateLedger(p, "a", "b"); }, Existing::Replace,
         "是一个账本文件"},
    };
    const mode_t mask = umask(022);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = folder + "/" + c.name;
        c.make(path);
        const mode_t type = TypeOf(path);
        CustomerDataFile file(path, ledger.DatabaseFile(), c.existing);
        Status written = file.Open();
        if (written.ok()) written = file.Write("new");
        if (written.ok()) written = file.Place();
        if (*c.refusal == '\0') {
            ASSERT_TRUE(written.ok()) << written.chinese;
            EXPECT_EQ(ReadBytes(path), "new");
            EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
                      fs::perms::owner_read | fs::perms::owner_write);
        } else {
            EXPECT_NE(written.chinese.find(c.refusal), std::string::npos) << written.chinese;
            EXPECT_NE(written.chinese.find(c.name), std::string::npos) << written.chinese;
            EXPECT_EQ(TypeOf(path), type);
        }
    }
    umask(mask);
    for (const auto& entry : fs::directory_iterator(folder)) {
        EXPECT_NE(entry.path().filename().string()[0], '.') << "left behind: " << entry.path();
    }
    // The tool keeps the rule with --force too: a pipe stays a pipe.
    const std::string pipe = folder + "/pipe";
    for (const char* command : {"export --force --output pipe", "backup pipe --force"}) {
        const AdminRun run = RunAdmin(folder, command);
        EXPECT_EQ(run.exitCode, 1) << command << run.output;
        EXPECT_TRUE(Mentions(run, "命名管道")) << run.output;
        EXPECT_EQ(TypeOf(pipe), static_cast<mode_t>(S_IFIFO));
    }
}

}  // namespace
