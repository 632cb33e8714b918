#include "store/odbc_statement.h"

#include <cctype>
#include <vector>

#include "common/text_encoding.h"
#include "platform/files.h"
#include "platform/odbc_driver.h"

namespace odbc {

std::function<void(const std::string&)>& StatementObserver() {
    static std::function<void(const std::string&)> observer;
    return observer;
}

// Texts cross to the driver in the encoding it takes (platform/odbc_driver.h):
// UTF-8 for the SQLite driver, GBK as it is for Windows' own.
std::string ToDriverText(std::string_view gbk) {
    return DriverIsHostSqlite() ? GbkToUtf8(gbk) : std::string(gbk);
}

void AppendDriverText(std::string_view text, std::string& gbk) {
    if (DriverIsHostSqlite()) {
        AppendGbk(text, gbk);
    } else {
        gbk.append(text);
    }
}

std::string FromDriverText(std::string_view text) {
    return DriverIsHostSqlite() ? Gbk(text) : std::string(text);
}

// Every diagnostic record of a handle, joined, as GBK; the SQLSTATE of the
// first record goes to firstState when asked for.
std::string Diagnostic(SQLSMALLINT handleType, SQLHANDLE handle, std::string* firstState) {
    std::string all;
    SQLCHAR state[6];
    SQLINTEGER nativeError = 0;
    std::vector<SQLCHAR> message(1024);
    for (SQLSMALLINT record = 1;; ++record) {
        SQLSMALLINT length = 0;
        SQLRETURN rc =
            SQLGetDiagRec(handleType, handle, record, state, &nativeError, message.data(),
                          static_cast<SQLSMALLINT>(message.size()), &length);
        if (rc == SQL_SUCCESS_WITH_INFO && length >= static_cast<SQLSMALLINT>(message.size())) {
            message.resize(static_cast<std::size_t>(length) + 1);
            rc = SQLGetDiagRec(handleType, handle, record, state, &nativeError, message.data(),
                               static_cast<SQLSMALLINT>(message.size()), &length);
        }
        if (!SQL_SUCCEEDED(rc)) break;
        if (firstState && record == 1) firstState->assign(reinterpret_cast<const char*>(state), 5);
        if (!all.empty()) all += "; ";
        all += reinterpret_cast<const char*>(message.data());
    }
    if (all.empty()) all = "ODBC error";
    return FromDriverText(all);
}

// Why the file at path cannot be opened, as the system tells it; empty when
// it can. The driver answers only "connect failed" whatever the reason.
std::string FileProblem(const std::string& path) {
    const std::string problem = FileOpenProblem(path);
    if (problem.empty()) return {};
    return Gbk("（") + path + Gbk("：") + problem + Gbk("）");
}

// True when the statement's first word is that one (ASCII letters in any case).
bool StartsWithWord(std::string_view text, std::string_view word) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '\n' ||
                             text.front() == '\r')) {
        text.remove_prefix(1);
    }
    if (text.size() < word.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        const char c = text[i];
        if ((c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c) != word[i]) return false;
    }
    return text.size() == word.size() ||
           !std::isalnum(static_cast<unsigned char>(text[word.size()]));
}

// True for a select of whole rows ("select * from ..."), which the driver
// steps through row by row, so a large list is not held a second time as the
// driver's texts. Such columns are typed by their declarations either way;
// a computed column (count(*), sum()) is typed by its first value only when
// the driver copies the result first, so every other statement keeps that
// (static) cursor.
bool StepsThroughRows(std::string_view text) {
    if (!StartsWithWord(text, "select")) return false;
    text.remove_prefix(text.find_first_of("sS") + 6);
    const std::size_t star = text.find_first_not_of(" \t\r\n");
    return star != std::string_view::npos && text[star] == '*' &&
           StartsWithWord(text.substr(star + 1), "from");
}

}  // namespace odbc

void SetStatementObserverForTesting(std::function<void(const std::string&)> observer) {
    odbc::StatementObserver() = std::move(observer);
}
