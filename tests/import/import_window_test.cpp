// The 从表格导入… window driven as a user drives it: an .xls file sent
// back, a marketplace export recognised, one mapping line changed, the
// preview's verdicts, 导入 and the same file again, and a mapping saved
// under a name offered the next time.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <filesystem>
#include <string>
#include <vector>

#include "app/program_state.h"
#include "common/message_box.h"
#include "common/text_encoding.h"
#include "test_ledger.h"
#include "tests/settings/temp_directory.h"
#include "ui/import/import_window.h"
#include "ui/open_file_dialog.h"
#include "ui/orders/orders_window.h"
#include "window_parts.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

class ImportWindowTest : public testing::Test {
  protected:
    void SetUp() override {
        ResetProgramState();
        SetMessageBoxForTesting([this](const std::string& text, int, const std::string&) {
            messages.push_back(GbkToUtf8(text));
            return kAnswerYes;
        });
        std::filesystem::copy(TALLOVAR_SOURCE_DIR "/exchange/import_presets",
                              ledger.Directory() + "/import_presets");
        ledger.WriteConfig(Gbk("[zhanghaoinfo]\r\nzhanghao=拼店|别店\r\n"));
        WriteBytes(
            ledger.Directory() + "/orders_export.csv",
            "\xEF\xBB\xBF商品,订单号,订单状态,用户实付金额(元),快递单号,快递公司,订单成交时间\n"
            "\"\t杯子\",\"\tP-1\",\"\t已发货\",\"\t18.50\",\"\tYT1\",\"\t圆通快递\","
            "\"\t2026-11-02 10:00:00\"\n"
            "\"\t杯子\",\"\tP-1\",\"\t已发货\",\"\t18.50\",\"\tYT1\",\"\t圆通快递\","
            "\"\t2026-11-02 10:00:00\"\n"
            "\"\t碗\",\"\tP-2\",\"\t待发货\",\"\t面议\",,,\"\t2026-11-03 10:00:00\"\n");
    }
    void TearDown() override {
        CloseAllWindows();
        SetMessageBoxForTesting({});
        SetOpenFileDialogForTesting({});
    }

    QWidget* Open() {
        OpenMainWindow();
        Named<QAction>(MainWindow(), "从表格导入…")->trigger();
        window = TopLevel<ImportWindow>();
        return window;
    }
    void Choose(const std::string& name) {
        const QString path = QString::fromStdString(ledger.Directory() + "/" + name);
        SetOpenFileDialogForTesting([path] { return path; });
        Click("选择文件按钮");
    }
    void Click(const char* button) { Named<QPushButton>(window, button)->click(); }
    QComboBox* Line(const char* column) {
        auto* table = Named<QTableWidget>(window, "映射表");
        for (int row = 0; row < table->rowCount(); ++row) {
            if (table->item(row, 0)->text() == QString::fromUtf8(column)) {
                return static_cast<QComboBox*>(table->cellWidget(row, 1));
            }
        }
        return nullptr;
    }
    std::vector<std::string> Verdicts() {
        auto* table = Named<QTableWidget>(window, "预览列表");
        std::vector<std::string> verdicts;
        for (int row = 0; row < table->rowCount(); ++row) {
            verdicts.push_back(table->item(row, 1)->text().left(5).toStdString());
        }
        return verdicts;
    }

    TestLedger ledger;
    QWidget* window = nullptr;
    std::vector<std::string> messages;
};

TEST_F(ImportWindowTest, AMarketplaceExportIsPreviewedImportedOnceAndItsMappingSaved) {
    ASSERT_NE(Open(), nullptr);
    WriteBytes(ledger.Directory() + "/old.xls", "\xD0\xCF\x11\xE0");
    Choose("old.xls");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("请在表格程序中另存为 .xlsx 或 .csv 后再导入"), std::string::npos)
        << messages[0];

    Choose("orders_export.csv");
    EXPECT_EQ(Named<QComboBox>(window, "映射")->currentText().toStdString(), "拼多多");
    EXPECT_EQ(Line("运单号")->currentText().toStdString(), "快递单号");
    Line("备注")->setEditText(QStringLiteral("\"拼多多\" + 订单状态"));
    QComboBox* account = Line("卖家账号");
    ASSERT_GE(account->findText(QStringLiteral("\"拼店\"")), 0) << "the pick list's accounts";
    account->setCurrentIndex(account->findText(QStringLiteral("\"拼店\"")));
    Click("预览按钮");
    EXPECT_EQ(Verdicts(), (std::vector<std::string>{"新订单", "本文件重复", "无法导入："}));
    EXPECT_EQ(ledger.Rows("select count(*) from 订单列表"), Rows{{"0"}}) << "nothing stored yet";

    messages.clear();
    Click("导入按钮");
    ASSERT_EQ(messages.size(), 2u) << "the refused row asked about, then the count";
    EXPECT_EQ(messages.back(), "已导入 1 张订单；在主窗口点“查询”可看到。");
    const Rows stored = {
        {"拼店", "P-1", "圆通快递", "YT1", "2026-11-2", "杯子", "18.50", "拼多多 已发货"}};
    const char* read =
        "select 卖家账号,订单号,快递公司,运单号,订单日期,商品名称,售价,备注 from 订单列表";
    EXPECT_EQ(ledger.Rows(read), stored);
    Click("导入按钮");
    EXPECT_EQ(messages.back(), "已导入 0 张订单；在主窗口点“查询”可看到。");
    EXPECT_EQ(ledger.Rows(read), stored);

    Click("保存映射按钮");
    EXPECT_EQ(messages.back(), "“拼多多”是预设的名称，请为这个映射另起一个名称。");
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::u8path(ledger.Directory() + "/导入映射")))
        << "saved under a preset's name, it would never be chosen";
    Named<QLineEdit>(window, "映射名称")->setText(QStringLiteral("我的拼多多"));
    Click("保存映射按钮");
    EXPECT_TRUE(std::filesystem::is_regular_file(
        std::filesystem::u8path(ledger.Directory() + "/导入映射/我的拼多多.txt")));
    CloseAllWindows();
    ASSERT_NE(Open(), nullptr);
    auto* mappings = Named<QComboBox>(window, "映射");
    ASSERT_GE(mappings->findText(QStringLiteral("我的拼多多")), 0);
    Choose("orders_export.csv");
    mappings->setCurrentIndex(mappings->findText(QStringLiteral("我的拼多多")));
    emit mappings->activated(mappings->currentIndex());
    EXPECT_EQ(Line("备注")->currentText().toStdString(), "\"拼多多\" + 订单状态");
}

}  // namespace
