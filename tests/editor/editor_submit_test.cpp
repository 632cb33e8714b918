// Storing through the editor's buttons: the statements as sent, the messages,
// what the ledger holds afterwards, and what a failed store leaves behind.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QTest>

#include "common/message_box.h"
#include "common/text_encoding.h"
#include "editor_fixture.h"

namespace {

const char* const kFields[] = {"组合框1", "编辑框5",  "组合框2",  "编辑框2", "编辑框7",
                               "编辑框3", "组合框3",  "编辑框4",  "编辑框8", "编辑框6",
                               "编辑框9", "编辑框10", "编辑框11", "编辑框1"};

const std::string kInsert =
    "insert into 订单列表(卖家账号,订单号,快递公司,运单号,订单日期,商品名称,购买账号,购买订单号,"
    "收货信息,售价,进价,佣金,利润,备注) values('";

using EditorSubmitTest = EditorTest;

TEST_F(EditorSubmitTest, AddStoresTheOrderThenEmptiesTheFormAndStaysOpen) {
    ASSERT_NE(Open("添加", 0), nullptr);
    const OrderRow typed = {"店铺甲", "A1",   "顺丰", "SF1", "2015-1-9", "O'Neil 外套", "店铺乙",
                            "B2",     "北京", "100",  "80",  "5.5",      "25.5",        "备注"};
    for (std::size_t i = 0; i < typed.size(); ++i) {
        if (std::string(kFields[i]) != "编辑框11") SetText(kFields[i], typed[i]);
    }
    Click("按钮1");

    EXPECT_EQ(Sent("insert"),
              std::vector<std::string>{
                  kInsert + "店铺甲','A1','顺丰','SF1','2015-1-9','O''Neil 外套','店铺乙',"
                            "'B2','北京','100','80','5.5','25.5','备注')"});
    ASSERT_EQ(messages_.size(), 2u);
    EXPECT_EQ(messages_[0].text, "确定提交吗？");
    EXPECT_EQ(messages_[0].title, "提示");
    EXPECT_EQ(messages_[0].flags & 0xF, 4);
    EXPECT_EQ(messages_[1].text, "添加成功");
    EXPECT_EQ(messages_[1].title, "信息：");
    EXPECT_EQ(StoredOrder(1), typed);

    EXPECT_EQ(FindEditor(), editor_);
    EXPECT_EQ(editor_->windowTitle().toStdString(), "添加订单");
    for (const char* name : kFields) EXPECT_EQ(Text(name), "") << name;
    EXPECT_EQ(Items("组合框3").size(), 3u);
}

TEST_F(EditorSubmitTest, DropDownsStoreWhatIsTypedAndOnlyAChoiceTakesAnItem) {
    ledger_->WriteConfig(
        Gbk("[zhanghaoinfo]\r\nzhanghao=店铺甲乙|ABCshop|1|2|3|4|5|6|7|8|9|10\r\n"
            "[kuaidiinfo]\r\nkuaidi=顺丰速运\r\n"));
    ASSERT_NE(Open("添加", 0), nullptr);
    QApplication::setActiveWindow(editor_);
    // Typed key by key as an input method does, then Enter; the completion
    // would follow the focus.
    for (auto [name, typed] : {std::pair{"组合框1", "abc"}, {"组合框2", "顺丰"}}) {
        auto* combo = Control<QComboBox>(name);
        combo->setFocus();
        for (QChar key : QString::fromUtf8(typed)) {
            QTest::sendKeyEvent(QTest::Click, combo, Qt::Key_unknown, key, Qt::NoModifier);
        }
        QTest::keyClick(combo, Qt::Key_Return);
    }
    // The first item of a long list chosen with the mouse.
    QAbstractItemView* list = Control<QComboBox>("组合框3")->view();
    Control<QComboBox>("组合框3")->showPopup();
    EXPECT_EQ(list->window()->height(), 160);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(0, 0)).center());
    Click("按钮1");
    const OrderRow stored = StoredOrder(1);
    EXPECT_EQ(stored[0], "abc");
    EXPECT_EQ(stored[2], "顺丰");
    EXPECT_EQ(stored[6], "店铺甲乙");
}

TEST_F(EditorSubmitTest, AddWithEveryFieldEmptySendsFourteenEmptyTexts) {
    ASSERT_NE(Open("添加", 0), nullptr);
    Click("按钮2");
    Click("按钮1");
    EXPECT_EQ(Sent("insert"),
              std::vector<std::string>{kInsert + "','','','','','','','','','','','','','')"});
    EXPECT_EQ(messages_.back().text, "添加成功");
}

TEST_F(EditorSubmitTest, AnsweringNoStoresNothingAndKeepsTheFields) {
    const int id = StoreOrder(SampleOrder());
    for (const auto& [mode, button] :
         std::vector<std::pair<std::string, std::string>>{{"添加", "按钮1"}, {"修改", "按钮3"}}) {
        SCOPED_TRACE(mode);
        ASSERT_NE(Open(mode, id), nullptr);
        SetText("编辑框3", "新商品");
        messages_.clear();
        answers_.push_back(kAnswerNo);
        Click(button);
        EXPECT_EQ(messages_.size(), 1u);
        EXPECT_EQ(Text("编辑框3"), "新商品");
        EXPECT_EQ(FindEditor(), editor_);
        editor_->close();
        DeleteClosedWindows();
    }
    EXPECT_TRUE(Sent("insert").empty());
    EXPECT_TRUE(Sent("update").empty());
    EXPECT_EQ(StoredOrder(id), SampleOrder());
}

TEST_F(EditorSubmitTest, ModifyWritesEveryColumnBackAndCloses) {
    OrderRow stored = SampleOrder();
    stored[2] = stored[3] = "";  // not shipped
    const int id = StoreOrder(stored);
    ASSERT_NE(Open("修改", id), nullptr);
    SetText("编辑框3", "O'Neil 外套");
    SetText("编辑框6", "120");
    Click("按钮3");

    EXPECT_EQ(
        Sent("update"),
        std::vector<std::string>{
            "update 订单列表 set 卖家账号='店铺甲',订单号='T1001',快递公司='',运单号='',"
            "订单日期='2014-12-3',商品名称='O''Neil 外套',购买账号='店铺乙',购买订单号='B2002',"
            "收货信息='北京某路1号',售价='120',进价='60',佣金='3',利润='63',备注='老客户' "
            "where id=" +
            std::to_string(id)});
    ASSERT_EQ(messages_.size(), 2u);
    EXPECT_EQ(messages_[0].text, "确定修改吗？");
    EXPECT_EQ(messages_[0].title, "提示");
    EXPECT_EQ(messages_[1].text, "修改成功！");
    DeleteClosedWindows();
    EXPECT_EQ(FindEditor(), nullptr);

    OrderRow expected = stored;
    expected[5] = "O'Neil 外套";
    expected[9] = "120";
    expected[12] = "63";
    EXPECT_EQ(StoredOrder(id), expected);
    // And back into the editor exactly as typed.
    ASSERT_NE(Open("查看", id), nullptr);
    EXPECT_EQ(Text("编辑框3"), "O'Neil 外套");
}

TEST_F(EditorSubmitTest, ShippingStoresCompanyOrMarkerAndTheShippingDate) {
    struct Case {
        const char* company;
        const char* waybill;
        const char* storedCompany;
        const char* storedWaybill;
    };
    for (const Case& c : {Case{"", "YT123", "已发货", "已发货"}, Case{"圆通", "", "圆通", ""},
                          Case{"顺丰", "SF9", "顺丰", "SF9"}}) {
        SCOPED_TRACE(std::string(c.company) + "/" + c.waybill);
        OrderRow stored = SampleOrder();
        stored[2] = stored[3] = "";
        const int id = StoreOrder(stored);
        ASSERT_NE(Open("发货", id), nullptr);
        SetText("组合框2", c.company);
        SetText("编辑框2", c.waybill);
        Click("按钮3");
        EXPECT_EQ(messages_.back().text, "修改成功！");
        DeleteClosedWindows();
        EXPECT_EQ(FindEditor(), nullptr);

        OrderRow expected = stored;
        expected[2] = c.storedCompany;
        expected[3] = c.storedWaybill;
        expected[4] = "2015-1-9";
        EXPECT_EQ(StoredOrder(id), expected);
    }
}

TEST_F(EditorSubmitTest, ModifyNeverSetsTheShipMarker) {
    OrderRow stored = SampleOrder();
    stored[2] = "";
    const int id = StoreOrder(stored);
    ASSERT_NE(Open("修改", id), nullptr);
    Click("按钮3");
    EXPECT_EQ(StoredOrder(id)[2], "");
    EXPECT_EQ(StoredOrder(id)[3], stored[3]);
}

TEST_F(EditorSubmitTest, FailedAddIsReportedAndKeepsWhatWasTyped) {
    ASSERT_NE(Open("添加", 0), nullptr);
    SetText("编辑框3", "羊毛围巾");
    SetText("编辑框6", "10");
    ledger_->Exec("drop table 订单列表;");
    Click("按钮1");

    ASSERT_EQ(messages_.size(), 2u);
    EXPECT_TRUE(messages_[1].text.starts_with("数据库操作失败："));
    EXPECT_GT(messages_[1].text.size(), std::string("数据库操作失败：").size());
    EXPECT_EQ(messages_[1].title, "错误");
    EXPECT_EQ(Text("编辑框3"), "羊毛围巾");
    EXPECT_EQ(Text("编辑框11"), "10");
    EXPECT_EQ(Text("编辑框7"), "2015-1-9");
    EXPECT_EQ(FindEditor(), editor_);
}

TEST_F(EditorSubmitTest, FailedShipIsReportedAndKeepsTheWindowAsItWas) {
    OrderRow stored = SampleOrder();
    stored[2] = stored[3] = "";
    const int id = StoreOrder(stored);
    ASSERT_NE(Open("发货", id), nullptr);
    SetText("编辑框2", "YT123");
    // The ledger file is replaced by something that is no database.
    QFile ledger(QString::fromStdString(ledger_->DatabaseFile()));
    ASSERT_TRUE(ledger.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ledger.write(QByteArray(4096, 'x'));
    ledger.close();
    Click("按钮3");

    ASSERT_EQ(messages_.size(), 2u);
    EXPECT_TRUE(messages_[1].text.starts_with("数据库操作失败：")) << messages_[1].text;
    EXPECT_EQ(messages_[1].title, "错误");
    EXPECT_EQ(FindEditor(), editor_);
    // Not stored, so the marker is not left in the form either.
    EXPECT_EQ(Text("组合框2"), "");
    EXPECT_EQ(Text("编辑框2"), "YT123");
    EXPECT_EQ(Text("编辑框3"), stored[5]);
}

}  // namespace
