#pragma once
// What tallovar-admin offers, in one table: each subcommand's forms, what it
// does and its options. The --help texts, the manual page's list of commands
// and the bash completion are all written from it, so none of them can name
// an option the others lack.

#include <cstdio>
#include <string>
#include <vector>

#include "tools/command_line.h"

struct AdminCommandHelp {
    const char* name;
    std::vector<const char*> forms;  // the arguments after the name, one line each
    const char* summary;             // Chinese / English
    std::vector<OptionHelp> options;
    const char* words;  // the words that may follow the name (user add, trash list, …)
};

const std::vector<AdminCommandHelp>& AdminCommands();
// The options that pick orders as the main window's search does, shared by
// the commands that work on a search's orders: the nine search texts in
// their order (--seller ... --remark), then --waiting and --problem.
const std::vector<OptionHelp>& SearchOptionHelp();
const AdminCommandHelp* FindAdminCommand(const std::string& name);

// "tallovar-admin 0.1.0".
std::string AdminVersionLine();

// The overview (tallovar-admin --help) and one command's usage (… NAME --help).
void PrintAdminUsage(std::FILE* out);
void PrintCommandUsage(const AdminCommandHelp& command, std::FILE* out);

// The COMMANDS section of the manual page, in roff.
std::string ManualCommandsSection();
// A bash completion script for tallovar-admin.
std::string BashCompletion();
