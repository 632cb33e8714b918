// A child program for the reliability tests: the real windows, offscreen, on
// the ledger in its current directory (which is also its program directory,
// so config.ini lies there too). Every message box is answered Yes or OK and
// reported on standard output (see driver_protocol.h), unbuffered, so that a
// line the parent has read was written before anything that followed it.
//
//   ledger_driver stream <seed>
//       Stores orders through the editor's buttons, without end: new orders,
//       changes to orders stored before, and sign-in settings written as the
//       login window writes them. Before each store: TRY ADD|MOD <n> <14 texts>
//       or TRY SET <key> <text>; once the success message is shown (or
//       WriteSetting has returned): ACK ADD|MOD <n> or ACK SET <key>.
//   ledger_driver actions <damage> <action>...
//       Opens the main window and lists the ledger, opens order 1 for
//       modifying and types into it, then damages the ledger (none, lock,
//       writing, deleted, directory, fifo, emptied, unreadable, readonly,
//       garbage)
//       and runs
//       each action (query, delete, modify, add, load, recover): STEP <action>
//       <milliseconds>, then a BOX line per message and FIELD/STATE lines.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "app/process_end.h"
#include "app/program_state.h"
#include "common/message_box.h"
#include "common/text_encoding.h"
#include "driver_protocol.h"
#include "platform/files.h"
#include "store/database.h"
#include "store/settings.h"
#include "ui/editor/editor_parts.h"
#include "ui/editor/editor_window.h"
#include "ui/message_box_window.h"
#include "ui/orders/orders_window.h"
#include "ui/window_frame.h"
#include "ui_editor.h"
#include "window_steps.h"

namespace {

void Say(const std::string& line) {
    std::string text = line + "\n";
    const char* data = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        const ssize_t written = write(STDOUT_FILENO, data, left);
        if (written <= 0) std::_Exit(3);  // the parent is gone
        data += written;
        left -= static_cast<std::size_t>(written);
    }
}

[[noreturn]] void Fail(const std::string& why) {
    Say("FAIL " + ToHex(why));
    std::_Exit(2);
}

// The fields in the order the statements take them.
std::vector<QWidget*> Fields(EditorWindow& editor) {
    Ui::EditorForm& ui = *editor.ui;
    return {ui.组合框1, ui.编辑框5, ui.组合框2, ui.编辑框2, ui.编辑框7,  ui.编辑框3,  ui.组合框3,
            ui.编辑框4, ui.编辑框8, ui.编辑框6, ui.编辑框9, ui.编辑框10, ui.编辑框11, ui.编辑框1};
}

// ---- stream ----------------------------------------------------------------

using Texts = std::array<std::string, 14>;

// Pieces that order texts are made of: Chinese, quotes, backslashes, like
// wildcards, characters GBK lacks (kept through GB18030), an SQL injection.
const char* const kPieces[] = {"店铺甲",
                               "羊毛围巾",
                               "北京市海淀区",
                               "O'Neil",
                               "''",
                               "\"双引号\"",
                               "C:\\路径\\",
                               "100%",
                               "a_b",
                               "😀",
                               "𠀀𠀁",
                               "한국어",
                               "€",
                               "日本語テキスト",
                               "Ünïcödé",
                               "\t",
                               " ",
                               "·",
                               "🀄麻将",
                               "֍",
                               "ӁԀ",
                               "顺丰",
                               "x|y#z",
                               "[sysuser]",
                               "=",
                               "问题订单",
                               "');drop table 订单列表;--"};

std::string RandomText(std::mt19937& random, int maxPieces) {
    std::string text;
    const int count = std::uniform_int_distribution<int>(0, maxPieces)(random);
    for (int i = 0; i < count; ++i) {
        text +=
            kPieces[std::uniform_int_distribution<std::size_t>(0, std::size(kPieces) - 1)(random)];
    }
    return text;
}

std::string RandomPrice(std::mt19937& random) {
    static const char* const prices[] = {"12.5", "0", "１２３．５", "", "99", "1e400", "-3", "abc"};
    return prices[std::uniform_int_distribution<std::size_t>(0, std::size(prices) - 1)(random)];
}

Texts RandomOrder(std::mt19937& random, const std::string& marker) {
    Texts texts;
    for (std::size_t i = 0; i < texts.size(); ++i) texts[i] = RandomText(random, 3);
    texts[1] = marker + RandomText(random, 2);  // 订单号 names the order
    texts[4] = "2015-1-" + std::to_string(std::uniform_int_distribution<int>(1, 28)(random));
    for (std::size_t i : {9u, 10u, 11u}) texts[i] = RandomPrice(random);
    // The remark spans lines and is sometimes long, so that a store takes
    // more than a page of the file. Its line break is CR LF, as the
    // multi-line box gives and stores it.
    texts[13] = RandomText(random, 4) + "\r\n" + RandomText(random, 2);
    if (std::uniform_int_distribution<int>(0, 9)(random) == 0) {
        texts[13] +=
            std::string(
                static_cast<std::size_t>(std::uniform_int_distribution<int>(1000, 20000)(random)),
                'x') +
            "尾";
    }
    return texts;
}

std::string TextsLine(const Texts& texts) {
    std::string line;
    for (const std::string& text : texts) line += " " + ToHex(text);
    return line;
}

void TypeOrder(EditorWindow& editor, const Texts& texts) {
    const std::vector<QWidget*> fields = Fields(editor);
    // The profit follows the prices as they are typed; the user may then
    // type over it, so it comes last.
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i != 12) Type(fields[i], texts[i]);
    }
    Type(fields[12], texts[12]);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (Shown(fields[i]) != texts[i]) {
            Fail("field " + std::to_string(i) + " shows " + Shown(fields[i]) + " for " + texts[i]);
        }
    }
}

std::int32_t FindOrderId(const std::string& marker) {
    DatabaseConnection lookup;
    if (!lookup.OpenMdbFile(DatabasePath())) Fail("lookup: " + GbkToUtf8(lookup.LastError()));
    const std::int32_t set =
        lookup.OpenTable(Gbk("select ID from 订单列表 where 订单号 like '" + marker + "%'"));
    if (set == 0 || lookup.IsEOF(set)) Fail("order " + marker + " not found");
    return static_cast<std::int32_t>(lookup.ReadColByIndex(set, 1).integer);
}

int RunStream(unsigned seed) {
    std::mt19937 random(seed);
    std::string pending;  // the ACK line due when the success message shows
    SetMessageBoxForTesting([&](const std::string& text, int flags, const std::string&) {
        const std::string utf8 = GbkToUtf8(text);
        if (utf8 == "添加成功" || utf8 == "修改成功！") {
            if (pending.empty()) Fail("success shown with nothing pending: " + utf8);
            Say(pending);
            pending.clear();
        } else if ((flags & 0xF) != kMbYesNo) {
            Fail("unexpected message: " + utf8);
        }
        return (flags & 0xF) == kMbYesNo ? kAnswerYes : kAnswerOk;
    });

    std::map<int, Texts> acknowledged;  // this run's orders, by number
    std::vector<int> numbers;
    Say("READY");
    const auto start = std::chrono::steady_clock::now();
    for (int n = 0; std::chrono::steady_clock::now() - start < std::chrono::seconds(60); ++n) {
        const int choice = std::uniform_int_distribution<int>(0, 99)(random);
        if (choice < 12) {
            const char* key = choice % 2 ? "username" : "password";
            const std::string value = RandomText(random, 3);
            Say(std::string("TRY SET ") + key + " " + ToHex(value));
            WriteSetting("sysuser", key, Gbk(value), SettingsPath());
            Say(std::string("ACK SET ") + key);
        } else if (choice < 27 && !numbers.empty()) {
            const int number =
                numbers[std::uniform_int_distribution<std::size_t>(0, numbers.size() - 1)(random)];
            const Texts& before = acknowledged[number];
            const std::string marker =
                "K" + std::to_string(seed) + "-" + std::to_string(number) + "-";
            EditorWindow* editor = OpenEditorFor("修改", FindOrderId(marker));
            if (!editor) Fail("no editor for modifying");
            const std::vector<QWidget*> fields = Fields(*editor);
            for (std::size_t i = 0; i < fields.size(); ++i) {
                if (Shown(fields[i]) != before[i]) {
                    Fail("order " + marker + " loads field " + std::to_string(i) + " as " +
                         Shown(fields[i]) + ", stored " + before[i]);
                }
            }
            Texts after = RandomOrder(random, marker);
            after[1] = before[1];
            TypeOrder(*editor, after);
            Say("TRY MOD " + std::to_string(number) + TextsLine(after));
            pending = "ACK MOD " + std::to_string(number);
            editor->ui->按钮3->click();
            if (!pending.empty()) Fail("modify showed no success");
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            acknowledged[number] = after;
        } else {
            EditorWindow* editor = OpenEditor();
            if (!editor) editor = OpenEditorFor("添加", 0);
            if (!editor) Fail("no editor for adding");
            const std::string marker = "K" + std::to_string(seed) + "-" + std::to_string(n) + "-";
            const Texts texts = RandomOrder(random, marker);
            TypeOrder(*editor, texts);
            Say("TRY ADD " + std::to_string(n) + TextsLine(texts));
            pending = "ACK ADD " + std::to_string(n);
            editor->ui->按钮1->click();
            if (!pending.empty()) Fail("add showed no success");
            acknowledged[n] = texts;
            numbers.push_back(n);
        }
    }
    Say("END");
    return 0;
}

// ---- actions ---------------------------------------------------------------

// Another process that holds the ledger locked: the sqlite3 shell inside
// "begin exclusive", kept open until released.
struct LockHolder {
    pid_t pid = -1;
    int input = -1;

    // exclusive: no other connection may read or write; else a writer's
    // lock: others still read, but no one else may write.
    void Take(const std::string& file, bool exclusive) {
        int in[2], out[2];
        if (pipe(in) != 0 || pipe(out) != 0) Fail("pipe");
        pid = fork();
        if (pid == 0) {
            dup2(in[0], STDIN_FILENO);
            dup2(out[1], STDOUT_FILENO);
            close(in[1]);
            close(out[0]);
            execlp("sqlite3", "sqlite3", file.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        close(in[0]);
        close(out[1]);
        input = in[1];
        const std::string commands =
            exclusive ? "begin exclusive;\nselect 'held';\n"
                      : "begin immediate;\ninsert into sysuser(username) values('x');\n"
                        "select 'held';\n";
        if (write(input, commands.data(), commands.size()) < 0) Fail("write to sqlite3");
        std::string answer;
        char c;
        while (answer.find("held") == std::string::npos && read(out[0], &c, 1) == 1) answer += c;
        close(out[0]);
        if (answer.find("held") == std::string::npos) Fail("sqlite3 did not take the lock");
    }

    void Release() {
        if (pid < 0) return;
        const std::string commands = "rollback;\n.quit\n";
        if (write(input, commands.data(), commands.size()) < 0) Fail("write to sqlite3");
        close(input);
        waitpid(pid, nullptr, 0);
        pid = -1;
    }
};

void Damage(const std::string& damage, LockHolder& lock) {
    const std::string file = NativePath(DatabasePath());
    if (damage == "none") return;
    if (damage == "lock") return lock.Take(file, true);
    if (damage == "writing") return lock.Take(file, false);
    if (damage == "deleted") {
        if (unlink(file.c_str()) != 0) Fail("unlink");
    } else if (damage == "directory") {
        if (unlink(file.c_str()) != 0 || mkdir(file.c_str(), 0755) != 0) Fail("mkdir");
    } else if (damage == "fifo") {
        if (unlink(file.c_str()) != 0 || mkfifo(file.c_str(), 0644) != 0) Fail("mkfifo");
    } else if (damage == "emptied") {
        if (truncate(file.c_str(), 0) != 0) Fail("truncate");
    } else if (damage == "unreadable") {
        if (chmod(file.c_str(), 0) != 0) Fail("chmod");
    } else if (damage == "readonly") {
        if (chmod(file.c_str(), 0444) != 0) Fail("chmod");
    } else if (damage == "garbage") {
        std::mt19937 random(7);
        std::string bytes(8192, '\0');
        for (char& c : bytes) c = static_cast<char>(random());
        FILE* f = std::fopen(file.c_str(), "wb");
        if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) Fail("write");
        std::fclose(f);
    } else {
        Fail("unknown damage " + damage);
    }
}

bool SelectOrder(OrdersWindow& window, const std::string& id) {
    const int row = ListedRow(window, id);
    if (row >= 0) window.信息列表框->selectRow(row);
    return row >= 0;
}

void SayEditorState() {
    EditorWindow* editor = OpenEditor();
    Say(std::string("STATE editor ") + (editor ? "open" : "closed"));
    if (!editor) return;
    Say("FIELD 编辑框3 " + ToHex(Shown(editor->ui->编辑框3)));
    Say("FIELD 编辑框6 " + ToHex(Shown(editor->ui->编辑框6)));
    Say(std::string("STATE 按钮3 ") + (editor->ui->按钮3->isEnabled() ? "enabled" : "disabled"));
}

int RunActions(const std::string& damage, const std::vector<std::string>& actions) {
    SetMessageBoxForTesting([](const std::string& text, int flags, const std::string& title) {
        Say("BOX " + ToHex(GbkToUtf8(title)) + " " + ToHex(GbkToUtf8(text)));
        return (flags & 0xF) == kMbYesNo ? kAnswerYes : kAnswerOk;
    });
    SetProcessEndForTesting([](int code) { Say("EXIT " + std::to_string(code)); });

    OpenMainWindow();
    OrdersWindow* window = MainWindow();
    window->查询按钮->click();
    if (window->信息列表框->List()->ItemCount() != 2) Fail("the ledger should list two orders");
    EditorWindow* editor = OpenEditorFor("修改", 1);
    if (!editor) Fail("no editor");
    Type(editor->ui->编辑框3, "改过的商品😀");

    LockHolder lock;
    Damage(damage, lock);
    Say("READY");

    std::function<void()> last;
    for (const std::string& action : actions) {
        std::function<void()> run;
        if (action == "query") {
            run = [&] {
                window->查询按钮->click();
                Say("STATE listed " + std::to_string(window->信息列表框->List()->ItemCount()));
            };
        } else if (action == "delete") {
            run = [&] {
                // A failed refresh leaves the list empty: search again first.
                if (!SelectOrder(*window, "2")) window->查询按钮->click();
                if (!SelectOrder(*window, "2")) Fail("order 2 is not listed");
                window->删除->trigger();
                Say("STATE listed " + std::to_string(window->信息列表框->List()->ItemCount()));
            };
        } else if (action == "modify") {
            run = [&] {
                if (EditorWindow* open = OpenEditor()) open->ui->按钮3->click();
                SayEditorState();
            };
        } else if (action == "add") {
            // The form is filled before the clock starts; the click is timed.
            if (EditorWindow* open = OpenEditor(); !open || open->mode != EditorMode::Add) {
                OpenEditorFor("添加", 0);
            }
            Type(OpenEditor()->ui->编辑框3, "新订单𠀀");
            Type(OpenEditor()->ui->编辑框6, "12");
            run = [&] {
                OpenEditor()->ui->按钮1->click();
                SayEditorState();
            };
        } else if (action == "load") {
            CloseEditor();
            run = [&] {
                OpenEditorFor("修改", 1);
                SayEditorState();
            };
        } else if (action == "recover") {
            // The lock is gone: the same click now stores what the form kept.
            lock.Release();
            run = last;
        } else {
            Fail("unknown action " + action);
        }
        const auto start = std::chrono::steady_clock::now();
        run();
        const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - start);
        Say("STEP " + action + " " + std::to_string(elapsed.count()));
        last = run;
    }
    lock.Release();
    Say("END");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    signal(SIGPIPE, SIG_IGN);
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    ApplyDefaultGuiFont();
    InstallMessageBox(ShowMessageBoxWindow);
    SetProgramDirectoryForTesting(CurrentDirectory());
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 2 && args[0] == "stream") {
        return RunStream(static_cast<unsigned>(std::strtoul(args[1].c_str(), nullptr, 10)));
    }
    if (args.size() >= 2 && args[0] == "actions") {
        return RunActions(args[1], std::vector<std::string>(args.begin() + 2, args.end()));
    }
    std::fprintf(stderr, "usage: ledger_driver stream <seed> | actions <damage> <action>...\n");
    return 1;
}
