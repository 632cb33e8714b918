#pragma once
// What every subcommand that works on an existing ledger does first, and how
// they all report: a message in Chinese, then the same in English, on stderr.

#include <string>
#include <vector>

#include "common/status.h"
#include "tools/command_line.h"

// Prints the two lines and gives the failure exit code.
int Fail(const std::string& chinese, const std::string& english);
int Fail(const Status& status);

// tallovar.mdb in the current directory if it exists; otherwise the reason
// is printed and the result is empty.
std::string ExistingLedgerHere();

// The ODBC connection string of a team ledger given with --connect (UTF-8),
// left empty when not given. False when the option was given an empty one.
bool ConnectOption(const CommandLine& line, std::string& connection);
