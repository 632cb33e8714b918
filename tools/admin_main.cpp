// tallovar-admin SUBCOMMAND ...: installation and maintenance of a ledger.

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "platform/console_output.h"
#include "platform/program_arguments.h"
#include "tools/admin_command.h"
#include "tools/admin_usage.h"

namespace {

const std::pair<const char*, int (*)(const CommandLine&)> kRunners[] = {
    {"init", RunInit},       {"user", RunUser},       {"backup", RunBackup},
    {"restore", RunRestore}, {"export", RunExport},   {"import", RunImport},
    {"upgrade", RunUpgrade}, {"trash", RunTrash},     {"lists", RunLists},
    {"setup", RunSetup},     {"notice", RunNotice},   {"print", RunPrint},
    {"ship", RunShip},       {"convert", RunConvert},
};

int RunCommand(const AdminCommandHelp& command, int (*run)(const CommandLine&),
               const std::vector<std::string>& arguments) {
    const ParsedCommandLine parsed = ParseCommandLine(command.options, arguments);
    if (parsed.help) {
        PrintCommandUsage(command, stdout);
        return kExitOk;
    }
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "%s\n", parsed.error.c_str());
        PrintCommandUsage(command, stderr);
        return kExitUsage;
    }
    const int code = run(parsed.line);
    if (code == kExitUsage) PrintCommandUsage(command, stderr);
    return code;
}

}  // namespace

int main(int argc, char** argv) {
    const Utf8ConsoleOutput console;
    const std::vector<std::string> arguments = ProgramArguments(argc, argv);
    if (arguments.empty()) {
        PrintAdminUsage(stderr);
        return kExitUsage;
    }
    const std::string& name = arguments[0];
    if (name == "help" || name == "--help" || name == "-h") {
        PrintAdminUsage(stdout);
        return kExitOk;
    }
    if (name == "--version") {
        std::printf("%s\n", AdminVersionLine().c_str());
        return kExitOk;
    }
    const AdminCommandHelp* command = FindAdminCommand(name);
    for (const auto& [runnerName, run] : kRunners) {
        if (command && name == runnerName) {
            return RunCommand(*command, run,
                              std::vector<std::string>(arguments.begin() + 1, arguments.end()));
        }
    }
    if (name.size() >= 2 && name[0] == '-') {
        std::fprintf(stderr, "未知的选项：%s / unknown option: %s\n\n", name.c_str(), name.c_str());
    } else {
        std::fprintf(stderr, "未知的子命令：%s / unknown subcommand: %s\n\n", name.c_str(),
                     name.c_str());
    }
    PrintAdminUsage(stderr);
    return kExitUsage;
}
