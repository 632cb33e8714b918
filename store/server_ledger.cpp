#include "store/server_ledger.h"

#include <algorithm>
#include <cctype>

#include <string_view>
#include <vector>

#include "common/text_encoding.h"
#include "store/database.h"

namespace {

// Settings appended when the configured string does not name them: count(*)
// (a bigint on the server) reported as INTEGER, as the file ledger reports
// it; no driver logs in /tmp (the Debian registration turns CommLog on).
struct DriverDefault {
    const char* key;
    const char* setting;
};
constexpr DriverDefault kDriverDefaults[] = {
    {"BI", "BI=4;"},
    {"CommLog", "CommLog=0;"},
    {"Debug", "Debug=0;"},
};

// How long libpq waits for a server to answer while connecting, at most.
constexpr int kConnectSeconds = 10;
// Keepalives, so that a server gone from the network is noticed, where the
// user's own libpq settings name none.
constexpr std::string_view kKeepalives[] = {"keepalives_idle=30", "keepalives_interval=10"};

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

bool Contains(const std::string& text, std::string_view piece) {
    return text.find(piece) != std::string::npos;
}

// The failures a server reports while connecting, by a piece of libpq's text
// (stable across versions), and what the user is told.
struct ConnectFailure {
    std::string_view piece;
    const char* problem;  // UTF-8; %s is where the server's label goes
};
constexpr ConnectFailure kConnectFailures[] = {
    {"password authentication failed", "无法登录数据库服务器 %s：数据库用户名或密码错误"},
    {"no password supplied", "无法登录数据库服务器 %s：连接设置中没有数据库密码"},
    {"does not exist", "数据库服务器上没有这个数据库或用户：%s"},
    {"no pg_hba.conf entry", "数据库服务器 %s 不允许本机连接"},
    {"SSL", "无法与数据库服务器 %s 建立加密连接"},
};

std::string WithLabel(const char* problem, const std::string& label) {
    std::string text = Gbk(problem);
    const std::size_t at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, label);
    return text;
}

// One "key=value" of an ODBC connection string: the key and value without
// blanks or braces, and where the whole entry stands (its ';' included).
struct ConnectionEntry {
    std::string_view name;
    std::string_view value;
    std::size_t begin = 0;
    std::size_t end = 0;
};

std::vector<ConnectionEntry> ConnectionEntries(std::string_view text) {
    std::vector<ConnectionEntry> entries;
    std::string_view rest = text;
    while (!rest.empty()) {
        ConnectionEntry entry;
        entry.begin = text.size() - rest.size();
        const std::size_t equals = rest.find('=');
        if (equals == std::string_view::npos) break;
        entry.name = Trimmed(rest.substr(0, equals));
        rest.remove_prefix(equals + 1);
        if (!rest.empty() && rest.front() == '{') {
            const std::size_t close = rest.find('}');
            entry.value = rest.substr(1, close == std::string_view::npos ? rest.npos : close - 1);
            rest.remove_prefix(close == std::string_view::npos ? rest.size() : close + 1);
        }
        const std::size_t end = rest.find(';');
        if (entry.value.empty()) entry.value = Trimmed(rest.substr(0, end));
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        entry.end = text.size() - rest.size();
        entries.push_back(entry);
    }
    return entries;
}

// A libpq setting as written in the driver's pqopt: "key=value", the value
// in single quotes with backslash escapes where it holds blanks.
struct LibpqSetting {
    std::string key;
    std::string value;    // unquoted
    std::string_view as;  // as written
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// False when the text is no list of such settings (a URI, say).
bool ReadLibpqSettings(std::string_view text, std::vector<LibpqSetting>& settings) {
    std::size_t i = 0;
    for (;;) {
        while (i < text.size() && IsBlank(text[i])) ++i;
        if (i == text.size()) return true;
        LibpqSetting setting;
        const std::size_t start = i;
        while (i < text.size() && text[i] != '=' && !IsBlank(text[i])) setting.key += text[i++];
        while (i < text.size() && IsBlank(text[i])) ++i;
        if (setting.key.empty() || i == text.size() || text[i] != '=') return false;
        ++i;
        while (i < text.size() && IsBlank(text[i])) ++i;
        const bool quoted = i < text.size() && text[i] == '\'';
        if (quoted) ++i;
        for (;; ++i) {
            if (i == text.size()) {
                if (quoted) return false;
                break;
            }
            if (quoted ? text[i] == '\'' : IsBlank(text[i])) break;
            if (text[i] == '\\' && i + 1 < text.size()) ++i;
            setting.value += text[i];
        }
        if (quoted) ++i;
        setting.as = text.substr(start, i - start);
        settings.push_back(std::move(setting));
    }
}

// The seconds a connect_timeout value of libpq gives, 0 for none (libpq then
// waits for ever) or for a value libpq would not take.
int ConnectSeconds(const std::string& value) {
    if (value.empty() || value.size() > 6 ||
        value.find_first_not_of("0123456789") != std::string::npos) {
        return 0;
    }
    return std::stoi(value);
}

// The driver's pqopt: the user's own libpq settings with a connect bound of
// at most kConnectSeconds whatever they hold (libpq's connect_timeout, which
// waits for ever when absent or 0), and keepalives where they name none.
std::string BoundedLibpqSettings(std::string_view given) {
    std::vector<LibpqSetting> settings;
    if (given.starts_with("postgres://") || given.starts_with("postgresql://")) {
        // libpq's URI form: its last connect_timeout counts.
        const char* joiner = given.find('?') == std::string_view::npos ? "?" : "&";
        return std::string(given) + joiner + "connect_timeout=" + std::to_string(kConnectSeconds);
    }
    std::string kept;
    int seconds = kConnectSeconds;
    bool keepalives = false;
    if (ReadLibpqSettings(given, settings)) {
        for (const LibpqSetting& setting : settings) {
            if (EqualsIgnoringAsciiCase(setting.key, "connect_timeout")) {
                const int asked = ConnectSeconds(setting.value);
                if (asked > 0) seconds = std::min(seconds, asked);
                continue;
            }
            keepalives = keepalives || setting.key.starts_with("keepalives");
            kept += std::string(setting.as) + ' ';
        }
    } else {
        // Not libpq's form: libpq refuses it at once, and says why.
        kept = std::string(given) + ' ';
    }
    if (!keepalives) {
        for (std::string_view keepalive : kKeepalives) kept += std::string(keepalive) + ' ';
    }
    return kept + "connect_timeout=" + std::to_string(seconds);
}

}  // namespace

std::string ConnectionKey(const std::string& connectionString, const std::string& key) {
    for (const ConnectionEntry& entry : ConnectionEntries(connectionString)) {
        if (EqualsIgnoringAsciiCase(entry.name, key)) return std::string(entry.value);
    }
    return {};
}

std::string ServerDriverString(const std::string& connectionString) {
    // The user's pqopt entries leave the string; their settings go into the
    // one pqopt appended at its end.
    std::string text;
    std::string libpq;
    std::size_t copied = 0;
    for (const ConnectionEntry& entry : ConnectionEntries(connectionString)) {
        if (!EqualsIgnoringAsciiCase(entry.name, "pqopt")) continue;
        text.append(connectionString, copied, entry.begin - copied);
        libpq += std::string(entry.value) + ' ';
        copied = entry.end;
    }
    text.append(connectionString, copied);
    if (!text.empty() && text.back() != ';') text += ';';
    for (const DriverDefault& setting : kDriverDefaults) {
        if (ConnectionKey(text, setting.key).empty()) text += setting.setting;
    }
    text += "pqopt={" + BoundedLibpqSettings(Trimmed(libpq)) + "};";
    return GbkToUtf8(text);
}

std::string ServerSessionStatement() {
    return "select set_config('search_path', 'tallovar, pg_catalog', false), "
           "set_config('lock_timeout', '" +
           std::to_string(kServerLockWaitSeconds) + "s', false)";
}

std::string ServerLabel(const std::string& connectionString) {
    const std::string dsn = ConnectionKey(connectionString, "DSN");
    std::string host = ConnectionKey(connectionString, "Servername");
    if (host.empty()) host = ConnectionKey(connectionString, "Server");
    if (host.empty() && !dsn.empty()) return Gbk("数据源 ") + dsn;
    if (host.empty()) host = "localhost";
    const std::string port = ConnectionKey(connectionString, "Port");
    std::string label = host + ":" + (port.empty() ? "5432" : port);
    const std::string database = ConnectionKey(connectionString, "Database");
    if (!database.empty()) label += Gbk(" 上的数据库 ") + database;
    return label;
}

bool IsConnectionLost(const std::string& sqlState, const std::string& message) {
    return sqlState.starts_with("08") || sqlState == "57P01" || sqlState == "57P02" ||
           sqlState == "57P03" || (Contains(message, "connection") && Contains(message, "lost")) ||
           Contains(message, "server closed the connection") ||
           Contains(message, "no connection to the server") || Contains(message, "connection dead");
}

std::string ServerProblem(const std::string& connectionString, const std::string& sqlState,
                          const std::string& given, bool connecting) {
    const std::string label = ServerLabel(connectionString);
    // libpq ends its texts with a line break.
    std::string message = given;
    while (!message.empty() && (message.back() == '\n' || message.back() == ' '))
        message.pop_back();
    if (connecting) {
        for (const ConnectFailure& failure : kConnectFailures) {
            if (Contains(message, failure.piece)) return WithLabel(failure.problem, label);
        }
        return WithLabel("无法连接数据库服务器 %s：服务器没有开启或网络不通（", label) + message +
               Gbk("）");
    }
    if (sqlState == "55P03") {
        return Gbk("这些订单正被其他人修改，等了 ") + std::to_string(kServerLockWaitSeconds) +
               Gbk(" 秒仍未轮到，本次操作没有完成，请稍后再试");
    }
    if (sqlState == "40001" || sqlState == "40P01") {
        return Gbk("与其他人的修改冲突，本次操作没有完成，请再试一次");
    }
    if (IsConnectionLost(sqlState, message)) {
        return WithLabel("与数据库服务器 %s 的连接已断开，本次操作没有完成；服务器恢复后请再试一次",
                         label);
    }
    return message;
}

std::string LostCommitProblem(const std::string& connectionString, bool notStored) {
    const std::string label = ServerLabel(connectionString);
    if (notStored) {
        return WithLabel(
            "与数据库服务器 %s 的连接在保存时断开；重新连接后查明：本次改动没有保存，"
            "请再试一次",
            label);
    }
    return WithLabel(
        "与数据库服务器 %s 的连接在保存时断开，现在连不上服务器，无法查明本次改动是否"
        "已保存；请等服务器恢复后查看",
        label);
}

std::string ServerLiteral(const std::string& text) { return "'" + QuoteText(text) + "'"; }

std::string WithServerLiterals(const std::string& sql, const std::vector<std::string>& texts) {
    std::string out;
    for (std::size_t i = 0; i < sql.size(); ++i) {
        std::size_t end = i + 1;
        while (sql[i] == '?' && end < sql.size() &&
               std::isdigit(static_cast<unsigned char>(sql[end])))
            ++end;
        const std::size_t n = end > i + 1 ? std::stoul(sql.substr(i + 1, end - i - 1)) : 0;
        if (n == 0 || n > texts.size()) {
            out += sql[i];
            continue;
        }
        out += ServerLiteral(texts[n - 1]);
        i = end - 1;
    }
    return out;
}

std::string LockOrdersStatement() {
    return "lock table 订单列表, 回收站 in share row exclusive mode";
}
