#include <gtest/gtest.h>

#include <filesystem>

#include "platform/files.h"
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

}  // namespace
