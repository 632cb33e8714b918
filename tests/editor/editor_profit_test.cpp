// The profit field follows every change of the three price fields.
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include "common/text_encoding.h"
#include "common/value_text.h"
#include "editor_fixture.h"
#include "ui/editor/content_edit.h"

namespace {

struct ProfitCase {
    const char* sale;
    const char* purchase;
    const char* commission;
    const char* shown;
};

TEST(ComputeProfit, IsSaleMinusPurchasePlusCommissionShownWithSixDigits) {
    const ProfitCase cases[] = {
        {"19.9", "15.8", "", "4.1"},
        {"100", "80", "5.5", "25.5"},
        {"", "", "", "0"},
        {"50", "80", "", "-30"},
        {"abc", "x", "", "0"},
        {"12元", "", "", "12"},
        {"１２", "", "", "12"},
        {"1000000", "", "", "1e+006"},
        {"999999.9", "", "", "1e+006"},
        {"123456.7", "", "", "123457"},
    };
    for (const ProfitCase& c : cases) {
        SCOPED_TRACE(std::string(c.sale) + " " + c.purchase + " " + c.commission);
        const float profit = ComputeProfit(Gbk(c.sale), Gbk(c.purchase), Gbk(c.commission));
        EXPECT_EQ(SingleToText(profit), c.shown);
    }
}

using EditorProfitTest = EditorTest;

TEST_F(EditorProfitTest, TypingTheSalePriceUpdatesTheProfitAtEveryKey) {
    ASSERT_NE(Open("添加", 0), nullptr);
    auto* sale = Control<QLineEdit>("编辑框6");
    std::vector<std::string> shown;
    for (char key : std::string("100")) {
        QTest::keyClicks(sale, QString(QChar(key)));
        shown.push_back(Text("编辑框11"));
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"1", "10", "100"}));
    QTest::keyClick(Control("编辑框9"), Qt::Key_8);
    QTest::keyClicks(Control("编辑框10"), "5.5");
    EXPECT_EQ(Text("编辑框11"), "97.5");
}

TEST_F(EditorProfitTest, EveryChangeRunsTheUpdateExactlyOnce) {
    ASSERT_NE(Open("添加", 0), nullptr);
    auto* sale = Control<ContentEdit>("编辑框6");
    auto* profit = Control<QLineEdit>("编辑框11");
    QSignalSpy changes(sale, &ContentEdit::contentChanged);

    QTest::keyClick(sale, Qt::Key_7);
    EXPECT_EQ(changes.count(), 1);
    SetText("编辑框6", "70");
    EXPECT_EQ(changes.count(), 2);
    // Set to the text it already holds: still one change, handled before the
    // call returns.
    profit->setText("stale");
    SetText("编辑框6", "70");
    EXPECT_EQ(changes.count(), 3);
    EXPECT_EQ(Text("编辑框11"), "70");
}

TEST_F(EditorProfitTest, StoredProfitShowsUntilAPriceChanges) {
    const int id = StoreOrder(SampleOrder());  // 99.5, 60, 3, stored profit 50
    ASSERT_NE(Open("修改", id), nullptr);
    EXPECT_EQ(Text("编辑框11"), "50");
    QTest::keyClick(Control("编辑框10"), Qt::Key_End);
    QTest::keyClick(Control("编辑框10"), Qt::Key_Backspace);
    EXPECT_EQ(Text("编辑框11"), "39.5");
}

TEST_F(EditorProfitTest, ClearingEmptiesTheProfitAndTheDateToo) {
    ASSERT_NE(Open("添加", 0), nullptr);
    SetText("组合框1", "店铺甲");
    SetText("编辑框6", "19.9");
    SetText("编辑框9", "15.8");
    SetText("编辑框1", "备注");
    EXPECT_EQ(Text("编辑框11"), "4.1");
    Click("按钮2");
    EXPECT_TRUE(messages_.empty());
    for (const char* name : {"组合框1", "组合框2", "组合框3", "编辑框1", "编辑框6", "编辑框7",
                             "编辑框9", "编辑框11"}) {
        EXPECT_EQ(Text(name), "") << name;
    }
    EXPECT_EQ(Items("组合框1").size(), 3u);
}

}  // namespace
