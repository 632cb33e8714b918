// The program killed at random moments while it stores: after every kill the
// ledger is sound, every order whose success message was shown is there with
// every text as typed, and config.ini is either the old or the new file.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <random>
#include <sstream>

#include "child_process.h"
#include "common/text_encoding.h"
#include "driver_protocol.h"
#include "platform/private_profile.h"
#include "store/ledger_schema.h"
#include "test_ledger.h"

namespace {

using Texts = std::array<std::string, 14>;
using Clock = std::chrono::steady_clock;

constexpr int kKills = 20;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// The file's bytes after the program's settings write (section sysuser, as
// the login window writes it), made on a scratch copy.
std::string AfterWrite(const std::string& scratch, const std::string& before,
                       const std::string& key, const std::string& valueUtf8) {
    WriteFile(scratch, before);
    WritePrivateProfileString("sysuser", key, Gbk(valueUtf8), scratch);
    return ReadFile(scratch);
}

class Ledger {
  public:
    explicit Ledger(const std::string& file) {
        if (sqlite3_open(file.c_str(), &db_) != SQLITE_OK) ADD_FAILURE() << "cannot open " << file;
    }
    ~Ledger() { sqlite3_close(db_); }

    std::string IntegrityCheck() const {
        std::string result;
        sqlite3_exec(
            db_, "PRAGMA integrity_check",
            [](void* out, int, char** values, char**) {
                auto& text = *static_cast<std::string*>(out);
                text += (text.empty() ? "" : "; ") + std::string(values[0] ? values[0] : "NULL");
                return 0;
            },
            &result, nullptr);
        return result;
    }

    // The stored texts of every order whose number begins with marker.
    std::vector<Texts> Orders(const std::string& marker) const {
        std::string columns;
        for (const char* column : kOrderTextColumnNames)
            columns += (columns.empty() ? "" : ",") + std::string(column);
        const std::string sql =
            "select " + columns + " from 订单列表 where substr(订单号, 1, ?1) = ?2 order by ID";
        std::vector<Texts> rows;
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
            ADD_FAILURE() << sqlite3_errmsg(db_);
            return rows;
        }
        sqlite3_bind_int(statement, 1, static_cast<int>(marker.size()));  // ASCII
        sqlite3_bind_text(statement, 2, marker.c_str(), -1, SQLITE_TRANSIENT);
        while (sqlite3_step(statement) == SQLITE_ROW) {
            Texts row;
            for (int c = 0; c < 14; ++c) {
                const auto* text = sqlite3_column_text(statement, c);
                row[static_cast<std::size_t>(c)] =
                    text ? std::string(reinterpret_cast<const char*>(text),
                                       static_cast<std::size_t>(sqlite3_column_bytes(statement, c)))
                         : "";
            }
            rows.push_back(row);
        }
        sqlite3_finalize(statement);
        return rows;
    }

  private:
    sqlite3* db_ = nullptr;
};

struct Store {
    std::string kind;   // ADD, MOD or SET
    std::string name;   // the order's marker, or the setting's key
    Texts texts;        // of an order
    std::string value;  // of a setting
};

std::string Describe(const Texts& texts) {
    std::string text;
    for (const std::string& t : texts) text += "[" + t + "]";
    return text;
}

TEST(CrashSafety, NoAcknowledgedOrderIsLostWhenKilledAtRandom) {
    TestLedger ledger;
    const std::string config = ledger.Directory() + "/config.ini";
    const std::string scratch = ledger.Directory() + "/scratch.ini";
    std::string expectedConfig = Gbk(
        "[zhanghaoinfo]\r\nzhanghao=店铺甲|店铺乙|店铺丙\r\n[kuaidiinfo]\r\nkuaidi=顺丰#圆通\r\n"
        "[sysuser]\r\nusername=admin\r\npassword=admin\r\n");
    WriteFile(config, expectedConfig);

    const char* seedText = std::getenv("TALLOVAR_CRASH_SEED");
    const unsigned seed =
        seedText ? static_cast<unsigned>(std::strtoul(seedText, nullptr, 10)) : 1907;
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delay(0, 900);

    std::map<std::string, Texts> acknowledged;  // every run's acknowledged orders, by marker
    int survived = 0, acknowledgements = 0, changesAcknowledged = 0, settingsAcknowledged = 0,
        lost = 0, storedUnacknowledged = 0, killedMidStore = 0, hotJournals = 0;
    const auto testStart = Clock::now();
    for (int kill = 0; kill < kKills; ++kill) {
        SCOPED_TRACE("kill " + std::to_string(kill));
        const unsigned childSeed = seed * 100 + static_cast<unsigned>(kill);
        ChildProcess child(TALLOVAR_LEDGER_DRIVER, {"stream", std::to_string(childSeed)},
                           ledger.Directory());
        std::optional<std::string> line;
        while ((line = child.ReadLine(Clock::now() + std::chrono::seconds(30))) &&
               *line != "READY") {
        }
        ASSERT_TRUE(line) << "the driver did not start";

        std::optional<Store> inFlight;
        int runAcknowledged = 0;
        bool failed = false;
        const auto handle = [&](const std::string& text) {
            const std::vector<std::string> words = SplitWords(text);
            if (words.empty()) return;
            if (words[0] == "FAIL") {
                ADD_FAILURE() << "driver: " << FromHex(words.size() > 1 ? words[1] : "");
                failed = true;
            } else if (words[0] == "TRY" && words.size() >= 4) {
                Store store{words[1], words[2], {}, {}};
                if (store.kind == "SET") {
                    store.value = FromHex(words[3]);
                } else {
                    store.name = "K" + std::to_string(childSeed) + "-" + words[2] + "-";
                    for (std::size_t i = 0; i < 14 && i + 3 < words.size(); ++i) {
                        store.texts[i] = FromHex(words[i + 3]);
                    }
                }
                inFlight = store;
            } else if (words[0] == "ACK" && inFlight) {
                if (inFlight->kind == "SET") {
                    expectedConfig =
                        AfterWrite(scratch, expectedConfig, inFlight->name, inFlight->value);
                    ++settingsAcknowledged;
                } else {
                    acknowledged[inFlight->name] = inFlight->texts;
                    if (inFlight->kind == "ADD") {
                        ++acknowledgements;
                        ++runAcknowledged;
                    } else {
                        ++changesAcknowledged;
                    }
                }
                inFlight.reset();
            }
        };
        const auto killAt = Clock::now() + std::chrono::milliseconds(delay(random));
        while (auto next = child.ReadLine(killAt)) handle(*next);
        child.Kill(SIGKILL);
        for (const std::string& rest : child.ReadAll(Clock::now() + std::chrono::seconds(10))) {
            handle(rest);
        }
        const int status = child.Wait();
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
            << "the driver ended by itself, status " << status;
        if (failed) break;
        if (inFlight) ++killedMidStore;

        // A journal left behind means the kill came inside a transaction; the
        // next opening rolls it back.
        std::error_code noJournal;
        const auto journal =
            std::filesystem::file_size(ledger.DatabaseFile() + "-journal", noJournal);
        if (!noJournal && journal > 0) ++hotJournals;
        Ledger stored(ledger.DatabaseFile());
        const std::string integrity = stored.IntegrityCheck();
        EXPECT_EQ(integrity, "ok");
        int lostNow = 0;
        for (auto& [marker, texts] : acknowledged) {
            const std::vector<Texts> rows = stored.Orders(marker);
            const bool changing = inFlight && inFlight->kind == "MOD" && inFlight->name == marker;
            if (rows.size() == 1 && rows[0] == texts) continue;
            if (rows.size() == 1 && changing && rows[0] == inFlight->texts) {
                texts = inFlight->texts;  // stored, the message not yet shown
                continue;
            }
            ++lostNow;
            ADD_FAILURE() << marker << ": " << rows.size() << " rows; acknowledged "
                          << Describe(texts)
                          << (rows.empty() ? "" : ", stored " + Describe(rows[0]));
        }
        lost += lostNow;
        if (inFlight && inFlight->kind == "ADD") {
            const std::vector<Texts> rows = stored.Orders(inFlight->name);
            EXPECT_LE(rows.size(), 1u);
            if (!rows.empty()) {
                // Stored whole or not at all.
                EXPECT_EQ(rows[0], inFlight->texts) << inFlight->name;
                ++storedUnacknowledged;
            }
        }
        const std::string runMarker = "K" + std::to_string(childSeed) + "-";
        EXPECT_EQ(static_cast<int>(stored.Orders(runMarker).size()),
                  runAcknowledged +
                      (inFlight && inFlight->kind == "ADD" && !stored.Orders(inFlight->name).empty()
                           ? 1
                           : 0));

        // config.ini is the file before the interrupted write or after it.
        const std::string onDisk = ReadFile(config);
        if (onDisk != expectedConfig) {
            const bool wholeNewFile =
                inFlight && inFlight->kind == "SET" &&
                onDisk == AfterWrite(scratch, expectedConfig, inFlight->name, inFlight->value);
            EXPECT_TRUE(wholeNewFile) << "config.ini is neither the old nor the new file:\n"
                                      << GbkToUtf8(onDisk);
            if (wholeNewFile) expectedConfig = onDisk;
        }
        if (integrity == "ok" && lostNow == 0) ++survived;
        if (HasFailure()) break;
    }

    int strayFiles = 0;
    for (const auto& entry : std::filesystem::directory_iterator(ledger.Directory())) {
        if (entry.path().filename().string().starts_with(".config.ini.tmp")) ++strayFiles;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - testStart).count();
    std::cout << "crash safety (seed " << seed << "): kills survived " << survived << "/" << kKills
              << ", new orders acknowledged " << acknowledgements << ", changes acknowledged "
              << changesAcknowledged << ", orders lost " << lost
              << ", killed with a store under way " << killedMidStore << " (inside a transaction "
              << hotJournals << ")"
              << ", stored but not yet acknowledged " << storedUnacknowledged
              << ", settings writes acknowledged " << settingsAcknowledged
              << ", unfinished settings files left beside config.ini " << strayFiles << ", "
              << seconds << " s" << std::endl;
    RecordProperty("kills_survived", survived);
    RecordProperty("orders_acknowledged", acknowledgements);
    RecordProperty("orders_lost", lost);
    EXPECT_EQ(survived, kKills);
    EXPECT_EQ(lost, 0);
    EXPECT_GT(acknowledgements, kKills);
}

}  // namespace
