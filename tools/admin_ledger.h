#pragma once
// What every subcommand that works on an existing ledger does first, and how
// they all report: a message in Chinese, then the same in English, on stderr.

#include <string>

// Prints the two lines and gives the failure exit code.
int Fail(const std::string& chinese, const std::string& english);

// tallovar.mdb in the current directory if it exists; otherwise the reason
// is printed and the result is empty.
std::string ExistingLedgerHere();
