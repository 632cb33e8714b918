// tallovar-admin SUBCOMMAND ...: installation and maintenance of a ledger.

#include <cstdio>
#include <string>
#include <vector>

#include "tools/admin_command.h"

namespace {

const AdminCommand kCommands[] = {
    {"init", "USER PASSWORD [--demo N]",
     "在当前目录建立新账本 tallovar.mdb 和第一个用户；--demo N 另加 N 张演示订单 / "
     "create tallovar.mdb here with its first user; --demo N adds N demo orders",
     RunInit},
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
