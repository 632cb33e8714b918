// Every database action of the program against a ledger that another program
// holds locked, or that is deleted, replaced by a folder or a named pipe,
// emptied, made unreadable or read-only, or overwritten while the program
// runs. Each row says what the user sees. The program runs in child processes, side by
// side, as the user nobody (so that permissions bite although tests run as
// root).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <iostream>
#include <map>
#include <memory>

#include "child_process.h"
#include "driver_protocol.h"
#include "test_ledger.h"

namespace {

using Clock = std::chrono::steady_clock;

// The driver damages the ledger after listing it and loading order 1; the
// second action of a lock row runs once the lock is gone.
struct Row {
    const char* damage;
    const char* action;
    // What the last message box says (a part of it): the error, or the
    // success message, or nothing but the confirmation when null.
    const char* sees;
    // A STATE line the step must report, when not null.
    const char* state;
};

const Row kRows[] = {
    // Another program holds the ledger in an exclusive transaction.
    {"lock", "query", "database is locked", "listed 0"},
    {"lock", "delete", "database is locked", "listed 0"},
    {"lock", "modify", "database is locked", "editor open"},
    {"lock", "add", "database is locked", "editor open"},
    {"lock", "load", "database is locked", "按钮3 disabled"},
    // Another program is writing: the list still reads, storing waits.
    {"writing", "query", nullptr, "listed 2"},
    {"writing", "add", "database is locked", "editor open"},
    // The file is deleted: the list query says so and ends the program; the
    // delete runs on the connection the list left open, fails, and the list
    // filled anew meets the missing file.
    {"deleted", "delete", "数据库不存在", "EXIT 0"},
    {"deleted", "modify", "No such file or directory", "editor open"},
    {"deleted", "add", "No such file or directory", "editor open"},
    {"deleted", "load", "No such file or directory", "按钮3 disabled"},
    {"deleted", "query", "数据库不存在", "EXIT 0"},
    {"directory", "delete", "Is a directory", "listed 0"},
    {"directory", "modify", "Is a directory", "editor open"},
    {"directory", "add", "Is a directory", "editor open"},
    {"directory", "load", "Is a directory", "按钮3 disabled"},
    {"directory", "query", "Is a directory", "listed 0"},
    // A named pipe in its place: nothing may wait for a writer that never comes.
    {"fifo", "delete", "not a regular file", "listed 0"},
    {"fifo", "modify", "not a regular file", "editor open"},
    {"fifo", "add", "not a regular file", "editor open"},
    {"fifo", "load", "not a regular file", "按钮3 disabled"},
    {"fifo", "query", "not a regular file", "listed 0"},
    // Emptied to 0 bytes: SQLite takes it for a new, empty database.
    {"emptied", "delete", "no such table: 订单列表", "listed 0"},
    {"emptied", "modify", "no such table: 订单列表", "editor open"},
    {"emptied", "add", "no such table: 订单列表", "editor open"},
    {"emptied", "load", "no such table: 订单列表", "按钮3 disabled"},
    {"emptied", "query", "no such table: 订单列表", "listed 0"},
    {"garbage", "delete", "file is not a database", "listed 0"},
    {"garbage", "modify", "file is not a database", "editor open"},
    {"garbage", "add", "file is not a database", "editor open"},
    {"garbage", "load", "file is not a database", "按钮3 disabled"},
    {"garbage", "query", "file is not a database", "listed 0"},
    // Unreadable: the delete still goes through the connection opened
    // before, then the refresh cannot open the file.
    {"unreadable", "delete", "Permission denied", "listed 0"},
    {"unreadable", "modify", "Permission denied", "editor open"},
    {"unreadable", "add", "Permission denied", "editor open"},
    {"unreadable", "load", "Permission denied", "按钮3 disabled"},
    {"unreadable", "query", "Permission denied", "listed 0"},
    // Read-only: everything reads, nothing new is written; the delete goes
    // through the connection opened before the change.
    {"readonly", "delete", nullptr, "listed 1"},
    {"readonly", "modify", "attempt to write a readonly database", "editor open"},
    {"readonly", "add", "attempt to write a readonly database", "editor open"},
    {"readonly", "load", nullptr, "按钮3 enabled"},
    {"readonly", "query", nullptr, "listed 1"},
};

// What one action showed.
struct Step {
    std::string action;
    long milliseconds = -1;
    std::vector<std::pair<std::string, std::string>> boxes;  // title, text
    std::vector<std::string> states;
    std::map<std::string, std::string> fields;
};

std::vector<Step> ParseSteps(const std::vector<std::string>& lines, bool& ended,
                             std::string& failure) {
    std::vector<Step> steps;
    Step current;
    bool ready = false;
    for (const std::string& line : lines) {
        const std::vector<std::string> words = SplitWords(line);
        if (words.empty()) continue;
        if (words[0] == "READY") {
            ready = true;
            current = {};
        } else if (words[0] == "FAIL") {
            failure = FromHex(words.size() > 1 ? words[1] : "");
        } else if (words[0] == "END") {
            ended = true;
        } else if (!ready) {
            continue;
        } else if (words[0] == "BOX" && words.size() == 3) {
            current.boxes.emplace_back(FromHex(words[1]), FromHex(words[2]));
        } else if (words[0] == "STATE") {
            current.states.push_back(line.substr(6));
        } else if (words[0] == "FIELD" && words.size() == 3) {
            current.fields[words[1]] = FromHex(words[2]);
        } else if (words[0] == "EXIT") {
            current.states.push_back(line);
        } else if (words[0] == "STEP" && words.size() == 3) {
            current.action = words[1];
            current.milliseconds = std::stol(words[2]);
            steps.push_back(current);
            current = {};
        }
    }
    return steps;
}

bool Contains(const std::vector<std::string>& states, const std::string& wanted) {
    for (const std::string& state : states) {
        if (state.find(wanted) != std::string::npos) return true;
    }
    return false;
}

// A message that is no question: the outcome the user reads.
std::string Outcome(const Step& step) {
    for (auto it = step.boxes.rbegin(); it != step.boxes.rend(); ++it) {
        if (it->first != "提示") return it->first + "：" + it->second;
    }
    return "(no message)";
}

struct ChildRun {
    std::string damage;
    std::vector<std::string> actions;
    std::unique_ptr<TestLedger> ledger;
    std::unique_ptr<ChildProcess> child;
};

TEST(DamagedLedger, EveryActionWaitsAtMostFiveSecondsThenSaysWhyAndKeepsWhatWasTyped) {
    if (!ChildProcess::CanRunAsNobody()) {
        std::cout << "not root: the permission rows run as the current user" << std::endl;
    }
    // One child per lock row (each waits out the lock), one per other damage.
    std::vector<ChildRun> runs;
    std::map<std::string, std::size_t> runOfDamage;
    for (const Row& row : kRows) {
        const std::string damage = row.damage;
        if (damage == "lock") {
            runs.push_back({damage, {row.action, "recover"}, nullptr, nullptr});
        } else if (runOfDamage.count(damage)) {
            runs[runOfDamage[damage]].actions.push_back(row.action);
        } else {
            runOfDamage[damage] = runs.size();
            runs.push_back({damage, {row.action}, nullptr, nullptr});
        }
    }
    runs[runOfDamage["writing"]].actions.push_back("recover");

    const auto start = Clock::now();
    for (ChildRun& run : runs) {
        run.ledger = std::make_unique<TestLedger>();
        run.ledger->AddOrder(
            {{"卖家账号", "店铺甲"}, {"商品名称", "围巾"}, {"订单日期", "2015-1-2"}});
        run.ledger->AddOrder(
            {{"卖家账号", "店铺乙"}, {"商品名称", "手套"}, {"订单日期", "2015-1-1"}});
        std::vector<std::string> arguments{"actions", run.damage};
        arguments.insert(arguments.end(), run.actions.begin(), run.actions.end());
        run.child = std::make_unique<ChildProcess>(TALLOVAR_LEDGER_DRIVER, arguments,
                                                   run.ledger->Directory(), true);
    }

    std::map<std::pair<std::string, std::string>, Step> stepOf;
    for (ChildRun& run : runs) {
        SCOPED_TRACE(run.damage);
        const std::vector<std::string> lines =
            run.child->ReadAll(Clock::now() + std::chrono::seconds(60));
        const int status = run.child->Wait();
        bool ended = false;
        std::string failure;
        const std::vector<Step> steps = ParseSteps(lines, ended, failure);
        EXPECT_TRUE(failure.empty()) << failure;
        EXPECT_TRUE(ended) << "the program did not get through its actions";
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
        ASSERT_EQ(steps.size(), run.actions.size());
        for (std::size_t i = 0; i < steps.size(); ++i) {
            if (run.actions[i] == "recover") {
                // The lock is gone: the same click now does its work, with
                // what the form had kept.
                const Step& step = steps[i];
                const std::string& failed = run.actions[i - 1];
                SCOPED_TRACE("after the lock, " + failed);
                EXPECT_EQ(Outcome(step).find("数据库操作失败"), std::string::npos) << Outcome(step);
                if (failed == "query") {
                    EXPECT_TRUE(Contains(step.states, "listed 2"));
                } else if (failed == "delete") {
                    EXPECT_TRUE(Contains(step.states, "listed 1"));
                } else if (failed == "modify") {
                    EXPECT_EQ(Outcome(step), "信息：：修改成功！");
                } else if (failed == "add") {
                    EXPECT_EQ(Outcome(step), "信息：：添加成功");
                } else if (failed == "load") {
                    EXPECT_TRUE(Contains(step.states, "按钮3 enabled"));
                }
                continue;
            }
            stepOf[{run.damage, run.actions[i]}] = steps[i];
        }
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();

    long longest = 0;
    for (const Row& row : kRows) {
        SCOPED_TRACE(std::string(row.damage) + " " + row.action);
        const auto found = stepOf.find({row.damage, row.action});
        if (found == stepOf.end()) {
            ADD_FAILURE() << "no step";
            continue;
        }
        Step& step = found->second;
        longest = std::max(longest, step.milliseconds);
        // Each database action waits at most 5 s; a failed delete is followed
        // by the list filled anew, which waits once more.
        const bool twoActions =
            std::string(row.damage) == "lock" && std::string(row.action) == "delete";
        EXPECT_LE(step.milliseconds, twoActions ? 11000 : 6000);
        const std::string outcome = Outcome(step);
        std::cout << row.damage << " / " << row.action << " (" << step.milliseconds
                  << " ms): " << outcome << std::endl;
        if (row.sees) {
            EXPECT_NE(outcome.find(row.sees), std::string::npos) << outcome;
            if (std::string(row.sees) != "数据库不存在") {
                EXPECT_EQ(outcome.rfind("错误：数据库操作失败：", 0), 0u) << outcome;
            }
        } else {
            EXPECT_EQ(outcome, "(no message)");
        }
        if (row.state) {
            EXPECT_TRUE(Contains(step.states, row.state)) << row.state;
        }
        // A failed store leaves every typed text in the form.
        if (row.sees && std::string(row.action) == "modify") {
            EXPECT_EQ(step.fields["编辑框3"], "改过的商品😀");
        }
        if (row.sees && std::string(row.action) == "add") {
            EXPECT_EQ(step.fields["编辑框3"], "新订单𠀀");
            EXPECT_EQ(step.fields["编辑框6"], "12");
        }
    }
    std::cout << std::size(kRows) << " cases in " << runs.size() << " programs side by side, "
              << seconds << " s; longest wait " << longest << " ms" << std::endl;
    // Each ledger gives the current directory back to the one before it.
    while (!runs.empty()) runs.pop_back();
}

}  // namespace
