#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>

#include "common/text_encoding.h"
#include "platform/private_profile.h"
#include "temp_directory.h"

namespace {

constexpr std::size_t kBuffer = 10240;
const std::string kBom = "\xEF\xBB\xBF";

struct WriteCase {
    const char* what;
    std::string before;  // "-" for no file
    std::string section, key, value;
    std::string after;
};

TEST(PrivateProfileWrite, FileBytesAfterWrite) {
    const std::string zhang = Gbk("张三");
    const std::string trailBracket = "\x81\x5D";  // a GBK character ending in ']'
    const WriteCase cases[] = {
        {"creates a missing file", "-", "sysuser", "username", "u", "[sysuser]\r\nusername=u\r\n"},
        {"GBK value stored as its bytes", "-", "sysuser", "username", zhang,
         "[sysuser]\r\nusername=" + zhang + "\r\n"},
        {"replaces in place, other lines untouched", "; note\n[S]\n  K = old \nother = 1 \r\n", "s",
         "k", "new", "; note\n[S]\nk=new\r\nother = 1 \r\n"},
        {"names match ignoring case", "[SysUser]\r\nUserName=a\r\n", "sysuser", "username", "b",
         "[SysUser]\r\nusername=b\r\n"},
        {"new key after the last non-blank line of its section", "[a]\r\nx=1\r\n\r\n[b]\r\ny=2\r\n",
         "a", "z", "3", "[a]\r\nx=1\r\nz=3\r\n\r\n[b]\r\ny=2\r\n"},
        {"new key in a section that is only a header", "[a]", "a", "k", "v", "[a]\r\nk=v\r\n"},
        {"new key after a last line without line end", "[a]\nx=1", "a", "z", "3",
         "[a]\nx=1\r\nz=3\r\n"},
        {"new section at the end, apart by a blank line", "[a]\r\nx=1", "b", "y", "2",
         "[a]\r\nx=1\r\n\r\n[b]\r\ny=2\r\n"},
        {"no second blank line before a new section", "[a]\r\nx=1\r\n\r\n", "b", "y", "2",
         "[a]\r\nx=1\r\n\r\n[b]\r\ny=2\r\n"},
        {"lines ending in CR alone", "[a]\rx=1\r[b]\ry=2\r", "b", "y", "9",
         "[a]\rx=1\r[b]\ry=9\r\n"},
        {"a comment is no key", "[a]\r\n;k=1\r\n", "a", "k", "2", "[a]\r\n;k=1\r\nk=2\r\n"},
        {"entries before any section belong to none", "k=1\r\n", "a", "k", "2",
         "k=1\r\n\r\n[a]\r\nk=2\r\n"},
        {"the first of two equal keys is replaced", "[a]\r\nk=1\r\nk=2\r\n", "a", "k", "3",
         "[a]\r\nk=3\r\nk=2\r\n"},
        {"a key without '=' is replaced", "[a]\r\nk\r\n", "a", "k", "1", "[a]\r\nk=1\r\n"},
        {"section name with a GBK byte like ']'", "[" + trailBracket + "]\r\nk=1\r\n", trailBracket,
         "k", "2", "[" + trailBracket + "]\r\nk=2\r\n"},
        {"GBK second bytes are not case-folded", "[a]\r\n\x81\x61=1\r\n", "a", "\x81\x41", "2",
         "[a]\r\n\x81\x61=1\r\n\x81\x41=2\r\n"},
        {"blanks at the ends of a value are kept by quotes", "-", "a", "k", " p ",
         "[a]\r\nk=\" p \"\r\n"},
        {"a quoted value keeps its quotes", "-", "a", "k", "'q'", "[a]\r\nk=\"'q'\"\r\n"},
        {"a lone quote needs no quotes", "-", "a", "k", "\"x", "[a]\r\nk=\"x\r\n"},
        {"empty value", "[a]\r\nk=1\r\n", "a", "k", "", "[a]\r\nk=\r\n"},
        {"the byte order mark stays, the line is UTF-8", kBom + "[a]\r\nk=1\r\n", "a", "k", zhang,
         kBom + "[a]\r\nk=张三\r\n"},
        {"a byte order mark alone", kBom, "a", "k", "v", kBom + "[a]\r\nk=v\r\n"},
        {"UTF-8 without the mark stays UTF-8 without it", "[店铺]\r\n名称=一|二\r\n", "a", "k",
         zhang, "[店铺]\r\n名称=一|二\r\n\r\n[a]\r\nk=张三\r\n"},
        {"an ASCII file takes GBK", "[a]\r\nk=1\r\n", "a", "k", zhang,
         "[a]\r\nk=" + zhang + "\r\n"},
    };
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(c.what);
        TempDirectory dir;
        const std::string path = dir / "config.ini";
        if (c.before != "-") WriteBytes(path, c.before);
        EXPECT_TRUE(WritePrivateProfileString(c.section, c.key, c.value, path));
        EXPECT_EQ(ReadBytes(path), c.after);
        EXPECT_EQ(GetPrivateProfileString(c.section, c.key, path, kBuffer), c.value);
    }
}

struct ReadCase {
    const char* what;
    std::string file;  // "-" for no file
    std::string section, key;
    std::string value;
};

TEST(PrivateProfileRead, ValuesFound) {
    const ReadCase cases[] = {
        {"missing file", "-", "a", "k", ""},
        {"missing section", "[b]\r\nk=1\r\n", "a", "k", ""},
        {"missing key", "[a]\r\nj=1\r\n", "a", "k", ""},
        {"key of the next section", "[a]\r\n[b]\r\nk=1\r\n", "a", "k", ""},
        {"blanks around names and value", "[ a ]\r\n \tK\t=  v  w \t\r\n", "A", "k", "v  w"},
        {"double quotes", "[a]\r\nk=  \" v \"  \r\n", "a", "k", " v "},
        {"single quotes", "[a]\r\nk='v'\r\n", "a", "k", "v"},
        {"quotes that do not pair", "[a]\r\nk=\"v'\r\n", "a", "k", "\"v'"},
        {"a lone quote", "[a]\r\nk=\"\r\n", "a", "k", "\""},
        {"empty quotes", "[a]\r\nk=\"\"\r\n", "a", "k", ""},
        {"'=' inside the value", "[a]\r\nk=x=y\r\n", "a", "k", "x=y"},
        {"LF line ends", "[a]\nj=0\nk=1\n", "a", "k", "1"},
        {"CR line ends", "[a]\rj=0\rk=1", "a", "k", "1"},
        {"key without '='", "[a]\r\nk\r\n", "a", "k", ""},
        {"header without ']'", "[a\r\nk=1\r\n", "a", "k", "1"},
        {"value cut at a NUL byte", std::string("[a]\r\nk=x\0y\r\n", 12), "a", "k", "x"},
        {"byte order mark, UTF-8 names and value", kBom + "[账号]\r\n名称=张三|李四\r\n",
         Gbk("账号"), Gbk("名称"), Gbk("张三|李四")},
        {"UTF-8 without the mark, as a Linux editor saves it", "[账号]\n名称=店铺一|店铺二\n",
         Gbk("账号"), Gbk("名称"), Gbk("店铺一|店铺二")},
        {"GBK file", Gbk("[账号]\r\n名称=店铺一|店铺二\r\n"), Gbk("账号"), Gbk("名称"),
         Gbk("店铺一|店铺二")},
        {"one byte that is no UTF-8 makes the file GBK", "[a]\r\nk=张\r\nx=\xB5\xEA\r\n", "a", "k",
         "张"},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.what);
        TempDirectory dir;
        const std::string path = dir / "config.ini";
        if (c.file != "-") WriteBytes(path, c.file);
        EXPECT_EQ(GetPrivateProfileString(c.section, c.key, path, kBuffer), c.value);
    }
}

TEST(PrivateProfileRead, ValueCutToBufferLessOne) {
    TempDirectory dir;
    const std::string path = dir / "config.ini";
    WriteBytes(path, "[a]\r\nk=abcdefg\r\n");
    EXPECT_EQ(GetPrivateProfileString("a", "k", path, 5), "abcd");
    EXPECT_EQ(GetPrivateProfileString("a", "k", path, 1), "");
    EXPECT_EQ(GetPrivateProfileString("a", "k", path, 0), "");
}

TEST(PrivateProfileWrite, RefusedWritesLeaveTheFile) {
    TempDirectory dir;
    const std::string path = dir / "config.ini";
    const std::string before = "[a]\r\nk=1\r\n";
    WriteBytes(path, before);
    const struct {
        std::string section, key, value;
    } refused[] = {
        {"", "k", "v"},
        {" ", "k", "v"},
        {"a", "", "v"},
        {"a", "k", "v\r\nx=1"},
        {"a", "k\n", "v"},
        {"a]", "k", "v"},
        {"a", "k=j", "v"},
        {"a", ";k", "v"},
        {"a", "k", std::string("v\0w", 3)},
        // Half a character before the closing bracket would swallow it.
        {"a\xB5", "k", "v"},
    };
    for (const auto& r : refused) {
        EXPECT_FALSE(WritePrivateProfileString(r.section, r.key, r.value, path));
    }
    // A file kept in UTF-8 takes no text that UTF-8 cannot say: "K\xA3"
    // would lose its half character and become the key K.
    const std::string utf8 = "\xEF\xBB\xBF[a]\r\nk=1\r\n";
    WriteBytes(path, utf8);
    EXPECT_FALSE(WritePrivateProfileString("a", "K\xA3", "2", path));
    EXPECT_FALSE(WritePrivateProfileString("a", "k", "\xFF", path));
    EXPECT_EQ(ReadBytes(path), utf8);
    WriteBytes(path, before);
    EXPECT_FALSE(WritePrivateProfileString("a", "k", "v", ""));
    EXPECT_FALSE(WritePrivateProfileString("a", "k", "v", dir / "missing/config.ini"));
    EXPECT_EQ(ReadBytes(path), before);
}

TEST(PrivateProfileWrite, ReplacesAtomicallyKeepingModeAndLinks) {
    TempDirectory dir;
    const std::string real = dir / "real.ini";
    const std::string link = dir / "config.ini";
    WriteBytes(real, "[a]\r\nk=1\r\n");
    chmod(real.c_str(), 0640);
    std::filesystem::create_symlink(real, link);

    ASSERT_TRUE(WritePrivateProfileString("a", "k", "2", link));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadBytes(real), "[a]\r\nk=2\r\n");
    struct stat info {};
    stat(real.c_str(), &info);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    // No temporary file stays beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path), {}), 2);
}

TEST(PrivateProfileRobustness, OddFilesNeverBreakReadsOrWrites) {
    TempDirectory dir;
    const std::string folder = dir / "config.ini";
    std::filesystem::create_directory(folder);
    EXPECT_EQ(GetPrivateProfileString("a", "k", folder, kBuffer), "");
    EXPECT_FALSE(WritePrivateProfileString("a", "k", "v", folder));
    EXPECT_TRUE(std::filesystem::is_directory(folder));

    const std::string pipe = dir / "pipe.ini";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(GetPrivateProfileString("a", "k", pipe, kBuffer), "");  // must not wait
    EXPECT_FALSE(WritePrivateProfileString("a", "k", "v", pipe));

    // Far larger than any settings file: empty to read, not rewritten.
    const std::string huge = dir / "huge.ini";
    WriteBytes(huge, "[a]\r\nk=1\r\n");
    std::filesystem::resize_file(huge, 100u << 20);
    EXPECT_EQ(GetPrivateProfileString("a", "k", huge, kBuffer), "");
    EXPECT_FALSE(WritePrivateProfileString("a", "k", "2", huge));
    EXPECT_EQ(std::filesystem::file_size(huge), 100u << 20);

    // Random bytes with NULs and lone CRs: a write appends and keeps them all.
    std::mt19937 random(7);
    std::string binary(1 << 20, '\0');
    for (char& byte : binary) byte = static_cast<char>(random());
    const std::string binaryPath = dir / "binary.ini";
    WriteBytes(binaryPath, binary);
    GetPrivateProfileString("a", "k", binaryPath, kBuffer);
    ASSERT_TRUE(WritePrivateProfileString("tallovar", "k", "v", binaryPath));
    EXPECT_EQ(ReadBytes(binaryPath).substr(0, binary.size()), binary);
    EXPECT_EQ(GetPrivateProfileString("tallovar", "k", binaryPath, kBuffer), "v");
}

// Whatever the file holds, a value written reads back as it was, and writing
// it again leaves the file as it is.
TEST(PrivateProfileRobustness, WrittenValuesReadBackFromAnyFile) {
    const std::string fileParts[] = {"[", "]",    "a",        "A",  "k",      "K",    "=",
                                     ";", " ",    "\t",       "\r", "\n",     "\r\n", "\"",
                                     "'", "\x81", "\x81\x5D", "x",  "[a]\r\n"};
    const std::string valueParts[] = {" ", "\"", "'", "v",       "=",
                                      ";", "[",  "]", Gbk("张"), "\xB0\x7C"};
    const std::string sections[] = {"a", "A", " a"};
    const std::string keys[] = {"k", "K", "k "};
    std::mt19937 random(11);
    TempDirectory dir;
    const std::string path = dir / "config.ini";
    for (int round = 0; round < 200; ++round) {
        std::string file;
        for (int i = random() % 30; i > 0; --i) file += fileParts[random() % std::size(fileParts)];
        std::string value;
        for (int i = random() % 5; i > 0; --i)
            value += valueParts[random() % std::size(valueParts)];
        const std::string& section = sections[random() % std::size(sections)];
        const std::string& key = keys[random() % std::size(keys)];
        WriteBytes(path, file);
        SCOPED_TRACE("file '" + file + "' value '" + value + "'");
        ASSERT_TRUE(WritePrivateProfileString(section, key, value, path));
        EXPECT_EQ(GetPrivateProfileString(section, key, path, kBuffer), value);
        // Writing the same again changes nothing.
        const std::string once = ReadBytes(path);
        ASSERT_TRUE(WritePrivateProfileString(section, key, value, path));
        EXPECT_EQ(ReadBytes(path), once);
    }
}

// Some GBK texts are valid UTF-8 too; the file they are written into must
// still give them back, whatever it held before.
TEST(PrivateProfileWrite, GbkTextsThatLookLikeUtf8ReadBackTheSame) {
    const std::string value = Gbk("鸢啊");  // F0 B0 B0 A1: also one UTF-8 character
    TempDirectory dir;
    const std::string path = dir / "config.ini";
    for (const std::string& file :
         {std::string(), std::string("[a]\r\nk=x\r\n"), "[a]\r\nold=" + Gbk("张") + "\r\n"}) {
        WriteBytes(path, file);
        SCOPED_TRACE("file '" + file + "'");
        ASSERT_TRUE(WritePrivateProfileString("a", "k", value, path));
        EXPECT_EQ(GetPrivateProfileString("a", "k", path, kBuffer), value);
        if (file.find("old=") != std::string::npos) {
            EXPECT_EQ(GetPrivateProfileString("a", "old", path, kBuffer), Gbk("张"));
        }
    }
}

// 200,000 sections (4 MB) take well under a second on an idle machine; work
// growing with the square of the lines would not end in the test's time.
TEST(PrivateProfileRobustness, TwoHundredThousandSections) {
    TempDirectory dir;
    const std::string path = dir / "config.ini";
    std::string file;
    for (int i = 0; i < 200000; ++i) {
        file += "[s" + std::to_string(i) + "]\r\nk=" + std::to_string(i) + "\r\n";
    }
    WriteBytes(path, file);
    EXPECT_EQ(GetPrivateProfileString("S199999", "K", path, kBuffer), "199999");
    ASSERT_TRUE(WritePrivateProfileString("s199999", "j", "x", path));
    ASSERT_TRUE(WritePrivateProfileString("new", "k", "y", path));
    EXPECT_EQ(ReadBytes(path), file + "j=x\r\n\r\n[new]\r\nk=y\r\n");
}

}  // namespace
