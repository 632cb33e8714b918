// tallovar-admin SUBCOMMAND ...: installation and maintenance of a ledger.

#include <cstdio>
#include <string>
#include <vector>

#include "tools/admin_command.h"

namespace {

const AdminCommand kCommands[] = {
    {"init",
     "USER PASSWORD [--demo N] | --connect STRING USER PASSWORD | --connect STRING --from FILE "
     "[USER PASSWORD]",
     "在当前目录建立新账本 tallovar.mdb 和第一个用户；--demo N 另加 N 张演示订单 / "
     "create tallovar.mdb here with its first user; --demo N adds N demo orders",
     RunInit},
    {"user", "add|passwd NAME [PASSWORD] | remove NAME | list [--connect STRING]",
     "管理可以登录的用户（在账本目录中运行）/ manage who can sign in (run in the ledger's "
     "directory)",
     RunUser},
    {"backup", "[FILE] [--force] | --daily | [FILE] --connect STRING",
     "程序打开时也可备份账本；默认 tallovar-日期-时间.mdb；--daily 每天一份放入 备份/，保留 7 "
     "份每日和 4 份每周的 / a consistent copy of the ledger, also while the program runs; "
     "default tallovar-DATE-TIME.mdb; --daily: once a day into "
     "备份/, keeping 7 daily and 4 weekly copies",
     RunBackup},
    {"restore", "FILE [--connect STRING]",
     "检查备份后把它的内容写进账本，原账本先保存为 tallovar.mdb.replaced-时间 / check a "
     "backup and write it into the ledger, keeping the old one as tallovar.mdb.replaced-TIME",
     RunRestore},
    {"export",
     "[--xlsx | --gbk [--gb18030]] [--force] [--output FILE|-] [--seller X ...] "
     "[--waiting|--problem] [--connect STRING]",
     "把订单导出为 Excel 工作簿或 CSV，条件同主窗口的查询 / orders as an Excel workbook or CSV, "
     "searched as in the main window",
     RunExport},
    {"import",
     "FILE.xlsx|FILE.csv [--skip-bad] [--ignore-unknown] [--allow-duplicates] [--connect STRING]",
     "从 Excel/WPS/LibreOffice 保存的工作簿或 CSV 导入订单，全部成功或全部不导入 / orders from a "
     "workbook or CSV saved by Excel, WPS or LibreOffice, all or nothing",
     RunImport},
    {"upgrade", "",
     "把旧账本升级到当前的表结构（先在旁边保存一份）/ bring an older ledger to the current "
     "schema (a copy is kept beside it first)",
     RunUpgrade},
    {"trash", "list | restore N | purge [--older-than DAYS] [--connect STRING]",
     "回收站：列出、恢复或彻底删除已删除的订单 / the recycle bin: list, restore or purge "
     "deleted orders",
     RunTrash},
    {"lists", "show [LIST] | add|remove LIST TEXT... | set LIST [TEXT...]",
     "查看或修改程序的选择列表，LIST 为 卖家账号 或 快递公司 / show or change the program's pick "
     "lists, LIST being 卖家账号 (seller) or 快递公司 (express)",
     RunLists},
    {"setup", "[FOLDER]",
     "文件夹中还没有账本时，打开“新建账本”窗口 / open the window that makes the first ledger "
     "when FOLDER has none",
     RunSetup},
    {"notice", "TITLE TEXT",
     "在桌面上显示一条警告，窗口保持在最前（启动脚本用）/ a warning on the desktop that stays "
     "above other windows (for the launcher)",
     RunNotice},
};

void PrintUsage(std::FILE* out) {
    std::fprintf(out, "用法 / usage: tallovar-admin SUBCOMMAND ...\n\n");
    for (const AdminCommand& command : kCommands) {
        std::fprintf(out, "  %s %s\n      %s\n", command.name, command.usage, command.summary);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintUsage(stderr);
        return kExitUsage;
    }
    const std::string name = argv[1];
    if (name == "help" || name == "--help" || name == "-h") {
        PrintUsage(stdout);
        return kExitOk;
    }
    for (const AdminCommand& command : kCommands) {
        if (name == command.name)
            return command.run(std::vector<std::string>(argv + 2, argv + argc));
    }
    std::fprintf(stderr, "未知的子命令 / unknown subcommand: %s\n\n", name.c_str());
    PrintUsage(stderr);
    return kExitUsage;
}
