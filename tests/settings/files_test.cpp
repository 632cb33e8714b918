#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "platform/files.h"
#include "platform/private_profile.h"
#include "platform/whole_file.h"
#include "temp_directory.h"

namespace {

TEST(ProgramDirectory, IsTheExecutablesDirectoryUnlessOverridden) {
    const std::string real = ProgramDirectory();
    EXPECT_EQ(real, std::filesystem::canonical("/proc/self/exe").parent_path().string());
    EXPECT_NE(real.back(), '/');

    SetProgramDirectoryForTesting("/somewhere/else");
    EXPECT_EQ(ProgramDirectory(), "/somewhere/else");
    SetProgramDirectoryForTesting("");
    EXPECT_EQ(ProgramDirectory(), real);
}

TEST(HiddenFiles, ListedOnceInTheDirectoryList) {
    TempDirectory dir;
    const std::string list = dir / ".hidden";
    WriteBytes(dir / "SkinH_EL.dll", "x");
    WriteBytes(dir / "other", "x");
    std::filesystem::create_directory(dir / "folder");

    EXPECT_FALSE(IsFileHidden(dir / "SkinH_EL.dll"));
    EXPECT_TRUE(SetFileHidden(dir / "SkinH_EL.dll"));
    EXPECT_EQ(ReadBytes(list), "SkinH_EL.dll\n");
    EXPECT_TRUE(SetFileHidden(dir / "SkinH_EL.dll"));
    EXPECT_EQ(ReadBytes(list), "SkinH_EL.dll\n");
    EXPECT_TRUE(IsFileHidden(dir / "SkinH_EL.dll"));
    EXPECT_FALSE(IsFileHidden(dir / "other"));

    // A list written elsewhere may lack its last line end or use CR LF.
    WriteBytes(list, "a\r\nSkinH_EL.dll");
    EXPECT_TRUE(IsFileHidden(dir / "SkinH_EL.dll"));
    EXPECT_TRUE(SetFileHidden(dir / "other"));
    EXPECT_TRUE(SetFileHidden(dir / "folder/"));
    EXPECT_EQ(ReadBytes(list), "a\r\nSkinH_EL.dll\nother\nfolder\n");

    EXPECT_FALSE(SetFileHidden(dir / "missing"));
    EXPECT_FALSE(IsFileHidden(dir / "missing"));
}

// Files written whole are created for their owner only, whatever the umask
// lets through: config.ini holds the remembered password.
TEST(WholeFiles, NewFilesAreTheOwnersOnly) {
    TempDirectory dir;
    const mode_t mask = umask(0);
    ASSERT_TRUE(WritePrivateProfileString("sysuser", "password", "pw", dir / "config.ini"));
    ASSERT_TRUE(ReplaceWholeFile(dir / "SkinH_EL.dll", "image"));
    umask(mask);
    for (const char* name : {"config.ini", "SkinH_EL.dll"}) {
        struct stat info {};
        ASSERT_EQ(stat((dir / name).c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0600u) << name;
    }
}

// A start clears what a killed write left behind: temporary files of the
// names it writes whose process has ended, and nothing else.
TEST(WholeFiles, AbandonedTemporaryFilesOfEndedProcessesAreRemoved) {
    const pid_t child = fork();
    if (child == 0) _exit(0);
    ASSERT_GT(child, 0);
    waitpid(child, nullptr, 0);
    const std::string ended = std::to_string(child);
    const std::string running = std::to_string(getppid());
    const std::string own = std::to_string(getpid());
    struct Case {
        std::string name;
        bool removed;
    };
    const Case cases[] = {
        {".config.ini.tmp" + ended + "-0", true},
        {".SkinH_EL.dll.tmp" + ended + "-12", true},
        {"..hidden.tmp" + ended + "-3", true},
        {".config.ini.tmp" + running + "-0", false},
        {".config.ini.tmp" + own + "-0", false},
        {".notes.txt.tmp" + ended + "-0", false},
        {"config.ini.tmp" + ended + "-0", false},
        {".config.ini.tmp" + ended, false},
        {".config.ini.tmp" + ended + "-0x", false},
        {".config.ini.tmp-" + ended + "-0", false},
        {"config.ini", false},
        {".tallovar-20260101.mdb.tmp" + ended + "-0", true},
        {".tallovar-20260101.mdb.tmp" + ended + "-0-journal", true},
        {".tallovar-20260101.mdb.tmp" + running + "-0-journal", false},
        {".tallovar.mdb.tmp" + ended + "-0", false},
    };
    TempDirectory dir;
    for (const Case& c : cases) WriteBytes(dir / c.name, "x");
    std::filesystem::create_directory(dir / (".config.ini.tmp" + ended + "-7"));

    EXPECT_EQ(RemoveAbandonedReplacements(
                  dir.path.string(), {"config.ini", "SkinH_EL.dll", ".hidden", "tallovar-*.mdb"}),
              5);
    for (const Case& c : cases)
        EXPECT_EQ(!std::filesystem::exists(dir / c.name), c.removed) << c.name;
    EXPECT_TRUE(std::filesystem::is_directory(dir / (".config.ini.tmp" + ended + "-7")));
}

}  // namespace

// A replacement shows under its name only once placed, and only as a whole:
// the old file stays until then, a taken name is kept when asked to, and no
// temporary file stays behind in any case.
TEST(FileReplacement, TheNameHoldsTheOldFileOrTheWholeNewOne) {
    enum class Step { kReplace, kPlaceNew, kLeave };
    struct Case {
        const char* name;
        const char* old;  // nullptr: no file yet
        bool byName;      // written by a library through the temporary name
        unsigned permissions;
        Step step;
        const char* after;  // nullptr: no file
        bool ok;
        unsigned mode;
    };
    const Case cases[] = {
        {"replaces", "old", false, 0600, Step::kReplace, "new", true, 0600},
        {"written by name", nullptr, true, 0600, Step::kReplace, "new", true, 0600},
        {"permissions once placed", "old", true, 0644, Step::kReplace, "new", true, 0644},
        {"new name", nullptr, false, 0600, Step::kPlaceNew, "new", true, 0600},
        {"taken name", "old", false, 0600, Step::kPlaceNew, "old", false, 0},
        {"left unplaced", "old", false, 0600, Step::kLeave, "old", true, 0},
        {"never placed", nullptr, true, 0600, Step::kLeave, nullptr, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDirectory dir;
        const std::string path = dir / "订单.csv";
        if (c.old) WriteBytes(path, c.old);
        Status status;
        {
            FileReplacement file(path);
            ASSERT_TRUE(file.Open(c.permissions).ok());
            struct stat temporary {};
            ASSERT_EQ(stat(file.TemporaryPath().c_str(), &temporary), 0);
            EXPECT_EQ(temporary.st_mode & 07777, 0600u);
            if (c.byName) {
                WriteBytes(file.TemporaryPath(), "new");
            } else {
                ASSERT_TRUE(file.Write("new").ok());
            }
            if (c.step == Step::kReplace) status = file.Replace();
            if (c.step == Step::kPlaceNew) status = file.PlaceNew();
        }
        EXPECT_EQ(status.ok(), c.ok);
        EXPECT_EQ(status.Is(StatusKind::Exists), !c.ok);
        EXPECT_EQ(std::filesystem::exists(path), c.after != nullptr);
        if (c.after) {
            EXPECT_EQ(ReadBytes(path), c.after);
        }
        struct stat info {};
        if (c.mode != 0 && stat(path.c_str(), &info) == 0) {
            EXPECT_EQ(info.st_mode & 07777, c.mode);
        }
        const auto entries = std::distance(std::filesystem::directory_iterator(dir.path), {});
        EXPECT_EQ(entries, c.after ? 1 : 0);
    }
}

TEST(FileReplacement, AFolderThatCannotTakeItSaysWhy) {
    TempDirectory dir;
    FileReplacement file(dir / "missing/订单.csv");
    const Status opened = file.Open();
    EXPECT_FALSE(opened.ok());
    EXPECT_EQ(opened.chinese, "无法写出文件：No such file or directory");
    EXPECT_EQ(opened.english, "cannot write the file: No such file or directory");
}
