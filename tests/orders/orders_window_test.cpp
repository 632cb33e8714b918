#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <iostream>

#include "app/process_end.h"
#include "app/program_state.h"
#include "common/message_box.h"
#include "common/text_encoding.h"
#include "common/text_limit.h"
#include "store/database.h"
#include "test_ledger.h"
#include "ui/editor/editor_window.h"
#include "ui/orders/order_list.h"
#include "ui/orders/orders_window.h"
#include "window_parts.h"

namespace {

struct Box {
    std::string text;
    int flags;
    std::string title;
};

class OrdersWindowTest : public testing::Test {
  protected:
    void SetUp() override {
        ResetProgramState();
        SetMessageBoxForTesting(
            [this](const std::string& text, int flags, const std::string& title) {
                boxes.push_back({GbkToUtf8(text), flags, GbkToUtf8(title)});
                return answer;
            });
        SetProcessEndForTesting([](int) {});
        SetStatementObserverForTesting(
            [this](const std::string& statement) { sent.push_back(GbkToUtf8(statement)); });
        ledger.AddOrder({{"卖家账号", "店铺甲"}, {"订单日期", "2016-3-1"}, {"售价", "10"}});
        shippedId = ledger.AddOrder({{"卖家账号", "店铺乙"},
                                     {"订单日期", "2016-2-1"},
                                     {"快递公司", ""},
                                     {"运单号", "YT123"}});
        openId = ledger.AddOrder({{"卖家账号", "店铺丙"}, {"订单日期", "2016-1-1"}});
        ledger.WriteConfig(
            Gbk("[zhanghaoinfo]\r\nzhanghao=店铺甲|店铺乙|\r\n"
                "[kuaidiinfo]\r\nkuaidi=顺丰速运#x|y#\r\n"));
        OpenMainWindow();
        window = MainWindow();
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override {
        CloseAllWindows();
        SetMessageBoxForTesting({});
        SetProcessEndForTesting({});
        SetStatementObserverForTesting({});
    }

    OrderListView* OrderList() const { return Named<OrderListView>(window, "信息列表框"); }
    QLabel* Totals() const { return Named<QLabel>(window, "标签10"); }
    void Click(const char* button) const {
        QTest::mouseClick(Named<QPushButton>(window, button), Qt::LeftButton);
    }
    // Chooses an item of the list's pop-up menu.
    void Choose(const char* item) const { Named<QAction>(window, item)->trigger(); }

    // Selects the list row that shows an order id.
    void SelectOrder(long long id) {
        OrderListModel* list = OrderList()->List();
        for (int row = 0; row < list->ItemCount(); ++row) {
            if (list->ItemText(row, 0) == std::to_string(id)) {
                OrderList()->selectRow(row);
                return;
            }
        }
        FAIL() << "order " << id << " not listed";
    }

    TestLedger ledger;
    OrdersWindow* window = nullptr;
    std::vector<Box> boxes;
    std::vector<std::string> sent;
    int answer = kAnswerOk;
    long long shippedId = 0;
    long long openId = 0;
};

// The bounding box of the pixels of an image that a test picks.
template <typename Ink>
QRect InkBox(const QImage& image, Ink ink) {
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (ink(image.pixelColor(x, y))) box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

bool Red(const QColor& pixel) { return pixel.red() > 150 && pixel.green() < 100; }

QStringList Items(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    return items;
}

}  // namespace

TEST_F(OrdersWindowTest, CreatedFillsPickListsAndRunsNoQuery) {
    EXPECT_EQ(Items(Named<QComboBox>(window, "组合框1")), QStringList({"店铺甲", "店铺乙"}));
    EXPECT_EQ(Items(Named<QComboBox>(window, "组合框3")), QStringList({"店铺甲", "店铺乙"}));
    EXPECT_EQ(Items(Named<QComboBox>(window, "组合框2")), QStringList({"顺丰速运", "x|y"}));
    EXPECT_TRUE(sent.empty());
    EXPECT_EQ(OrderList()->List()->ItemCount(), 0);
    EXPECT_EQ(Totals()->text(), QString::fromUtf8("记录："));
}

TEST_F(OrdersWindowTest, SearchButtonsAndClear) {
    Named<QComboBox>(window, "组合框1")->setCurrentText(QString::fromUtf8("店铺乙"));
    Named<QLineEdit>(window, "编辑框6")->setText("x");
    Named<QLineEdit>(window, "编辑框6")->clear();
    Click("查询按钮");
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[1], "select count(*) from 订单列表 where 1=1 and 卖家账号 like '%店铺乙%'");
    EXPECT_EQ(OrderList()->List()->ItemCount(), 1);

    // The filters ignore the fields and leave them as they are.
    Click("按钮2");
    EXPECT_EQ(OrderList()->List()->ItemCount(), 2);
    EXPECT_EQ(sent.back(),
              "select sum(售价),sum(进价),sum(佣金),sum(利润) from 订单列表 where 1=1 "
              "and 快递公司 =''and 运单号 ='' ");
    EXPECT_EQ(Named<QComboBox>(window, "组合框1")->currentText(), QString::fromUtf8("店铺乙"));

    const size_t before = sent.size();
    Click("查询按钮1");
    EXPECT_EQ(sent.size(), before);
    EXPECT_TRUE(Named<QComboBox>(window, "组合框1")->currentText().isEmpty());
    EXPECT_EQ(Named<QComboBox>(window, "组合框1")->count(), 2);

    Click("查询按钮");
    EXPECT_EQ(OrderList()->List()->ItemCount(), 3);
    EXPECT_EQ(
        Totals()->text(),
        QString::fromUtf8("记录：当前有3单  总售价：10元  总进价：0元  总佣金：0元  总利润：0元"));
}

TEST_F(OrdersWindowTest, ListFollowsTheWindowSize) {
    // Sizes are outer sizes, the frame the platform draws included.
    const QSize frame = window->frameGeometry().size() - window->size();
    window->resize(QSize(852, 442) - frame);
    QApplication::processEvents();
    EXPECT_EQ(OrderList()->size(), QSize(802, 242));
    EXPECT_EQ(OrderList()->pos(), QPoint(6, 147));
    window->resize(QSize(1000, 700) - frame);
    QApplication::processEvents();
    EXPECT_EQ(OrderList()->size(), QSize(950, 500));
    window->resize(40, 100);
    QApplication::processEvents();
    EXPECT_EQ(OrderList()->size(), QSize(0, 0));
}

TEST_F(OrdersWindowTest, CommandsWithoutSelectionSayWhatIsMissing) {
    struct Case {
        const char* item;
        const char* message;
    };
    const Case cases[] = {{"修改", "请选择修改的数据！"},
                          {"查看", "请选择查看的数据！"},
                          {"发货", "请选择修改的数据！"},
                          {"删除", "请选择处理的数据！"}};
    for (const Case& c : cases) {
        boxes.clear();
        Choose(c.item);
        ASSERT_EQ(boxes.size(), 1u) << c.message;
        EXPECT_EQ(boxes[0].text, c.message);
        EXPECT_EQ(boxes[0].title, "信息：");
        EXPECT_EQ(boxes[0].flags & 0xF, kMbOk);
    }
    EXPECT_TRUE(editorMode.empty());
    EXPECT_EQ(currentOrderId, 0);
}

TEST_F(OrdersWindowTest, HandOffVariablesForEachCommand) {
    Click("查询按钮");
    SelectOrder(openId);
    Choose("修改");
    EXPECT_EQ(GbkToUtf8(editorMode), "修改");
    EXPECT_EQ(currentOrderId, openId);

    Choose("添加");
    EXPECT_EQ(GbkToUtf8(editorMode), "添加");
    EXPECT_EQ(currentOrderId, openId);

    SelectOrder(shippedId);
    boxes.clear();
    Choose("发货");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "该订单已发货，请选择未发货的订单！");
    EXPECT_EQ(GbkToUtf8(editorMode), "添加");

    SelectOrder(openId);
    Choose("发货");
    EXPECT_EQ(GbkToUtf8(editorMode), "发货");

    SelectOrder(shippedId);
    QTest::mouseDClick(OrderList()->viewport(), Qt::LeftButton, {},
                       OrderList()->visualRect(OrderList()->model()->index(1, 1)).center());
    EXPECT_EQ(GbkToUtf8(editorMode), "查看");
    EXPECT_EQ(currentOrderId, shippedId);
}

TEST_F(OrdersWindowTest, ReadsGoByModelColumnWhateverTheHeaderOrder) {
    Click("查询按钮");
    OrderList()->horizontalHeader()->moveSection(0, 7);
    OrderList()->horizontalHeader()->moveSection(3, 0);
    SelectOrder(openId);
    Choose("查看");
    EXPECT_EQ(currentOrderId, openId);
}

TEST_F(OrdersWindowTest, DeleteAsksThenRefillsWithEverything) {
    Named<QComboBox>(window, "组合框1")->setCurrentText(QString::fromUtf8("店铺丙"));
    Click("查询按钮");
    ASSERT_EQ(OrderList()->List()->ItemCount(), 1);
    SelectOrder(openId);

    answer = kAnswerNo;
    sent.clear();
    Choose("删除");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "确定提交吗？");
    EXPECT_EQ(boxes[0].title, "提示");
    EXPECT_EQ(boxes[0].flags & 0xF, kMbYesNo);
    EXPECT_TRUE(sent.empty());

    answer = kAnswerYes;
    Choose("删除");
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent[0], "delete from 订单列表 where id=" + std::to_string(openId));
    EXPECT_EQ(sent[1], "select * from 订单列表 where 1=1  order by 订单日期 desc");
    EXPECT_EQ(OrderList()->List()->ItemCount(), 2);
    EXPECT_EQ(Named<QComboBox>(window, "组合框1")->currentText(), QString::fromUtf8("店铺丙"));
    EXPECT_EQ(ledger.Rows("select count(*) from 订单列表")[0][0], "2");
}

// Ids come from the ledger, which another tool may have written with ids
// past 32 bits: each travels whole from the list to the editor and the delete.
TEST_F(OrdersWindowTest, IdsPast32BitsAreListedOpenedAndDeletedWhole) {
    const long long bigId = 4294967297;  // 2^32 + 1: its low 32 bits name order 1
    ledger.Exec("insert into 订单列表(ID, 卖家账号, 订单日期) values(" + std::to_string(bigId) +
                ", '大号', '2016-4-1')");
    Click("查询按钮");
    SelectOrder(bigId);
    Choose("修改");
    EXPECT_EQ(currentOrderId, bigId);
    EditorWindow* editor = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* found = dynamic_cast<EditorWindow*>(widget)) editor = found;
    }
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(Named<QComboBox>(editor, "组合框1")->currentText(), QString::fromUtf8("大号"));
    editor->close();

    answer = kAnswerYes;
    Choose("删除");
    EXPECT_TRUE(ledger.Rows("select ID from 订单列表 where ID=" + std::to_string(bigId)).empty());
    EXPECT_EQ(ledger.Rows("select count(*) from 订单列表")[0][0], "3");
}

// A text far past the limit of a field (written by another tool) is listed
// cut to that limit, and the list fills and paints without a freeze.
TEST_F(OrdersWindowTest, ATextFarPastTheLimitIsListedCutAndQuickly) {
    ledger.Exec("update 订单列表 set 备注=replace(hex(zeroblob(16777216)), '00', 'z') where ID=" +
                std::to_string(openId));
    const auto start = std::chrono::steady_clock::now();
    Click("查询按钮");
    OrderList()->scrollTo(OrderList()->model()->index(0, 14));
    window->grab();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cout << "listing a 16 MiB remark: " << seconds << " s" << std::endl;
    // Under a second on an idle machine; a freeze never gets here.
    SelectOrder(openId);
    EXPECT_EQ(OrderList()->SelectedText(14), std::string(kFieldTextLimit, 'z'));
}

TEST_F(OrdersWindowTest, RejectedDeleteIsReported) {
    Click("查询按钮");
    SelectOrder(openId);
    ledger.Exec(
        "create trigger no_delete before delete on 订单列表 begin "
        "select raise(abort, 'locked'); end");
    answer = kAnswerYes;
    Choose("删除");
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].title, "错误");
    EXPECT_EQ(boxes[1].text.rfind("数据库操作失败：", 0), 0u);
    EXPECT_EQ(OrderList()->List()->ItemCount(), 3);
}

TEST_F(OrdersWindowTest, RightClickBelowTheRowsOpensTheFullMenu) {
    Click("查询按钮");
    SelectOrder(openId);
    QStringList shown;
    bool allEnabled = true;
    QTimer::singleShot(0, [&] {
        QMenu* menu = Named<QMenu>(window, "菜单");
        for (QAction* item : menu->actions()) {
            shown << item->text();
            allEnabled = allEnabled && item->isEnabled();
        }
        menu->close();
    });
    QWidget* area = OrderList()->viewport();
    QTest::mouseClick(area, Qt::RightButton, {}, QPoint(20, area->height() - 5));
    EXPECT_EQ(shown, QStringList({"发货", "查看", "添加", "修改", "删除", "", "导出到 Excel…",
                                  "从表格导入…", "批量发货…", "打印…", "统计…", "回收站…"}));
    EXPECT_TRUE(allEnabled);
    EXPECT_EQ(OrderList()->SelectedRow(), -1);
}

TEST_F(OrdersWindowTest, ListColumnsHaveTheirHeadersAndWidths) {
    const char* headers[] = {"ID",       "卖家账号", "订单号",     "快递公司", "运单号",
                             "商品名称", "售价",     "进价",       "佣金",     "利润",
                             "订单日期", "购买账号", "购买订单号", "收货信息", "备注"};
    const int widths[] = {1, 72, 57, 72, 57, 72, 45, 45, 45, 45, 70, 72, 72, 72, 45};
    OrderListView* list = OrderList();
    ASSERT_EQ(list->model()->columnCount(), 15);
    for (int c = 0; c < 15; ++c) {
        EXPECT_EQ(list->model()->headerData(c, Qt::Horizontal).toString(),
                  QString::fromUtf8(headers[c]));
        EXPECT_EQ(list->columnWidth(c), widths[c]) << headers[c];
    }
    EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_TRUE(list->showGrid());
    EXPECT_TRUE(list->horizontalHeader()->sectionsMovable());
}

TEST_F(OrdersWindowTest, SelectionShowsOnlyWhileTheListHasTheFocus) {
    Click("查询按钮");
    QApplication::setActiveWindow(window);
    SelectOrder(openId);
    OrderList()->setFocus();
    QApplication::processEvents();
    const QColor focused = OrderList()->palette().color(QPalette::Active, QPalette::Highlight);
    Named<QLineEdit>(window, "编辑框5")->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(OrderList()->SelectedRow() >= 0, true);
    EXPECT_NE(OrderList()->palette().color(QPalette::Active, QPalette::Highlight), focused);
    EXPECT_EQ(OrderList()->palette().color(QPalette::Active, QPalette::Highlight),
              OrderList()->palette().color(QPalette::Active, QPalette::Base));
}

TEST_F(OrdersWindowTest, FocusFrameGoesAroundTheWholeRow) {
    Click("查询按钮");
    QApplication::setActiveWindow(window);
    OrderListView* list = OrderList();
    // A click on a cell in the middle of the first row.
    const QRect cell = list->visualRect(list->model()->index(0, 5));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    ASSERT_TRUE(list->hasFocus());
    // The top edge of the row's frame, one pixel high.
    const QImage shown = list->viewport()->grab().toImage();
    const QImage edge = shown.copy(0, cell.top(), shown.width(), 1);
    const QColor frame = list->palette().color(QPalette::Text);
    const QRect ink = InkBox(edge, [&](const QColor& pixel) { return pixel == frame; });
    EXPECT_LE(ink.left(), 2);
    EXPECT_GE(ink.right(), std::min(list->horizontalHeader()->length(), edge.width()) - 3);
}

TEST_F(OrdersWindowTest, TotalsLineShowsWholeForTheLargestLedgers) {
    // Sums with the longest text a sum can have; the count then as for a
    // ledger of ten million orders.
    ledger.AddOrder({{"售价", "-1.797693134862e308"},
                     {"进价", "-1.797693134862e308"},
                     {"佣金", "-1.797693134862e308"},
                     {"利润", "-1.797693134862e308"}});
    Click("查询按钮");
    const QString queried = Totals()->text();
    ASSERT_TRUE(queried.startsWith(QString::fromUtf8("记录：当前有4单"))) << queried.toStdString();
    QString largest = queried;
    largest.replace(QString::fromUtf8("有4单"), QString::fromUtf8("有10000000单"));
    for (const QString& line : {queried, largest}) {
        SCOPED_TRACE(line.toStdString());
        Totals()->setText(line);
        const QImage shown = Totals()->grab().toImage();
        const QRect ink = InkBox(shown, Red);
        EXPECT_FALSE(ink.isNull());
        EXPECT_LT(ink.right(), shown.width() - 3);  // a cut line runs into the edge
    }
    const QRect totals = Totals()->geometry();
    EXPECT_TRUE(window->rect().contains(totals));
    for (QWidget* control : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (control == Totals() || !control->isVisible()) continue;
        EXPECT_FALSE(control->geometry().intersects(totals)) << control->objectName().toStdString();
    }
}

TEST_F(OrdersWindowTest, LabelsDrawTheirCaptionFromTheTopOfTheirBox) {
    for (QLabel* label : window->findChildren<QLabel*>()) {
        const QRect ink = InkBox(label->grab().toImage(), [](const QColor& pixel) {
            return Red(pixel) || qGray(pixel.rgb()) < 128;
        });
        // Static text leaves only the font's own space above the caption.
        EXPECT_FALSE(ink.isNull()) << label->objectName().toStdString();
        EXPECT_LE(ink.top(), 3) << label->objectName().toStdString();
    }
}
