// The three printed forms written as PDF and read back by poppler and zbar:
// the texts a user looks for, the pages' size and count, and every barcode
// as a scanner reads it.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <string>
#include <vector>

#include "common/text_encoding.h"
#include "pdf_readers.h"
#include "print/printed_orders.h"

namespace {

struct Order {
    std::string seller, number, express, waybill, goods, cost, delivery, remark;
};

PrintedOrder Printed(const Order& o) {
    PrintedOrder order;
    order[0] = "1";
    order[1] = Gbk(o.seller);
    order[2] = Gbk(o.number);
    order[3] = Gbk(o.express);
    order[4] = Gbk(o.waybill);
    order[5] = Gbk(o.goods);
    order[6] = "99.5";
    order[7] = Gbk(o.cost);
    order[10] = "2026-12-08";
    order[13] = Gbk(o.delivery);
    order[14] = Gbk(o.remark);
    return order;
}

// Goods names with characters whose glyphs fonts share with radicals (一,
// 手, 页, 长), so a wrong reading shows.
const char* const kGoods[] = {"一次性手套 大号 100只装", "二手书页夹（人物款）",
                              "长款羽绒服 黑色 XL", "手机壳 iPhone 15 Pro"};

// Thirty orders: 19-digit order numbers, every third one shipped with a
// waybill of letters and digits.
std::vector<Order> ThirtyOrders() {
    std::vector<Order> orders;
    for (int i = 0; i < 30; ++i) {
        Order o;
        o.seller = i % 2 ? "小店一号" : "旗舰店";
        o.number = "20261208" + std::to_string(10000000000LL + i * 7919);
        if (i % 3 == 0) {
            o.express = "顺丰";
            o.waybill = "SF" + std::to_string(1400000000000LL + i);
        }
        o.goods = kGoods[i % 4];
        o.cost = std::to_string(10 + i) + ".5";
        o.delivery = "张三 13800138000 北京市海淀区中关村大街" + std::to_string(i) + "号";
        o.remark = i % 5 ? "" : "问题：包装要结实";
        orders.push_back(o);
    }
    return orders;
}

class PrintedPagesTest : public testing::Test {
  protected:
    std::string Write(PrintForm form, PrintPaper paper, const std::vector<Order>& orders,
                      const OrderTotals& totals = {}) {
        PrintJob job;
        job.form = form;
        job.paper = paper;
        for (const Order& o : orders) job.orders.push_back(Printed(o));
        job.totals = totals;
        job.printedAt = QDateTime(QDate(2026, 12, 8), QTime(9, 30));
        const std::string path = dir_.filePath(QStringLiteral("pages.pdf")).toStdString();
        int pages = 0;
        EXPECT_TRUE(WritePrintPdf(job, QString::fromStdString(path), pages).ok());
        EXPECT_EQ(pages, PdfPages(path));
        return path;
    }

    QTemporaryDir dir_;
};

std::string WithoutBlanks(std::string text) {
    std::erase_if(text, [](char c) { return c == ' ' || c == '\n' || c == '\f'; });
    return text;
}

// Whether part stands in text; blanks do not count, as a reader puts them
// where it sees a gap, not where the text has them.
bool Holds(const std::string& text, const std::string& part) {
    return WithoutBlanks(text).find(WithoutBlanks(part)) != std::string::npos;
}

TEST_F(PrintedPagesTest, EveryFormReadsBackItsOrdersWhole) {
    const std::vector<Order> orders = ThirtyOrders();
    OrderTotals totals;
    totals.count = 30;
    totals.sums = {"2985", "765", "0", "2220"};
    struct Case {
        PrintForm form;
        PrintPaper paper;
        bool numbers;  // shows the order numbers
    } cases[] = {{PrintForm::OrderList, PrintPaper::A4, true},
                 {PrintForm::PickingList, PrintPaper::A4, false},
                 {PrintForm::PackingSlips, PrintPaper::A4, true},
                 {PrintForm::PackingSlips, PrintPaper::Label76x130, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(PrintFormName(c.form));
        const std::string text = PdfText(Write(c.form, c.paper, orders, totals));
        for (const char* goods : kGoods) EXPECT_TRUE(Holds(text, goods)) << goods << "\n" << text;
        for (const Order& o : orders) {
            if (c.numbers) {
                EXPECT_TRUE(Holds(text, o.number)) << o.number;
            }
            if (c.form == PrintForm::PackingSlips) {
                EXPECT_TRUE(Holds(text, o.delivery)) << o.delivery;
                if (!o.waybill.empty()) {
                    EXPECT_TRUE(Holds(text, o.waybill)) << o.waybill;
                }
            }
        }
        if (c.form == PrintForm::OrderList) {
            EXPECT_TRUE(Holds(text, "记录：当前有30单")) << text;
            EXPECT_TRUE(Holds(text, "总售价：2985元")) << text;
        }
        if (c.form == PrintForm::PickingList) {
            // 20 unshipped orders (not every third); 进价 20 × 10.5 + 300.
            EXPECT_TRUE(Holds(text, "合计：4 种商品  20 单  进价 510 元")) << text;
        }
    }
}

TEST_F(PrintedPagesTest, EveryBarcodeScansAsItsNumber) {
    const std::vector<Order> orders = ThirtyOrders();
    std::vector<std::string> expected;
    for (const Order& o : orders) {
        expected.push_back("CODE-128:" + o.number);
        if (!o.waybill.empty()) expected.push_back("CODE-128:" + o.waybill);
    }
    std::sort(expected.begin(), expected.end());
    for (PrintPaper paper : {PrintPaper::A4, PrintPaper::Label76x130}) {
        SCOPED_TRACE(paper == PrintPaper::A4 ? "A4" : "76x130");
        EXPECT_EQ(PdfBarcodes(Write(PrintForm::PackingSlips, paper, orders)), expected);
    }
}

TEST_F(PrintedPagesTest, SlipsSayWhyANumberHasNoBarcode) {
    const Order base = ThirtyOrders()[1];
    struct Case {
        std::string number;
        std::string says;  // on the slip, in place of the barcode
    } cases[] = {
        {"订单A17", "（订单号无条码：含有字母、数字和英文符号以外的字符"},
        {std::string(70, '7'), "（订单号无条码：太长"},
    };
    for (PrintPaper paper : {PrintPaper::A4, PrintPaper::Label76x130}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.number);
            Order o = base;
            o.number = c.number;
            const std::string pdf = Write(PrintForm::PackingSlips, paper, {o, base});
            const std::string text = PdfText(pdf);
            EXPECT_TRUE(Holds(text, c.says)) << text;
            // The other order's barcode is there all the same.
            EXPECT_EQ(PdfBarcodes(pdf), std::vector<std::string>{"CODE-128:" + base.number});
        }
    }
}

TEST_F(PrintedPagesTest, PagesHaveTheChosenSizeAndNumbers) {
    std::vector<Order> many;
    for (int i = 0; i < 4; ++i) {
        for (const Order& o : ThirtyOrders()) many.push_back(o);
    }
    struct Case {
        PrintForm form;
        PrintPaper paper;
        std::size_t orders;
        std::string size;
        int pages;  // 0: more than one
    } cases[] = {
        {PrintForm::OrderList, PrintPaper::A4, 120, "297 x 210", 0},
        {PrintForm::PickingList, PrintPaper::A4, 30, "210 x 297", 1},
        {PrintForm::PackingSlips, PrintPaper::A4, 30, "210 x 297", 5},
        {PrintForm::PackingSlips, PrintPaper::A4, 31, "210 x 297", 6},
        {PrintForm::PackingSlips, PrintPaper::Label76x130, 30, "76 x 130", 30},
        {PrintForm::OrderList, PrintPaper::A4, 0, "297 x 210", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(PrintFormName(c.form)) + " " + std::to_string(c.orders));
        const std::string pdf = Write(c.form, c.paper, {many.begin(), many.begin() + c.orders});
        EXPECT_EQ(PdfPageSize(pdf), c.size);
        const int pages = PdfPages(pdf);
        if (c.pages) {
            EXPECT_EQ(pages, c.pages);
        } else {
            EXPECT_GT(pages, 1);
        }
        for (int p = 1; p <= pages; ++p) {
            const std::string text = PdfText(pdf, p, p);
            EXPECT_TRUE(Holds(
                text, "第 " + std::to_string(p) + " 页 / 共 " + std::to_string(pages) + " 页"))
                << "page " << p;
            // The header row heads every page of the list.
            if (c.form == PrintForm::OrderList) {
                EXPECT_TRUE(Holds(text, "购买订单号")) << p;
            }
        }
    }
}

TEST_F(PrintedPagesTest, TextsTooLongForTheirRoomEndMarkedAsCut) {
    Order o = ThirtyOrders()[0];
    std::string huge;
    while (huge.size() < 40000 * 3) huge += "很长的收货地址";
    o.delivery = huge;
    o.remark = huge;
    o.goods = "商品" + huge.substr(0, 3000);
    for (PrintForm form : {PrintForm::OrderList, PrintForm::PackingSlips}) {
        for (PrintPaper paper : {PrintPaper::A4, PrintPaper::Label76x130}) {
            SCOPED_TRACE(std::string(PrintFormName(form)) +
                         (paper == PrintPaper::A4 ? " A4" : " label"));
            const std::string pdf = Write(form, paper, {o, ThirtyOrders()[1]});
            const std::string text = PdfText(pdf);
            EXPECT_TRUE(Holds(text, "…（未完）")) << text.substr(0, 2000);
            // The order after it still prints, whole.
            EXPECT_TRUE(Holds(text, ThirtyOrders()[1].number));
            EXPECT_LE(PdfPages(pdf),
                      form == PrintForm::PackingSlips && paper != PrintPaper::A4 ? 2 : 1);
        }
    }
}

TEST_F(PrintedPagesTest, PickingListGroupsUnshippedGoodsMostOrderedFirst) {
    const auto order = [](const char* seller, const char* goods, const char* cost,
                          const char* waybill = "") {
        Order o{seller, "1", waybill[0] ? "圆通" : "", waybill, goods, cost, "", ""};
        return o;
    };
    const std::vector<Order> orders = {
        order("店乙", "苹果", "1.1"),      order("店甲", "香蕉", "2"),
        order("店甲", "苹果", "1.2"),      order("店甲", "香蕉", "2"),
        order("店甲", "橙子", "5"),        order("店甲", "苹果", "1.3"),
        order("店甲", "香蕉", "2"),        order("店甲", "橙子", "5", "YT1"),
        order("店丙", "橙子", "5", "YT2"), order("店丙", "橙子", "5", "YT3"),
    };
    const std::string text = PdfText(Write(PrintForm::PickingList, PrintPaper::A4, orders));
    // 苹果 and 香蕉 three each (pinyin order: píngguǒ before xiāngjiāo), then 橙子 once.
    const auto apple = text.find("苹果"), banana = text.find("香蕉"), orange = text.find("橙子");
    ASSERT_NE(apple, std::string::npos) << text;
    ASSERT_NE(orange, std::string::npos) << text;
    EXPECT_LT(apple, banana);
    EXPECT_LT(banana, orange);
    EXPECT_TRUE(Holds(text, "3.6")) << text;  // 苹果's 进价
    EXPECT_TRUE(Holds(text, "店乙")) << text;
    EXPECT_FALSE(Holds(text, "店丙")) << "shipped orders are not fetched: " << text;
    EXPECT_TRUE(Holds(text, "合计：3 种商品  7 单  进价 14.6 元")) << text;
}

TEST_F(PrintedPagesTest, PickingListKeepsAGoodsNameOnOneLineUnlessWiderThanThePage) {
    std::string wide;  // wider than the name column, narrower than the page
    for (int i = 0; i < 4; ++i) wide += "加厚防滑耐磨户外登山鞋";
    std::string wider;  // wider than the page
    for (int i = 0; i < 4; ++i) wider += wide;
    Order o{"店甲", "1", "", "", wide, "1", "", ""};
    Order p{"店乙", "2", "", "", wider, "1", "", ""};
    const std::string text = PdfText(Write(PrintForm::PickingList, PrintPaper::A4, {o, p}));
    EXPECT_NE(text.find(wide + "\n"), std::string::npos) << text;
    EXPECT_EQ(text.find(wider), std::string::npos) << "wrapped: " << text;
    EXPECT_TRUE(Holds(text, wider)) << text;
}

}  // namespace
