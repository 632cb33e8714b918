// What a read yields: the kind that follows the column's SQL type, the empty
// value of the kind where there is nothing to read, and texts of any length
// and character, converted between GBK and the driver's UTF-8.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text_encoding.h"
#include "ledger_fixture.h"
#include "store/database.h"

namespace {

class Values : public LedgerTest {
  protected:
    void SetUp() override {
        LedgerTest::SetUp();
        ASSERT_TRUE(db_.OpenMdbFile(MakeLedger(3))) << db_.LastError();
    }
    DatabaseValue First(const std::string& statement, int position = 1) {
        const std::int32_t h = db_.OpenTable(statement);
        EXPECT_NE(h, 0) << db_.LastError();
        return db_.ReadColByIndex(h, position);
    }
    DatabaseConnection db_;
};

TEST_F(Values, KindFollowsTheReportedType) {
    ASSERT_TRUE(db_.ExecuteSql(
        "create table kinds(s smallint, t tinyint, r real, d double, f float, b bit, g bigint, "
        "n decimal(10,2), v varchar(20), c char(4), i integer)"));
    ASSERT_TRUE(
        db_.ExecuteSql("insert into kinds values(-123, 200, 1.5, 2.5, 0.25, 1, "
                       "9007199254740993, 12.5, 'abc', 'xy', -7)"));
    struct Case {
        int position;
        ValueKind kind;
        std::int64_t integer;
        double number;
        std::string text;
    };
    const std::vector<Case> cases = {
        {1, ValueKind::Int16, -123, 0, ""},
        {2, ValueKind::UInt8, 200, 0, ""},
        // The driver reports REAL as DOUBLE; it reports no column as REAL.
        {3, ValueKind::Double, 0, 1.5, ""},
        {4, ValueKind::Double, 0, 2.5, ""},
        {5, ValueKind::Double, 0, 0.25, ""},
        {6, ValueKind::Boolean, 1, 0, ""},
        {7, ValueKind::Text, 0, 0, "9007199254740993"},  // BIGINT keeps every digit as text
        {8, ValueKind::Text, 0, 0, "12.5"},
        {9, ValueKind::Text, 0, 0, "abc"},
        {10, ValueKind::Text, 0, 0, "xy"},
        {11, ValueKind::Int32, -7, 0, ""},
    };
    const std::int32_t h = db_.OpenTable("select * from kinds");
    ASSERT_NE(h, 0);
    for (const Case& c : cases) {
        const DatabaseValue v = db_.ReadColByIndex(h, c.position);
        EXPECT_EQ(v.kind, c.kind) << c.position;
        EXPECT_EQ(v.integer, c.integer) << c.position;
        EXPECT_EQ(v.number, c.number) << c.position;
        EXPECT_EQ(v.text, c.text) << c.position;
    }
    // NULL reads as the empty value of each kind.
    ASSERT_TRUE(db_.ExecuteSql("delete from kinds"));
    ASSERT_TRUE(db_.ExecuteSql("insert into kinds(v) values(null)"));
    const std::int32_t nulls = db_.OpenTable("select * from kinds");
    for (const Case& c : cases) {
        const DatabaseValue v = db_.ReadColByIndex(nulls, c.position);
        EXPECT_EQ(v.kind, c.kind) << c.position;
        EXPECT_EQ(v.integer, 0) << c.position;
        EXPECT_EQ(v.number, 0) << c.position;
        EXPECT_EQ(v.text, "") << c.position;
    }
}

TEST_F(Values, TheProgramsOwnStatementsReadAsTheyShould) {
    const DatabaseValue id = First("select * from sysuser where username='admin'");
    EXPECT_EQ(id.kind, ValueKind::Int32);
    EXPECT_EQ(id.integer, 1);

    const DatabaseValue count = First(Gbk("select count(*) from 订单列表 where 1=1"));
    EXPECT_EQ(count.kind, ValueKind::Int32);
    EXPECT_EQ(count.integer, 3);

    ASSERT_TRUE(db_.ExecuteSql(Gbk("update 订单列表 set 售价='10.5', 进价='2.25' where id=1")));
    ASSERT_TRUE(db_.ExecuteSql(Gbk("update 订单列表 set 售价='1', 进价='abc' where id>1")));
    const std::string totals =
        Gbk("select sum(售价),sum(进价),sum(佣金),sum(利润) from 订单列表 where 1=1");
    const DatabaseValue sale = First(totals, 1);
    EXPECT_EQ(sale.kind, ValueKind::Double);
    EXPECT_EQ(sale.number, 12.5);
    EXPECT_EQ(First(totals, 2).number, 2.25);  // texts that are no number add 0

    // No matching order: every sum is empty text.
    const std::int32_t none = db_.OpenTable(totals + Gbk(" and 卖家账号 like '%没有这个店%'"));
    for (int position = 1; position <= 4; ++position) {
        const DatabaseValue v = db_.ReadColByIndex(none, position);
        EXPECT_EQ(v.kind, ValueKind::Text);
        EXPECT_EQ(v.text, "");
    }
}

TEST_F(Values, NothingToReadGivesTheEmptyValue) {
    const std::int32_t h = db_.OpenTable("select * from sysuser where username='nobody'");
    ASSERT_NE(h, 0);
    EXPECT_TRUE(db_.IsEOF(h));
    const DatabaseValue first = db_.ReadColByIndex(h, 1);  // the sign-in's read
    EXPECT_EQ(first.kind, ValueKind::Int32);
    EXPECT_EQ(first.integer, 0);
    EXPECT_EQ(db_.ReadColByName(h, "username").kind, ValueKind::Text);

    // Past the last row of a set that has rows, likewise.
    const std::int32_t users = db_.OpenTable("select * from sysuser");
    db_.MoveNext(users);
    EXPECT_TRUE(db_.IsEOF(users));
    EXPECT_EQ(db_.ReadColByName(users, "ID").kind, ValueKind::Int32);
    EXPECT_EQ(db_.ReadColByName(users, "ID").integer, 0);

    // Unknown names and positions read as empty text, whatever the column.
    db_.MoveFirst(users);
    for (const DatabaseValue& v : {db_.ReadColByName(users, "id"), db_.ReadColByName(users, ""),
                                   db_.ReadColByIndex(users, 0), db_.ReadColByIndex(users, 4)}) {
        EXPECT_EQ(v.kind, ValueKind::Text);
        EXPECT_EQ(v.text, "");
    }
    EXPECT_EQ(db_.ReadColByName(users, "ID").integer, 1);
}

TEST_F(Values, EmptyFieldsAreStoredAsEmptyTexts) {
    const std::string insert = Gbk(
        "insert into "
        "订单列表(卖家账号,订单号,快递公司,运单号,订单日期,商品名称,购买账号,购买订单号,"
        "收货信息,售价,进价,佣金,利润,备注) values('店','1','','','2024-1-9','杯子','','','','1',"
        "'','','1','')");
    ASSERT_TRUE(db_.ExecuteSql(insert)) << db_.LastError();
    const std::int32_t h = db_.OpenTable(
        Gbk("select * from 订单列表 where 1=1  and 快递公司 =''and 运单号 ='' and 卖家账号 like "
            "'%店%' order by 订单日期 desc"));
    ASSERT_FALSE(db_.IsEOF(h));
    EXPECT_EQ(db_.ReadColByName(h, Gbk("商品名称")).text, Gbk("杯子"));
    const DatabaseValue waybill = db_.ReadColByName(h, Gbk("运单号"));
    EXPECT_EQ(waybill.kind, ValueKind::Text);
    EXPECT_EQ(waybill.text, "");
    db_.MoveNext(h);
    EXPECT_TRUE(db_.IsEOF(h));
}

// Texts around the size the fetch holds a cell in without asking again
// (256 bytes of UTF-8 with its terminator), with a character cut at that
// edge, a long one and NULLs in between: every row reads back whole.
TEST_F(Values, TextsOfEverySizeInOneResultComeBackWhole) {
    ASSERT_TRUE(db_.ExecuteSql("create table sizes(n integer, a text, b text)"));
    const auto ascii = [](std::size_t n) { return std::string(n, 'x'); };
    // 1 + 3 * k bytes of UTF-8: a three-byte character straddles byte 255.
    const auto chinese = [](std::size_t characters) {
        std::string text = "a";
        for (std::size_t i = 0; i < characters; ++i) text += Gbk("问");
        return text;
    };
    const std::vector<std::string> texts = {
        "",          ascii(254),  ascii(255),   ascii(256), chinese(84),
        chinese(85), chinese(86), ascii(70000), Gbk("短"),  chinese(1000),
    };
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const std::string n = std::to_string(i);
        // Column b holds the texts in the opposite order, or NULL in every third row.
        const std::string b = i % 3 == 2 ? "NULL" : "'" + texts[texts.size() - 1 - i] + "'";
        ASSERT_TRUE(
            db_.ExecuteSql("insert into sizes values(" + n + ",'" + texts[i] + "'," + b + ")"))
            << db_.LastError();
    }
    const std::int32_t h = db_.OpenTable("select * from sizes order by n");
    ASSERT_NE(h, 0) << db_.LastError();
    for (std::size_t i = 0; i < texts.size(); ++i, db_.MoveNext(h)) {
        ASSERT_FALSE(db_.IsEOF(h));
        EXPECT_EQ(db_.ReadColByIndex(h, 1).integer, static_cast<std::int64_t>(i));
        EXPECT_TRUE(db_.ReadColByName(h, "a").text == texts[i]) << "row " << i;
        const std::string b = i % 3 == 2 ? "" : texts[texts.size() - 1 - i];
        EXPECT_TRUE(db_.ReadColByName(h, "b").text == b) << "row " << i;
    }
    EXPECT_TRUE(db_.IsEOF(h));
}

TEST_F(Values, LongAndUnusualTextsComeBackUnchanged) {
    std::string longText;
    while (longText.size() < 1024 * 1024) longText += Gbk("备注：问题单 remark 12345，");
    const std::vector<std::string> texts = {
        longText,
        // Characters outside GBK travel as GB18030 four-byte sequences.
        Gbk("𠀀𪚥 😀 ☃ € naïve"),
        Gbk("全角０１２３ ａｂｃ"),
        "plain ascii",
    };
    for (const std::string& text : texts) {
        ASSERT_TRUE(
            db_.ExecuteSql(Gbk("update 订单列表 set 备注='") + QuoteText(text) + "' where id=2"))
            << db_.LastError();
        const DatabaseValue v = First(Gbk("select 备注 from 订单列表 where id=2"));
        EXPECT_EQ(v.text.size(), text.size());
        EXPECT_TRUE(v.text == text);
    }
    // Stored as UTF-8 inside SQLite, so other tools read the ledger.
    EXPECT_EQ(First(Gbk("select hex(备注) from 订单列表 where id=2")).text,
              "706C61696E206173636969");
    ASSERT_TRUE(db_.ExecuteSql(Gbk("update 订单列表 set 备注='€' where id=2")));
    EXPECT_EQ(First(Gbk("select hex(备注) from 订单列表 where id=2")).text, "E282AC");

    // Column names are GBK too, and a quote survives QuoteText.
    const DatabaseValue named =
        db_.ReadColByName(db_.OpenTable(Gbk("select '它''s' as 名称")), Gbk("名称"));
    EXPECT_EQ(named.text, Gbk("它's"));
}

}  // namespace
