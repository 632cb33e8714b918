#include "store/database_error.h"

#include <initializer_list>

#include "common/text_encoding.h"

namespace {

// The texts SQLite and the C library give for each cause, searched in this
// order: a vanished file also makes SQLite speak of a read-only database.
struct Sign {
    DatabaseProblem problem;
    std::initializer_list<std::string_view> texts;
};
const Sign kSigns[] = {
    {DatabaseProblem::FileGone, {"No such file or directory"}},
    {DatabaseProblem::DiskFull, {"database or disk is full", "No space left on device"}},
    {DatabaseProblem::Locked, {"database is locked", "database table is locked"}},
    {DatabaseProblem::NotALedger,
     {"file is not a database", "file is encrypted", "no such table", "not a regular file",
      "Is a directory",
      // A ledger cut short or overwritten by another program while it was
      // read: the missing pages read as zeros, or as another file's.
      "database disk image is malformed", "disk I/O error"}},
    {DatabaseProblem::ReadOnly,
     {"readonly database", "Permission denied", "Read-only file system",
      "Operation not permitted"}},
};

// What the user reads for each cause (UTF-8).
struct Wording {
    DatabaseProblem problem;
    const char* text;
};
const Wording kWordings[] = {
    {DatabaseProblem::Locked,
     "账本正被另一个程序使用，等了 5 秒仍未释放。请关闭正在使用 tallovar.mdb 的其他程序"
     "（如另一个 Tallovar 或数据库工具），然后再试一次。"},
    {DatabaseProblem::NotALedger,
     "tallovar.mdb 不是订单账本（文件已损坏，或是别的文件）。请用 tallovar-admin restore "
     "从备份恢复账本。"},
    {DatabaseProblem::ReadOnly,
     "账本文件或它所在的文件夹不允许写入，改动没有保存。请检查 tallovar.mdb 和它所在文件夹的"
     "权限，然后再试一次。"},
    {DatabaseProblem::DiskFull, "磁盘已满，改动没有保存。请腾出磁盘空间，然后再试一次。"},
    {DatabaseProblem::FileGone,
     "找不到账本文件 tallovar.mdb（可能被移动、改名或删除了）。请把账本放回原处，然后再试一次。"},
};

}  // namespace

DatabaseProblem ClassifyDatabaseError(std::string_view diagnostic) {
    for (const Sign& sign : kSigns) {
        for (std::string_view text : sign.texts) {
            if (diagnostic.find(text) != std::string_view::npos) return sign.problem;
        }
    }
    return DatabaseProblem::Other;
}

std::string DatabaseErrorDetail(const std::string& diagnostic) {
    const DatabaseProblem problem = ClassifyDatabaseError(diagnostic);
    for (const Wording& wording : kWordings) {
        if (wording.problem == problem) return Gbk(wording.text) + "\n" + diagnostic;
    }
    return diagnostic;
}

Status DatabaseFailure(const std::string& diagnostic, const std::string& chinese,
                       const std::string& english) {
    const std::string reason = GbkToUtf8(diagnostic);
    StatusKind kind = StatusKind::Failed;
    switch (ClassifyDatabaseError(diagnostic)) {
        case DatabaseProblem::Locked:
            kind = StatusKind::Busy;
            break;
        case DatabaseProblem::NotALedger:
            kind = StatusKind::NotALedger;
            break;
        case DatabaseProblem::ReadOnly:
            kind = StatusKind::Refused;
            break;
        case DatabaseProblem::DiskFull:
            kind = StatusKind::Full;
            break;
        case DatabaseProblem::FileGone:
            kind = StatusKind::NotFound;
            break;
        case DatabaseProblem::Other:
            break;
    }
    return Status::Failure(kind, chinese + reason, english + reason);
}
