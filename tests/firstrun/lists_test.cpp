// tallovar-admin lists, run as a user runs it on the config.ini beside a
// copy of the tool: Chinese texts go in and come back as the program reads
// them, lines the program does not know stay, refusals change nothing. And
// setup, which opens its window only when there is no ledger to start with.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/text_encoding.h"
#include "store/settings.h"
#include "tests/admin/admin_run.h"
#include "tests/settings/temp_directory.h"

namespace fs = std::filesystem;

namespace {

const std::string kConfig =
    Gbk("; 备注\r\n[sysuser]\r\nusername=老板\r\n[zhanghaoinfo]\r\nzhanghao=旧店|店铺甲\r\n"
        "[其他]\r\n键 = 值\r\n");

class ListsTest : public testing::Test {
  protected:
    void SetUp() override {
        fs::copy_file(TALLOVAR_BINARY_DIR "/tallovar-admin", folder_ / "tallovar-admin");
        WriteBytes(Config(), kConfig);
    }
    std::string Config() const { return folder_ / "config.ini"; }
    AdminRun Lists(const std::string& arguments) const {
        return RunShell("'" + (folder_ / "tallovar-admin") + "' lists " + arguments);
    }
    // The list as the program reads it (UTF-8 items).
    std::vector<std::string> Program(const char* section, const char* key, const char* by) const {
        std::vector<std::string> items;
        for (const std::string& item : SplitList(ReadSetting(Gbk(Config()), section, key), by)) {
            items.push_back(GbkToUtf8(item));
        }
        return items;
    }

    TempDirectory folder_;
};

using Items = std::vector<std::string>;

TEST_F(ListsTest, ChangesReachTheProgramAndKeepTheRestOfTheFile) {
    struct Step {
        const char* arguments;
        Items sellers, companies;
    };
    const std::vector<Step> steps = {
        {"add 卖家账号 '店铺 乙' 店铺甲", {"旧店", "店铺甲", "店铺 乙"}, {}},
        {"add express 顺丰 'x|y'", {"旧店", "店铺甲", "店铺 乙"}, {"顺丰", "x|y"}},
        {"remove seller 旧店", {"店铺甲", "店铺 乙"}, {"顺丰", "x|y"}},
        {"set 快递公司 中通 '\"韵达\"'", {"店铺甲", "店铺 乙"}, {"中通", "\"韵达\""}},
        {"set 卖家账号", {}, {"中通", "\"韵达\""}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.arguments);
        const AdminRun run = Lists(step.arguments);
        EXPECT_EQ(run.exitCode, 0) << run.output;
        EXPECT_EQ(Program("zhanghaoinfo", "zhanghao", "|"), step.sellers);
        EXPECT_EQ(Program("kuaidiinfo", "kuaidi", "#"), step.companies);
    }
    const AdminRun shown = Lists("show");
    EXPECT_NE(shown.output.find("快递公司 (express)：2\n  中通\n  \"韵达\"\n"), std::string::npos)
        << shown.output;
    const std::string config = ReadBytes(Config());
    for (const char* kept : {"; 备注\r\n[sysuser]\r\nusername=老板\r\n", "[其他]\r\n键 = 值\r\n"}) {
        EXPECT_NE(config.find(Gbk(kept)), std::string::npos) << kept;
    }
}

TEST_F(ListsTest, RefusesWhatTheProgramCouldNotReadBackAndChangesNothing) {
    struct Refusal {
        const char* arguments;
        const char* told;
        int exitCode;
    };
    const std::vector<Refusal> refusals = {
        {"add 卖家账号 新店 'a|b'", "含有分隔符“|”", 1},
        {"set 快递公司 '顺丰#中通'", "含有分隔符“#”", 1},
        {"add seller 😀", "GBK 编码没有的字符", 1},
        {"add seller ''", "项目不能为空", 1},
        {"add seller \"$(printf 'a\\tb')\"", "控制字符", 1},
        {"remove seller 不存在", "列表中没有“不存在”", 1},
        {"add seller \"$(head -c 10240 /dev/zero | tr '\\0' a)\"", "太长", 1},
        {"add 购买账号 x", "usage", 2},
        {"add seller", "usage", 2},
    };
    for (const Refusal& refusal : refusals) {
        SCOPED_TRACE(refusal.arguments);
        const AdminRun run = Lists(refusal.arguments);
        EXPECT_EQ(run.exitCode, refusal.exitCode);
        EXPECT_TRUE(Mentions(run, refusal.told)) << run.output;
        EXPECT_EQ(ReadBytes(Config()), kConfig);
    }
}

// setup opens its window only where the program could not start.
using SetupTest = ListsTest;

TEST_F(SetupTest, OpensNoWindowWhereTheProgramCanStartOrNoDesktopIsThere) {
    struct Case {
        std::string config, ledger, environment;
        int exitCode;
        const char* told;
    };
    const std::string ledgerFolder = folder_ / "账本";
    const std::vector<Case> cases = {
        {kConfig, "ledger", "", 0, "已有账本"},
        {kConfig + Gbk("[数据库]\r\n连接=DSN=团队\r\n"), "", "", 0, "已配置团队账本"},
        {kConfig, "", "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ", 1, "没有图形桌面"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.told);
        fs::create_directories(ledgerFolder);
        WriteBytes(Config(), c.config);
        if (!c.ledger.empty()) WriteBytes(ledgerFolder + "/tallovar.mdb", c.ledger);
        // A window would wait for a user: the time limit ends it as a failure.
        const AdminRun run =
            RunShell("timeout 30 " + c.environment + "'" + (folder_ / "tallovar-admin") +
                     "' setup '" + ledgerFolder + "'");
        EXPECT_EQ(run.exitCode, c.exitCode) << run.output;
        EXPECT_TRUE(Mentions(run, c.told)) << run.output;
        EXPECT_EQ(ReadBytes(ledgerFolder + "/tallovar.mdb"), c.ledger);
        fs::remove_all(ledgerFolder);
    }
}

}  // namespace
