#pragma once
// What an operation that may fail answers: success, or what kind of failure
// and why in words for the user, Chinese first and then the same in English.
// A window shows the Chinese line, a terminal both; a caller that acts on the
// failure asks its kind, never its words. A plain value: returned, never
// thrown.

#include <string>
#include <utility>

enum class StatusKind {
    Ok,
    Exists,      // the name is taken: a file, a ledger, a user
    Busy,        // someone else holds the ledger; trying later may work
    NotFound,    // the file, entry or row asked for is not there
    NotALedger,  // a file that is no ledger, or a damaged one
    Io,          // the disk or the connection failed while reading or writing
    Full,        // no space left on the disk, or over the quota
    Refused,     // no permission, a read-only file system, or an input refused
    Failed,      // any other failure
};

struct Status {
    StatusKind kind = StatusKind::Ok;
    std::string chinese;  // UTF-8, like the English text
    std::string english;

    bool ok() const { return kind == StatusKind::Ok; }
    bool Is(StatusKind asked) const { return kind == asked; }
    // Both lines as a terminal shows them; one where they are the same text.
    std::string Lines() const { return english == chinese ? chinese : chinese + "\n" + english; }

    static Status Ok() { return {}; }
    static Status Failure(StatusKind kind, std::string chinese, std::string english) {
        return {kind == StatusKind::Ok ? StatusKind::Failed : kind, std::move(chinese),
                std::move(english)};
    }
    static Status Failure(std::string chinese, std::string english) {
        return Failure(StatusKind::Failed, std::move(chinese), std::move(english));
    }
    // A failure in someone else's words that come in one language only
    // (SQLite's, a server's), standing for both lines.
    static Status Untranslated(const std::string& reason) { return Failure(reason, reason); }
    static Status Untranslated(StatusKind kind, const std::string& reason) {
        return Failure(kind, reason, reason);
    }
    // The same failure with words put before both lines ("无法建立账本 x：").
    Status After(const std::string& chineseHead, const std::string& englishHead) const {
        return {kind, chineseHead + chinese, englishHead + english};
    }
};

// The kind of a failed system call's errno: Full for a full disk or quota,
// Refused for missing permission or a read-only file system, Exists,
// NotFound, Busy, and Io for the rest.
StatusKind StatusKindOfErrno(int error);
