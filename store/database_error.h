#pragma once
// What a failed database operation means for the user. The driver answers in
// English; the common causes get a Chinese explanation of what happened and
// what to do, the driver's own text following it.

#include <string>
#include <string_view>

#include "common/status.h"

enum class DatabaseProblem {
    Other,
    Locked,      // another program holds a lock longer than the program waits
    NotALedger,  // the file is no SQLite database, or lacks the ledger's tables
    ReadOnly,    // the file or its folder may not be written
    DiskFull,
    FileGone,  // moved, renamed or deleted
};

// Reads the cause from a diagnostic of DatabaseConnection::LastError().
DatabaseProblem ClassifyDatabaseError(std::string_view diagnostic);

// The text after "数据库操作失败：" (GBK): the explanation of a common cause
// followed by the driver's text, or the driver's text alone.
std::string DatabaseErrorDetail(const std::string& diagnostic);

// A failed operation as a Status: the words given before the driver's text
// (GBK diagnostic, shown in UTF-8), of the kind its cause makes it (a lock
// held elsewhere is Busy, a full disk Full, ...).
Status DatabaseFailure(const std::string& diagnostic, const std::string& chinese,
                       const std::string& english);
