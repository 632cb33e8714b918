// Whether what the program was told is stored survives a power loss right
// after it. A file-system layer under SQLite (a VFS wrapping the system's)
// records, for every file of the ledger's folder, what a power loss would
// leave: a file's contents as of its last sync, and a created or deleted
// file's name only once the directory was synced (SQLite syncs it itself on
// the first sync of a new journal, and on a deletion only when asked to).
// After each store the folder is rebuilt as the disk would hold it, opened
// by SQLite (which rolls back any journal it finds) and read.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>

#include "common/text_encoding.h"
#include "ledger_fixture.h"
#include "store/database.h"
#include "store/sqlite_file.h"

namespace {

// path -> contents that would survive; nullopt: the name would be gone.
std::map<std::string, std::optional<std::string>>& Durable() {
    static std::map<std::string, std::optional<std::string>> files;
    return files;
}
std::string& Watched() {
    static std::string folder;
    return folder;
}
sqlite3_vfs* g_system = nullptr;

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool IsWatched(const std::string& path) { return path.starts_with(Watched() + "/"); }

struct ShimFile {
    sqlite3_file base;
    sqlite3_file* real;
    std::string* path;  // null for files outside the folder
};

sqlite3_file* Real(sqlite3_file* file) { return reinterpret_cast<ShimFile*>(file)->real; }

int Close(sqlite3_file* file) {
    auto* shim = reinterpret_cast<ShimFile*>(file);
    const int rc = shim->real->pMethods ? shim->real->pMethods->xClose(shim->real) : SQLITE_OK;
    delete shim->path;
    sqlite3_free(shim->real);
    return rc;
}
int Read(sqlite3_file* f, void* b, int n, sqlite3_int64 at) {
    return Real(f)->pMethods->xRead(Real(f), b, n, at);
}
int Write(sqlite3_file* f, const void* b, int n, sqlite3_int64 at) {
    return Real(f)->pMethods->xWrite(Real(f), b, n, at);
}
int Truncate(sqlite3_file* f, sqlite3_int64 size) {
    return Real(f)->pMethods->xTruncate(Real(f), size);
}
int Sync(sqlite3_file* f, int flags) {
    const int rc = Real(f)->pMethods->xSync(Real(f), flags);
    const std::string* path = reinterpret_cast<ShimFile*>(f)->path;
    if (rc == SQLITE_OK && path) Durable()[*path] = Contents(*path);
    return rc;
}
int FileSize(sqlite3_file* f, sqlite3_int64* size) {
    return Real(f)->pMethods->xFileSize(Real(f), size);
}
int Lock(sqlite3_file* f, int level) { return Real(f)->pMethods->xLock(Real(f), level); }
int Unlock(sqlite3_file* f, int level) { return Real(f)->pMethods->xUnlock(Real(f), level); }
int CheckReservedLock(sqlite3_file* f, int* out) {
    return Real(f)->pMethods->xCheckReservedLock(Real(f), out);
}
int FileControl(sqlite3_file* f, int op, void* arg) {
    return Real(f)->pMethods->xFileControl(Real(f), op, arg);
}
int SectorSize(sqlite3_file* f) { return Real(f)->pMethods->xSectorSize(Real(f)); }
int DeviceCharacteristics(sqlite3_file* f) {
    return Real(f)->pMethods->xDeviceCharacteristics(Real(f));
}

// Version 1: no memory mapping, so every read and write passes here.
const sqlite3_io_methods kMethods = {1,
                                     Close,
                                     Read,
                                     Write,
                                     Truncate,
                                     Sync,
                                     FileSize,
                                     Lock,
                                     Unlock,
                                     CheckReservedLock,
                                     FileControl,
                                     SectorSize,
                                     DeviceCharacteristics};

int Open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
    auto* shim = reinterpret_cast<ShimFile*>(file);
    shim->base.pMethods = nullptr;
    shim->real = static_cast<sqlite3_file*>(sqlite3_malloc(g_system->szOsFile));
    std::memset(shim->real, 0, static_cast<std::size_t>(g_system->szOsFile));
    shim->path = nullptr;
    const int rc = g_system->xOpen(g_system, name, shim->real, flags, outFlags);
    if (rc != SQLITE_OK) {
        sqlite3_free(shim->real);
        return rc;
    }
    if (name && IsWatched(name)) {
        shim->path = new std::string(name);
        // A file made now has no name on disk until a directory sync.
        Durable().try_emplace(*shim->path, std::nullopt);
    }
    shim->base.pMethods = &kMethods;
    return SQLITE_OK;
}

int Delete(sqlite3_vfs*, const char* name, int syncDirectory) {
    const int rc = g_system->xDelete(g_system, name, syncDirectory);
    if (rc == SQLITE_OK && syncDirectory && IsWatched(name)) Durable()[name] = std::nullopt;
    return rc;
}

sqlite3_vfs g_shim;

// The folder as the disk would hold it after a power loss now.
void RebuildAfterPowerLoss(const std::string& into) {
    std::filesystem::create_directories(into);
    for (const auto& [path, contents] : Durable()) {
        if (!contents) continue;
        const std::string name = std::filesystem::path(path).filename().string();
        std::ofstream(into + "/" + name, std::ios::binary) << *contents;
    }
}

struct AfterRecovery {
    long long orders = -1;
    std::string remark;
};

AfterRecovery ReadRecovered(const std::string& ledger) {
    sqlite3* db = nullptr;
    AfterRecovery after;
    sqlite3_open_v2(ledger.c_str(), &db, SQLITE_OPEN_READWRITE, "unix");
    sqlite3_stmt* query = nullptr;
    sqlite3_prepare_v2(db, "select count(*), (select 备注 from 订单列表 where ID=1) from 订单列表",
                       -1, &query, nullptr);
    if (query && sqlite3_step(query) == SQLITE_ROW) {
        after.orders = sqlite3_column_int64(query, 0);
        const unsigned char* remark = sqlite3_column_text(query, 1);
        after.remark = remark ? reinterpret_cast<const char*>(remark) : "";
    }
    sqlite3_finalize(query);
    sqlite3_close(db);
    return after;
}

class PowerLoss : public LedgerTest {
  protected:
    void SetUp() override {
        LedgerTest::SetUp();
        g_system = sqlite3_vfs_find("unix");
        g_shim = *g_system;
        g_shim.zName = "power-loss-recorder";
        g_shim.szOsFile = static_cast<int>(sizeof(ShimFile));
        g_shim.xOpen = Open;
        g_shim.xDelete = Delete;
        ASSERT_EQ(sqlite3_vfs_register(&g_shim, 1), SQLITE_OK);
    }
    void TearDown() override {
        sqlite3_vfs_register(g_system, 1);
        sqlite3_vfs_unregister(&g_shim);
        Durable().clear();
        LedgerTest::TearDown();
    }
};

// Each store the program's connection or tallovar-admin's acknowledges is
// there after a power loss that follows it at once.
TEST_F(PowerLoss, EveryAcknowledgedStoreSurvives) {
    const std::string path = MakeLedger();
    Watched() = directory_;
    // The ledger was made and synced before; its name is on disk.
    Durable()[directory_ + "/tallovar.mdb"] = Contents(directory_ + "/tallovar.mdb");
    struct Step {
        bool byAdmin;
        const char* statement;
        long long orders;
        const char* remark;
    };
    const Step steps[] = {
        {false, "insert into 订单列表(卖家账号) values('一')", 1, ""},
        {false, "insert into 订单列表(卖家账号) values('二')", 2, ""},
        {false, "update 订单列表 set 备注='已改' where ID=1", 2, "已改"},
        {false, "delete from 订单列表 where ID=2", 1, "已改"},
        {true, "insert into 订单列表(卖家账号) values('导入')", 2, "已改"},
        {true, "update 订单列表 set 备注='再改' where ID=1", 2, "再改"},
        {false, "insert into 订单列表(卖家账号) values('三')", 3, "再改"},
    };
    DatabaseConnection program;
    ASSERT_TRUE(program.OpenMdbFile(path)) << program.LastError();
    SqliteDatabase admin;
    ASSERT_TRUE(admin.Open(directory_ + "/tallovar.mdb"));
    int n = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.statement);
        if (step.byAdmin) {
            ASSERT_TRUE(admin.Exec(step.statement)) << admin.Error();
        } else {
            ASSERT_TRUE(program.ExecuteSql(Gbk(step.statement))) << program.LastError();
        }
        const std::string disk = directory_ + "/after-" + std::to_string(n++);
        RebuildAfterPowerLoss(disk);
        const AfterRecovery after = ReadRecovered(disk + "/tallovar.mdb");
        EXPECT_EQ(after.orders, step.orders);
        EXPECT_EQ(after.remark, step.remark);
    }
}

}  // namespace
