// Input that is odd on purpose, through the real windows: texts typed into
// the editor and the search fields, settings files and ledger files that are
// not what the program expects. Every row says what the user sees, and the
// run prints it.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <random>

#include "app/process_end.h"
#include "app/program_state.h"
#include "common/message_box.h"
#include "common/text_encoding.h"
#include "driver_protocol.h"
#include "store/ledger_schema.h"
#include "store/settings.h"
#include "test_ledger.h"
#include "ui/editor/editor_window.h"
#include "ui/orders/order_list.h"
#include "ui/orders/orders_window.h"
#include "window_parts.h"
#include "window_steps.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string Repeat(const std::string& piece, std::size_t times) {
    std::string text;
    text.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i) text += piece;
    return text;
}

std::string WithCrLf(const std::string& text) {
    std::string crlf;
    for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return crlf;
}

class BadInput : public testing::Test {
  protected:
    void SetUp() override {
        ResetProgramState();
        SetMessageBoxForTesting([this](const std::string& text, int flags, const std::string&) {
            if ((flags & 0xF) != kMbYesNo) boxes.push_back(GbkToUtf8(text));
            return (flags & 0xF) == kMbYesNo ? kAnswerYes : kAnswerOk;
        });
        SetProcessEndForTesting([this](int code) { exits.push_back(code); });
    }
    void TearDown() override {
        CloseAllWindows();
        SetMessageBoxForTesting({});
        SetProcessEndForTesting({});
        std::cout << std::endl;
    }

    // Opens the main window anew (reading config.ini again).
    OrdersWindow& Main() {
        CloseAllWindows();
        OpenMainWindow();
        return *MainWindow();
    }

    // Types into the add editor's fields (designer name, text) and clicks 添加.
    void Add(const std::vector<std::pair<const char*, std::string>>& typed) {
        EditorWindow* editor = OpenEditorFor("添加", 0);
        ASSERT_NE(editor, nullptr);
        for (const auto& [name, text] : typed) {
            QWidget* field = editor->findChild<QWidget*>(QString::fromUtf8(name));
            ASSERT_NE(field, nullptr) << name;
            Type(field, text);
        }
        Named<QPushButton>(editor, "按钮1")->click();
    }

    // The search field of the main window for a column, typed, then 查询.
    int Search(OrdersWindow& window, QLineEdit* field, const std::string& text) {
        Named<QPushButton>(window, "查询按钮1")->click();
        field->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
        Named<QPushButton>(window, "查询按钮")->click();
        return Named<OrderListView>(window, "信息列表框")->List()->ItemCount();
    }

    std::string LastStored(const char* column) {
        const auto rows = ledger->Rows("select " + std::string(column) +
                                       " from 订单列表 order by ID desc limit 1");
        return rows.empty() ? "(no row)" : rows[0][0];
    }

    // What the user saw since the last call: the messages, or the text given.
    std::string Seen(const std::string& otherwise) {
        std::string seen;
        for (const std::string& box : boxes) seen += (seen.empty() ? "" : " / ") + box;
        boxes.clear();
        // Long enough for the driver's text after a Chinese explanation.
        return seen.empty() ? otherwise : "message \"" + seen.substr(0, 400) + "\"";
    }

    static void Report(const std::string& row, const std::string& seen) {
        std::cout << "  " << row << ": " << seen << std::endl;
    }

    std::unique_ptr<TestLedger> ledger = std::make_unique<TestLedger>();
    std::vector<std::string> boxes;
    std::vector<int> exits;
};

struct TypedRow {
    const char* name;
    const char* field;  // of the editor
    std::string text;
    std::string search;  // typed into the matching search field, when not empty
    int found;           // orders the search lists
};

TEST_F(BadInput, TypedTextsAreStoredAsTypedAndFoundAgain) {
    ledger->AddOrder({{"商品名称", "axb"}, {"备注", "普通"}});
    ledger->AddOrder({{"商品名称", "普通商品"}, {"备注", "普通"}});
    std::string megabyte;
    for (int line = 0; megabyte.size() < (1u << 20); ++line) {
        megabyte += "第" + std::to_string(line) + "行备注，含'引号'和😀。\n";
    }
    const TypedRow rows[] = {
        {"single and double quotes", "编辑框3", "O'Neil 的\"围巾\"", "O'Neil", 1},
        {"a statement inside a text", "编辑框3", "x');delete from 订单列表;--",
         "x');delete from 订单列表;--", 1},
        {"backslashes", "编辑框3", "C:\\账本\\备份\\", "\\账本\\", 1},
        {"a percent sign", "编辑框3", "打折50%", "50%", 1},
        {"an underscore (any one character to like)", "编辑框3", "a_b", "a_b", 2},
        {"control characters", "编辑框3", "\x01\x02\x07\x1b\x7f控制\x1f", "\x07\x1b", 1},
        {"tab and line breaks in the remark", "编辑框1", "第一行\n第二行\t制表\n", "\t制表", 1},
        {"no-break spaces in the remark", "编辑框1", "价格 100 元", " 100", 1},
        {"characters outside GBK", "编辑框3", "😀𠀀한국어Ӂ€", "𠀀한", 1},
        {"a remark of 1 MB", "编辑框1", megabyte, "", 0},
    };
    OrdersWindow* window = &Main();
    std::cout << "typed into the editor, stored, searched:" << std::endl;
    for (const TypedRow& row : rows) {
        SCOPED_TRACE(row.name);
        const auto start = Clock::now();
        Add({{row.field, row.text}, {"编辑框5", row.name}});
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        const std::string seen = Seen("stored");
        EXPECT_EQ(seen, "message \"添加成功\"");
        const char* column = std::string(row.field) == "编辑框1" ? "备注" : "商品名称";
        // The multi-line remark gives its line breaks as CR LF.
        const std::string expected = std::string(column) == "备注" ? WithCrLf(row.text) : row.text;
        const std::string stored = LastStored(column);
        EXPECT_TRUE(stored == expected)
            << "stored " << stored.size() << " bytes of " << expected.size();
        std::string sees = seen + ", stored exactly (" + std::to_string(row.text.size()) +
                           " bytes, " + std::to_string(seconds).substr(0, 4) + " s)";
        if (!row.search.empty()) {
            window = &Main();
            QLineEdit* search = std::string(column) == "备注" ? Named<QLineEdit>(window, "编辑框6")
                                                              : Named<QLineEdit>(window, "编辑框2");
            const int listed = Search(*window, search, row.search);
            EXPECT_EQ(listed, row.found);
            EXPECT_EQ(Seen(""), "");
            const int shownRow = ListedRow(*window, LastStored("ID"));
            ASSERT_GE(shownRow, 0);
            EXPECT_EQ(
                GbkToUtf8(
                    Named<OrderListView>(window, "信息列表框")->List()->ItemText(shownRow, 5)),
                column == std::string("备注") ? "" : row.text);
            sees += "; searching it lists " + std::to_string(listed);
        }
        // Opened for modifying, the order shows every text again.
        EditorWindow* editor = OpenEditorFor("修改", std::stoi(LastStored("ID")));
        ASSERT_NE(editor, nullptr);
        QWidget* field = editor->findChild<QWidget*>(QString::fromUtf8(row.field));
        EXPECT_TRUE(Shown(field) == expected);
        EXPECT_EQ(Seen(""), "");
        CloseEditor();
        Report(row.name, sees + "; loads back unchanged");
    }
    // The statement inside a text did nothing: every order is still there.
    EXPECT_EQ(ledger->Rows("select count(*) from 订单列表")[0][0],
              std::to_string(2 + std::size(rows)));
}

TEST_F(BadInput, SearchFieldsTakeAnyLengthAndWildcards) {
    ledger->AddOrder({{"商品名称", "围巾"}, {"备注", "问题：破损"}});
    ledger->AddOrder({{"商品名称", "手套"}, {"备注", "100%满意"}});
    struct Row {
        const char* name;
        std::string text;
        const char* sees;
    };
    const Row rows[] = {
        {"a percent sign alone (like's wildcard)", "%", "lists 2"},
        {"an underscore alone (any one character)", "_", "lists 2"},
        {"a single quote alone", "'", "lists 0"},
        {"10,000 characters", Repeat("中", 10000), "lists 0"},
        {"10,000 characters outside GBK (40,000 bytes)", Repeat("😀", 10000), "lists 0"},
        {"32,767 characters, the most an edit box takes (98,301 bytes)", Repeat("中", 40000),
         "message \"数据库操作失败：[SQLite]LIKE or GLOB pattern too complex (1)\""},
    };
    OrdersWindow& window = Main();
    std::cout << "typed into the remark search field:" << std::endl;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const auto start = Clock::now();
        const int listed = Search(window, Named<QLineEdit>(window, "编辑框6"), row.text);
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        const std::string seen = Seen("lists " + std::to_string(listed));
        EXPECT_EQ(seen, row.sees);
        EXPECT_TRUE(exits.empty());
        // Well under a second on an idle machine.
        Report(row.name, seen + " (" + std::to_string(seconds).substr(0, 4) + " s)");
    }
}

TEST_F(BadInput, PricesThatAreNoPlainNumbers) {
    struct Row {
        const char* name;
        std::string sale, purchase, commission;
        const char* profit;  // what the profit field shows
    };
    const Row rows[] = {
        {"full-width digits", "１２３．５", "２３", "", "100.5"},
        {"1e400 (beyond a double)", "1e400", "1", "", "inf"},
        {"-1e400 against 1e400", "1e400", "1e400", "", "nan"},
        {"letters", "abc", "1", "2", "1"},
        {"d as exponent letter", "1d3", "0", "", "1000"},
    };
    std::cout << "typed into the price fields:" << std::endl;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EditorWindow* editor = OpenEditorFor("添加", 0);
        ASSERT_NE(editor, nullptr);
        Type(Named<QWidget>(editor, "编辑框6"), row.sale);
        Type(Named<QWidget>(editor, "编辑框9"), row.purchase);
        Type(Named<QWidget>(editor, "编辑框10"), row.commission);
        const std::string profit = Shown(Named<QWidget>(editor, "编辑框11"));
        EXPECT_EQ(profit, row.profit);
        Named<QPushButton>(editor, "按钮1")->click();
        EXPECT_EQ(Seen(""), "message \"添加成功\"");
        EXPECT_EQ(LastStored("售价"), row.sale);
        EXPECT_EQ(LastStored("利润"), row.profit);
        Report(row.name, "profit shows \"" + profit + "\", the prices are stored as typed");
    }
    // The totals add what SQLite reads as numbers: full-width digits, letters
    // and the texts inf and nan count as 0, 1e400 as infinity.
    OrdersWindow& window = Main();
    Named<QPushButton>(window, "查询按钮")->click();
    const std::string totals = Named<QLabel>(window, "标签10")->text().toStdString();
    EXPECT_EQ(Seen(""), "");
    EXPECT_EQ(totals,
              "记录：当前有5单  总售价：inf元  总进价：inf元  总佣金：2元  总利润：1101.5元");
    Report("the totals line over these orders", totals);
}

TEST_F(BadInput, SettingsFilesThatAreNoSettingsFile) {
    const std::string path = ledger->Directory() + "/config.ini";
    const std::string lists =
        Gbk("[zhanghaoinfo]\r\nzhanghao=店铺甲|店铺乙\r\n[kuaidiinfo]\r\nkuaidi=顺丰#圆通\r\n");
    std::mt19937 random(3);
    std::string binary(1 << 16, '\0');
    for (char& c : binary) c = static_cast<char>(random());
    struct Row {
        const char* name;
        std::function<void()> make;
        int accounts;    // items the account pick list gets
        bool writeKept;  // a sign-in's write reads back
    };
    const Row rows[] = {
        {"70 MB, beyond what a settings file can be",
         [&] {
             std::ofstream out(path, std::ios::binary);
             out << lists << std::string(70u << 20, ';');
         },
         0, false},
        {"20 MB of comment lines, the lists at the end",
         [&] {
             std::ofstream out(path, std::ios::binary);
             for (int i = 0; i < 200000; ++i) out << Repeat(";", 98) << "\r\n";
             out << lists;
         },
         2, true},
        {"64 KB of random bytes", [&] { std::ofstream(path, std::ios::binary) << binary; }, 0,
         true},
        {"random bytes, then the lists",
         [&] { std::ofstream(path, std::ios::binary) << binary << "\r\n"
                                                     << lists; }, 2, true},
        {"a directory", [&] { std::filesystem::create_directory(path); }, 0, false},
        {"10,000 sections, the lists last",
         [&] {
             std::ofstream out(path, std::ios::binary);
             for (int i = 0; i < 10000; ++i) out << "[s" << i << "]\r\nk=v\r\n";
             out << lists;
         },
         2, true},
        {"bytes that are not GBK in the list",
         [&] {
             std::ofstream(path, std::ios::binary)
                 << "[zhanghaoinfo]\r\nzhanghao=\xFF\xFE|\x80\x81|ok\r\n";
         },
         3, true},
        {"NUL bytes inside the value",
         [&] {
             std::ofstream(path, std::ios::binary)
                 << std::string("[zhanghaoinfo]\r\nzhanghao=a|b\0|c\r\n", 32);
         },
         2, true},
    };
    std::cout << "config.ini:" << std::endl;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::filesystem::remove_all(path);
        row.make();
        const auto start = Clock::now();
        OrdersWindow& window = Main();
        const int accounts = Named<QComboBox>(window, "组合框1")->count();
        QStringList shown;
        for (int i = 0; i < accounts; ++i)
            shown << Named<QComboBox>(window, "组合框1")->itemText(i);
        EditorWindow* editor = OpenEditorFor("添加", 0);
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(Named<QComboBox>(editor, "组合框1")->count(), accounts);
        // The sign-in writes the user name as the login window does.
        WriteSetting("sysuser", "username", Gbk("用户😀"), SettingsPath());
        const bool kept = ReadSetting(SettingsPath(), "sysuser", "username") == Gbk("用户😀");
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        EXPECT_EQ(accounts, row.accounts);
        EXPECT_EQ(kept, row.writeKept);
        EXPECT_EQ(Seen(""), "");
        // Under a second on an idle machine, as the report shows.
        Report(row.name, "account list [" + shown.join("|").toStdString() + "], the sign-in " +
                             (kept ? "remembers" : "cannot remember") + " the user (" +
                             std::to_string(seconds).substr(0, 4) + " s)");
    }
    std::filesystem::remove_all(path);
}

TEST_F(BadInput, LedgerTextsThatAreNoValidText) {
    // Written by another tool: bytes that are no UTF-8, a NUL inside a text.
    ledger->Exec("insert into 订单列表(商品名称, 备注) values(cast(X'FF41FE' as text), '坏')");
    ledger->Exec("insert into 订单列表(商品名称, 备注) values('a' || char(0) || 'b', 'NUL')");
    struct Row {
        const char* name;
        const char* remark;
        const char* shows;   // in the list and the editor
        const char* stored;  // hex of the text after the order is stored again
    };
    const Row rows[] = {
        {"bytes that are no UTF-8", "坏", "\uFFFDA\uFFFD", "efbfbd41efbfbd"},
        {"a NUL inside the text", "NUL", "a", "61"},
    };
    OrdersWindow& window = Main();
    Named<QPushButton>(window, "查询按钮")->click();
    std::cout << "texts in the ledger:" << std::endl;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string id = ledger->Rows(std::string("select ID from 订单列表 where 备注='") +
                                            row.remark + "'")[0][0];
        const int listed = ListedRow(window, id);
        ASSERT_GE(listed, 0);
        EXPECT_EQ(
            GbkToUtf8(Named<OrderListView>(window, "信息列表框")->List()->ItemText(listed, 5)),
            row.shows);
        EditorWindow* editor = OpenEditorFor("修改", std::stoi(id));
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(Shown(Named<QWidget>(editor, "编辑框3")), row.shows);
        Named<QPushButton>(editor, "按钮3")->click();
        EXPECT_EQ(Seen(""), "message \"修改成功！\"");
        const std::string stored =
            ledger->Rows("select hex(商品名称) from 订单列表 where ID=" + id)[0][0];
        std::string lower;
        for (char c : stored)
            lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        EXPECT_EQ(lower, row.stored);
        Report(row.name, std::string("list and editor show \"") + row.shows +
                             "\", stored again as hex " + lower);
    }
}

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The order table with every column the program names, then more.
std::string OrderTableWith(const std::string& extra) {
    std::string sql = "create table 订单列表(ID INTEGER PRIMARY KEY AUTOINCREMENT";
    for (const char* column : kOrderTextColumnNames)
        sql += std::string(", ") + column + " TEXT NOT NULL DEFAULT ''";
    return sql + ", " + extra + ");";
}

TEST_F(BadInput, LedgerFilesThatAreNoLedger) {
    const std::string file = ledger->DatabaseFile();
    const auto make = [&](const std::string& statements) {
        std::filesystem::remove(file);
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db, statements.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    };
    std::mt19937 random(5);
    struct Row {
        const char* name;
        std::function<void()> make;
        const char* query;  // a part of the list query's message; null: lists
        const char* add;    // a part of the add's message
    };
    const Row rows[] = {
        {"an empty file (0 bytes)", [&] { std::ofstream(file, std::ios::binary); },
         "no such table: 订单列表", "no such table: 订单列表"},
        {"16 KB of random bytes",
         [&] {
             std::string bytes(16384, '\0');
             for (char& c : bytes) c = static_cast<char>(random());
             std::ofstream(file, std::ios::binary) << bytes;
         },
         "file is not a database", "file is not a database"},
        {"an SQLite file without 订单列表",
         [&] {
             make("create table sysuser(ID INTEGER PRIMARY KEY, username TEXT, password TEXT);");
         },
         "no such table: 订单列表", "no such table: 订单列表"},
        {"订单列表 with extra columns",
         [&] { make(OrderTableWith("备用 TEXT, 数量 INTEGER NOT NULL DEFAULT 1")); }, nullptr,
         "添加成功"},
        {"订单列表 with an extra column that must be filled",
         [&] { make(OrderTableWith("必填 TEXT NOT NULL")); }, nullptr,
         "NOT NULL constraint failed: 订单列表.必填"},
    };
    std::cout << "tallovar.mdb:" << std::endl;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::filesystem::remove(file);
        row.make();
        const std::string before = FileBytes(file);

        OrdersWindow& window = Main();
        Named<QPushButton>(window, "查询按钮")->click();
        const std::string listed =
            std::to_string(Named<OrderListView>(window, "信息列表框")->List()->ItemCount());
        const std::string query = Seen("lists " + listed);
        if (row.query) {
            EXPECT_NE(query.find(std::string("数据库操作失败：")), std::string::npos) << query;
            EXPECT_NE(query.find(row.query), std::string::npos) << query;
        } else {
            EXPECT_EQ(query, "lists 0");
        }
        Add({{"编辑框3", "围巾"}, {"编辑框6", "10"}});
        const std::string add = Seen("");
        EXPECT_NE(add.find(row.add), std::string::npos) << add;
        const bool stored = add.find("添加成功") != std::string::npos;
        // A failed add keeps the form as typed.
        EXPECT_EQ(Shown(Named(OpenEditor(), "编辑框3")), stored ? "" : "围巾");
        std::string fileAfter = "the file stays as it was";
        if (stored) {
            Named<QPushButton>(window, "查询按钮")->click();
            EXPECT_EQ(Named<OrderListView>(window, "信息列表框")->List()->ItemCount(), 1);
            EXPECT_EQ(Seen(""), "");
            fileAfter = "the order is listed afterwards";
        } else {
            EXPECT_TRUE(FileBytes(file) == before) << "the file was changed";
        }
        EXPECT_TRUE(exits.empty());
        Report(row.name, "query: " + query + "; add: " + add + "; " + fileAfter);
    }
}

}  // namespace
