#include "store/connection_string.h"

#include <string_view>

#include "common/text_encoding.h"
#include "platform/files.h"
#include "platform/odbc_driver.h"
#include "platform/program_files.h"
#include "store/database.h"
#include "store/durability.h"
#include "store/ledger_driver.h"

// NoCreat: a file that has vanished is not made anew. Timeout: how long the
// driver waits for a lock another connection holds; it waits that long twice
// for one statement (measured), so 2.5 s bounds the wait at 5 s.
// The default rollback journal is kept (no JournalMode=WAL): snapshots close
// their cursors before OpenTable returns and every call runs to its end on
// the one thread, so the program's own connections never wait for each
// other; WAL would put -wal and -shm files beside the ledger for good and
// does not work on network shares.
// SyncPragma: store/durability.h.
// StepAPI=1: the driver may step through the rows of a forward-only cursor
// instead of first copying the whole result as texts (see StepsThroughRows).
std::string SqliteDriverKeys() {
    return "NoCreat=1;Timeout=2500;" + SynchronousConnectionKey() + "StepAPI=1;";
}

namespace odbc {

// Why the driver could not be given the path, or empty. It reads every
// value up to the next ';' and honours no quoting, so a folder name holding
// one would cut the path short and could name another file.
std::string PathProblem(const std::string& path) {
    if (path.find(';') == std::string::npos) return {};
    const std::size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? path : path.substr(0, slash);
    return Gbk("账本所在文件夹的路径“") + folder +
           Gbk("”中有分号“;"
               "”，数据库驱动无法打开其中的账本；请给文件夹改名，或把账本移到别的文件夹");
}

// The connection string as the driver manager wants it: without the leading
// "ODBC;" of the database class; for the SQLite driver with the keys it
// reads, UTF-8; for Windows' own driver exactly as built. Where the driver is
// chosen by the ledger file (Windows), see store/ledger_driver.h.
std::string DriverConnectionString(const std::string& path) {
    if (DriverChosenByLedgerFile()) {
        const std::string text = ChosenConnectionString(path, HostDriverPath(path));
        return DriverIsHostSqlite() ? GbkToUtf8(text) : text;
    }
    std::string text = BuildConnectionString(path);
    constexpr std::string_view kPrefix = "ODBC;";
    if (text.starts_with(kPrefix)) text.erase(0, kPrefix.size());
    if (!DriverIsHostSqlite()) return text;
    text += "Database=" + HostDriverPath(path) + ";";
    text += SqliteDriverKeys();
    return GbkToUtf8(text);
}

}  // namespace odbc

std::string BuildConnectionString(const std::string& path) {
    // The last separator, walking by characters: a byte of 0x80 or more starts
    // a double-byte character whose second byte is skipped.
    std::size_t separator = std::string::npos;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (static_cast<unsigned char>(path[i]) >= 0x80) {
            ++i;
        } else if (path[i] == kPathSeparator) {
            separator = i;
        }
    }
    std::string text = "ODBC;DBQ=" + path;
    if (separator != std::string::npos) text += ";DefaultDir=" + path.substr(0, separator);
    text += ";Driver={Microsoft Access Driver (*.mdb)};FIL=MS Access";
    text += ";";
    return text;
}

std::string DatabasePath() { return PathIn(CurrentDirectory(), kLedgerFileName); }

std::string QuoteText(const std::string& text) {
    std::string quoted;
    quoted.reserve(text.size());
    for (char c : text) {
        quoted += c;
        if (c == '\'') quoted += '\'';
    }
    return quoted;
}
