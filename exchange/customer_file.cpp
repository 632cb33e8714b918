#include "exchange/customer_file.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>

#include "platform/files.h"

namespace {

// Every SQLite 3 database file, and so every ledger, starts with these bytes.
constexpr char kSqliteHeader[] = "SQLite format 3";

bool StartsLikeLedger(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    char head[sizeof kSqliteHeader] = {};
    const bool read = std::fread(head, 1, sizeof head, file) == sizeof head;
    std::fclose(file);
    return read && std::memcmp(head, kSqliteHeader, sizeof head) == 0;
}

struct Kind {
    const char* chinese;
    const char* english;
};

// What a path that is no regular file is, in the user's words.
Kind KindOf(const struct stat& info) {
    if (S_ISDIR(info.st_mode)) return {"文件夹", "a folder"};
    if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode)) return {"设备", "a device"};
#ifdef S_ISFIFO
    if (S_ISFIFO(info.st_mode)) return {"命名管道", "a named pipe"};
#endif
#ifdef S_ISSOCK
    if (S_ISSOCK(info.st_mode)) return {"套接字", "a socket"};
#endif
    return {"特殊文件", "a special file"};
}

Status ExistsFailure(const std::string& path) {
    const std::string name = Utf8OfNativePath(path);
    return Status::Failure("文件“" + name + "”已存在，未覆盖",
                           "the file " + name + " exists; it was not replaced");
}

}  // namespace

Status CustomerFileProblem(const std::string& path, const std::string& ledgerPath,
                           Existing existing) {
    struct stat target {};
    if (stat(path.c_str(), &target) != 0) return Status::Ok();
    const std::string name = Utf8OfNativePath(path);
    if (IsSameFile(path, ledgerPath)) {
        return Status::Failure("“" + name + "”就是账本本身，不能写到它上面：请另选一个文件名",
                               name + " is the ledger itself; choose another name");
    }
    // Nothing is replaced unless asked, whatever it is.
    if (existing == Existing::Keep) return ExistsFailure(path);
    if (!S_ISREG(target.st_mode)) {
        const Kind kind = KindOf(target);
        return Status::Failure(
            "“" + name + "”是" + kind.chinese + "，不是普通文件，不能写到它上面",
            name + " is " + kind.english + ", not a regular file; it cannot be written over");
    }
    if (StartsLikeLedger(path)) {
        return Status::Failure("“" + name + "”是一个账本文件，不能写到它上面：请另选一个文件名",
                               name + " is a ledger file; choose another name");
    }
    return Status::Ok();
}

CustomerDataFile::CustomerDataFile(std::string path, std::string ledgerPath, Existing existing)
    : path_(std::move(path)),
      ledgerPath_(std::move(ledgerPath)),
      existing_(existing),
      file_(path_) {}

Status CustomerDataFile::Open() {
    if (Status problem = CustomerFileProblem(path_, ledgerPath_, existing_); !problem.ok()) {
        return problem;
    }
    return file_.Open(0600);
}

Status CustomerDataFile::Write(std::string_view bytes) { return file_.Write(bytes); }

Status CustomerDataFile::Place() {
    if (Status problem = CustomerFileProblem(path_, ledgerPath_, existing_); !problem.ok()) {
        return problem;
    }
    if (existing_ == Existing::Replace) return file_.Replace();
    Status placed = file_.PlaceNew();
    return placed.Is(StatusKind::Exists) ? ExistsFailure(path_) : placed;
}
