#include <gtest/gtest.h>
#include <unistd.h>

#include "common/text_encoding.h"
#include "platform/files.h"
#include "store/settings.h"
#include "temp_directory.h"

namespace {

using Pieces = std::vector<std::string>;

TEST(SplitList, Pieces) {
    // A GBK character whose second byte is '|' (0x7C).
    const std::string trailBar = Gbk("皘");
    ASSERT_EQ(trailBar, "\xB0\x7C");
    const struct {
        std::string value, delimiter;
        Pieces pieces;
    } cases[] = {
        {"", "|", {}},
        {"a", "|", {"a"}},
        {"a|b|", "|", {"a", "b"}},
        {"|a", "|", {"", "a"}},
        {"a||b", "|", {"a", "", "b"}},
        {"|", "|", {""}},
        {"x|y#z", "#", {"x|y", "z"}},
        {" a | b ", "|", {" a ", " b "}},
        {trailBar + "|b", "|", {trailBar, "b"}},
        {"a" + trailBar + trailBar, "|", {"a" + trailBar + trailBar}},
        {"a<>b<>", "<>", {"a", "b"}},
        {"a" + Gbk("、") + "b", Gbk("、"), {"a", "b"}},
        {"ab\xB0", "|", {"ab\xB0"}},  // a first byte cut off at the end
        {"ab", "", {"ab"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("value '" + c.value + "' at '" + c.delimiter + "'");
        EXPECT_EQ(SplitList(c.value, c.delimiter), c.pieces);
    }
}

class SettingsFile : public testing::Test {
  protected:
    void SetUp() override { SetProgramDirectoryForTesting(dir.path.string()); }
    void TearDown() override { SetProgramDirectoryForTesting(""); }
    TempDirectory dir;
};

TEST_F(SettingsFile, LivesInTheProgramDirectoryWhateverTheCurrentOne) {
    EXPECT_EQ(SettingsPath(), dir / "config.ini");
    const std::string before = CurrentDirectory();
    TempDirectory elsewhere;
    ASSERT_EQ(chdir(elsewhere.path.c_str()), 0);
    WriteSetting("sysuser", "username", Gbk("张三"), SettingsPath());
    WriteSetting("sysuser", "password", "p", SettingsPath());
    ASSERT_EQ(chdir(before.c_str()), 0);
    EXPECT_EQ(ReadBytes(dir / "config.ini"),
              "[sysuser]\r\nusername=" + Gbk("张三") + "\r\npassword=p\r\n");
    EXPECT_EQ(ReadSetting(SettingsPath(), "sysuser", "username"), Gbk("张三"));
    EXPECT_EQ(ReadSetting(SettingsPath(), "sysuser", "password"), "p");
}

TEST_F(SettingsFile, LeadingControlBytesAreSkipped) {
    WriteBytes(dir / "config.ini", "[sysuser]\r\nusername=u\r\n");
    const std::string path = SettingsPath();
    const struct {
        std::string path, section, key, value;
    } cases[] = {
        {path, "sysuser", "username", "u"},
        {" \t" + path, "\x01 sysuser", "\x1f\x20username", "u"},
        {" \t", "sysuser", "username", ""},
        {path, " \r\n", "username", ""},
        {path, "sysuser", "", ""},
        // Only leading bytes go: a trailing control byte is part of the name.
        {path, "sysuser", "username\x01", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadSetting(c.path, c.section, c.key), c.value);
    }
}

TEST_F(SettingsFile, LongValueCutTo10239Bytes) {
    const std::string list(20000, 'a');
    WriteBytes(dir / "config.ini", "[zhanghaoinfo]\r\nzhanghao=" + list + "\r\n");
    EXPECT_EQ(ReadSetting(SettingsPath(), "zhanghaoinfo", "zhanghao"), list.substr(0, 10239));
}

}  // namespace
