#include "tools/admin_ledger.h"

#include <cstdio>

#include "platform/utf8_paths.h"
#include "platform/whole_file.h"
#include "store/ledger_file.h"
#include "tools/admin_command.h"

int Fail(const std::string& chinese, const std::string& english) {
    std::fprintf(stderr, "%s\n%s\n", chinese.c_str(), english.c_str());
    return kExitFailed;
}

int Fail(const Status& status) { return Fail(status.chinese, status.english); }

bool ConnectOption(const CommandLine& line, std::string& connection) {
    connection = line.Value("--connect");
    return !line.Has("--connect") || !connection.empty();
}

std::string ExistingLedgerHere() {
    std::string path;
    if (const Status here = LedgerPathHere(path); !here.ok()) {
        Fail(here);
        return {};
    }
    // What an earlier run killed mid-write left beside the ledger: only the
    // names this tool gives its own files.
    RemoveAbandonedReplacements(NativePathOfUtf8(Utf8DirectoryOf(path)),
                                {"tallovar.mdb", "tallovar.mdb.*", "tallovar-*.mdb",
                                 "tallovar-orders-*", "tallovar-*.pdf"});
    if (!Utf8PathExists(path)) {
        Fail("当前目录中没有账本：" + path + "（请在账本所在的目录中运行）",
             "there is no ledger here: " + path + " (run this in the ledger's directory)");
        return {};
    }
    return path;
}
