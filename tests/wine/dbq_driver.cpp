// The tests' stand-in for Windows' Access driver under Wine: this machine's
// 32-bit SQLite driver, as the Windows program reaches it through Wine's
// odbc32 and unixODBC with the designed connection string. That string names
// a legacy ledger by DBQ with a Windows path, as the Access driver reads it;
// the stand-in opens the SQLite database beside that file instead, of the
// same name with ".sqlite" added (the legacy file itself, which does not
// begin as an SQLite database, is never read). SQLDriverConnect here adds
// Database= with that path mapped through the Wine prefix's drive letters
// and hands the string on; every other function is the SQLite driver's own,
// which this library links, so the driver manager finds them through it.
#include <dlfcn.h>
#include <sql.h>
#include <sqlext.h>
#include <strings.h>

#include <climits>
#include <cstdlib>
#include <string>

namespace {

// The value of KEY in "KEY=value;..." (keys in any letter case), or empty.
std::string Attribute(const std::string& text, const std::string& key) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(';', start);
        if (end == std::string::npos) end = text.size();
        const std::size_t equals = text.find('=', start);
        if (equals < end && equals - start == key.size() &&
            strncasecmp(text.c_str() + start, key.c_str(), key.size()) == 0) {
            return text.substr(equals + 1, end - equals - 1);
        }
        start = end + 1;
    }
    return {};
}

// "X:\a\b" as the path of this machine: the drive's link in the prefix's
// dosdevices, resolved, followed by the rest with slashes. Other texts stay.
std::string UnixPath(const std::string& windowsPath) {
    if (windowsPath.size() < 3 || windowsPath[1] != ':' || windowsPath[2] != '\\') {
        return windowsPath;
    }
    const char* prefix = std::getenv("WINEPREFIX");
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    std::string drive = (prefix ? std::string(prefix) : home + "/.wine") + "/dosdevices/";
    drive += static_cast<char>(windowsPath[0] | 0x20);
    drive += ':';
    char resolved[PATH_MAX];
    if (realpath(drive.c_str(), resolved) == nullptr) return windowsPath;
    std::string path = resolved;
    if (path == "/") path.clear();
    for (std::size_t i = 2; i < windowsPath.size(); ++i) {
        path += windowsPath[i] == '\\' ? '/' : windowsPath[i];
    }
    return path;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) SQLRETURN SQL_API SQLDriverConnect(
    SQLHDBC connection, SQLHWND window, SQLCHAR* in, SQLSMALLINT inLength, SQLCHAR* out,
    SQLSMALLINT outSize, SQLSMALLINT* outLength, SQLUSMALLINT completion) {
    using Connect = decltype(&SQLDriverConnect);
    static const auto sqliteConnect =
        reinterpret_cast<Connect>(dlsym(RTLD_NEXT, "SQLDriverConnect"));
    if (sqliteConnect == nullptr) return SQL_ERROR;
    std::string text = inLength == SQL_NTS ? std::string(reinterpret_cast<char*>(in))
                                           : std::string(reinterpret_cast<char*>(in), inLength);
    const std::string ledger = Attribute(text, "DBQ");
    if (!ledger.empty() && Attribute(text, "Database").empty()) {
        if (!text.empty() && text.back() != ';') text += ';';
        text += "Database=" + UnixPath(ledger) + ".sqlite;";
    }
    return sqliteConnect(connection, window, reinterpret_cast<SQLCHAR*>(text.data()), SQL_NTS, out,
                         outSize, outLength, completion);
}
