// How the editor sets itself up for each mode: title, buttons, pick lists,
// today's date, the order loaded from the ledger and the locks.
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "common/date_parts.h"
#include "editor_fixture.h"

namespace {

const std::vector<std::string> kAccounts = {"店铺甲", "店铺乙", "店铺丙"};
const std::vector<std::string> kCompanies = {"顺丰", "圆通"};
const char* const kLoadOrder[] = {"组合框1", "编辑框5",  "组合框2",  "编辑框2", "编辑框7",
                                  "编辑框3", "组合框3",  "编辑框4",  "编辑框8", "编辑框6",
                                  "编辑框9", "编辑框10", "编辑框11", "编辑框1"};
const char* const kEditBoxes[] = {"编辑框1", "编辑框2", "编辑框3", "编辑框4",  "编辑框5", "编辑框6",
                                  "编辑框7", "编辑框8", "编辑框9", "编辑框10", "编辑框11"};

using EditorModeTest = EditorTest;

bool IsReadOnly(QWidget* field) {
    if (auto* line = qobject_cast<QLineEdit*>(field)) return line->isReadOnly();
    return qobject_cast<QPlainTextEdit*>(field)->isReadOnly();
}

struct Buttons {
    bool add, modify, clear;
};

void ExpectButtons(QWidget* editor, Buttons expected) {
    EXPECT_EQ(editor->findChild<QPushButton*>("按钮1")->isEnabled(), expected.add);
    EXPECT_EQ(editor->findChild<QPushButton*>("按钮3")->isEnabled(), expected.modify);
    EXPECT_EQ(editor->findChild<QPushButton*>("按钮2")->isEnabled(), expected.clear);
}

TEST_F(EditorModeTest, AddModeFillsPickListsAndTodaysDate) {
    for (const char* word : {"", "添加"}) {
        SCOPED_TRACE(word);
        ASSERT_NE(Open(word, 12), nullptr);
        EXPECT_EQ(editor_->windowTitle().toStdString(), "添加订单");
        ExpectButtons(editor_, {true, false, true});
        EXPECT_EQ(Items("组合框1"), kAccounts);
        EXPECT_EQ(Items("组合框3"), kAccounts);
        EXPECT_EQ(Items("组合框2"), kCompanies);
        for (const char* combo : {"组合框1", "组合框2", "组合框3"}) EXPECT_EQ(Text(combo), "");
        EXPECT_EQ(Text("编辑框7"), "2015-1-9");
        EXPECT_TRUE(Sent("select").empty());  // nothing is loaded
        editor_->close();
        DeleteClosedWindows();
    }
}

TEST_F(EditorModeTest, DateHasNoLeadingZerosAndMonthBeforeDay) {
    SetClockForTesting([] { return MakeDateTime(2015, 12, 31, 23, 59, 0); });
    ASSERT_NE(Open("添加", 0), nullptr);
    EXPECT_EQ(Text("编辑框7"), "2015-12-31");
}

TEST_F(EditorModeTest, WordWithoutOrderKeepsTheDesignedState) {
    for (const auto& [word, id] : std::vector<std::pair<std::string, int>>{
             {"修改", 0}, {"查看", 0}, {"发货", 0}, {"删除", 7}}) {
        SCOPED_TRACE(word);
        ASSERT_NE(Open(word, id), nullptr);
        EXPECT_EQ(editor_->windowTitle().toStdString(), "添加订单");
        ExpectButtons(editor_, {true, true, true});
        for (const char* combo : {"组合框1", "组合框2", "组合框3"})
            EXPECT_TRUE(Items(combo).empty());
        EXPECT_EQ(Text("编辑框7"), "");
        editor_->close();
        DeleteClosedWindows();
    }
    EXPECT_TRUE(statements_.empty());
}

TEST_F(EditorModeTest, ModifyModeLoadsEveryFieldAsStored) {
    const int id = StoreOrder(SampleOrder());
    ASSERT_NE(Open("修改", id), nullptr);
    EXPECT_EQ(editor_->windowTitle().toStdString(), "修改订单");
    ExpectButtons(editor_, {false, true, false});
    EXPECT_EQ(Sent("select"),
              std::vector<std::string>{"select * from 订单列表 where id=" + std::to_string(id)});
    const OrderRow stored = SampleOrder();
    for (std::size_t i = 0; i < stored.size(); ++i) EXPECT_EQ(Text(kLoadOrder[i]), stored[i]);
    // The stored profit 50 stays although 99.5 - 60 + 3 is 42.5; the stored
    // date replaces today's.
    EXPECT_EQ(Text("编辑框11"), "50");
    EXPECT_EQ(Items("组合框1"), kAccounts);
    EXPECT_EQ(Items("组合框2"), kCompanies);
    for (const char* name : kEditBoxes) {
        if (std::string(name) != "编辑框11") {
            EXPECT_FALSE(IsReadOnly(Control(name))) << name;
        }
    }
    EXPECT_FALSE(Control("编辑框11")->isEnabled());
}

TEST_F(EditorModeTest, ViewModeShowsTheOrderAndLocksEverything) {
    const int id = StoreOrder(SampleOrder());
    ASSERT_NE(Open("查看", id), nullptr);
    EXPECT_EQ(editor_->windowTitle().toStdString(), "查看订单");
    ExpectButtons(editor_, {false, false, false});
    const OrderRow stored = SampleOrder();
    for (std::size_t i = 0; i < stored.size(); ++i) EXPECT_EQ(Text(kLoadOrder[i]), stored[i]);
    for (const char* combo : {"组合框1", "组合框2", "组合框3"}) {
        EXPECT_TRUE(Items(combo).empty()) << combo;
        EXPECT_FALSE(Control(combo)->isEnabled()) << combo;
    }
    for (const char* name : kEditBoxes) EXPECT_TRUE(IsReadOnly(Control(name))) << name;
}

TEST_F(EditorModeTest, ShipModeAsksForCompanyAndWaybillOnTodaysDate) {
    const int id = StoreOrder(SampleOrder());
    ASSERT_NE(Open("发货", id), nullptr);
    EXPECT_EQ(editor_->windowTitle().toStdString(), "订单发货");
    ExpectButtons(editor_, {false, true, false});
    const OrderRow stored = SampleOrder();
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const std::string name = kLoadOrder[i];
        if (name == "组合框2" || name == "编辑框7") continue;
        EXPECT_EQ(Text(name), stored[i]) << name;
    }
    EXPECT_EQ(Text("组合框2"), "");  // the stored 中通 is not shown
    EXPECT_EQ(Items("组合框2"), kCompanies);
    EXPECT_EQ(Text("编辑框7"), "2015-1-9");
    EXPECT_TRUE(Items("组合框1").empty());
    EXPECT_FALSE(Control("组合框1")->isEnabled());
    EXPECT_FALSE(Control("组合框3")->isEnabled());
    EXPECT_TRUE(Control("组合框2")->isEnabled());
    for (const char* name : kEditBoxes) {
        EXPECT_EQ(IsReadOnly(Control(name)), std::string(name) != "编辑框2") << name;
    }
}

TEST_F(EditorModeTest, OpenEditorKeepsItsModeAndOrderWhenOpenedAgain) {
    const int first = StoreOrder(SampleOrder());
    OrderRow other = SampleOrder();
    other[0] = "店铺丙";
    const int second = StoreOrder(other);
    EditorWindow* editor = Open("修改", first);
    ASSERT_NE(editor, nullptr);
    // The main window hands over another order; the open editor only comes
    // to the front.
    EXPECT_EQ(Open("查看", second), editor);
    EXPECT_EQ(editor->windowTitle().toStdString(), "修改订单");
    EXPECT_EQ(Text("组合框1"), "店铺甲");
    EXPECT_EQ(Sent("select").size(), 1u);

    editor->showMinimized();
    EXPECT_EQ(Open("查看", second), editor);
    EXPECT_FALSE(editor->isMinimized());

    Click("按钮3");
    ASSERT_EQ(Sent("update").size(), 1u);
    EXPECT_TRUE(Sent("update")[0].ends_with(" where id=" + std::to_string(first)));
}

TEST_F(EditorModeTest, OrderThatCannotBeLoadedCannotBeWrittenOver) {
    const int id = StoreOrder(SampleOrder());
    struct Case {
        const char* mode;
        int id;
        bool dropTable;
    };
    for (const Case& c : {Case{"修改", 99, false}, Case{"发货", 99, false}, Case{"修改", id, true},
                          Case{"发货", id, true}}) {
        SCOPED_TRACE(std::string(c.mode) + (c.dropTable ? " unreadable" : " missing"));
        if (c.dropTable) ledger_->Exec("drop table if exists 订单列表;");
        messages_.clear();
        ASSERT_NE(Open(c.mode, c.id), nullptr);
        ASSERT_EQ(messages_.size(), 1u);
        // A missing order is named as such; a ledger that cannot be read
        // shows the driver's reason.
        if (c.dropTable) {
            EXPECT_TRUE(messages_[0].text.starts_with("数据库操作失败：") &&
                        messages_[0].text.find("no such table") != std::string::npos)
                << messages_[0].text;
        } else {
            EXPECT_EQ(messages_[0].text, "订单不存在或无法读取");
        }
        EXPECT_EQ(messages_[0].title, "错误");
        ExpectButtons(editor_, {false, false, false});
        editor_->close();
        DeleteClosedWindows();
    }
    EXPECT_TRUE(Sent("update").empty());
}

}  // namespace
