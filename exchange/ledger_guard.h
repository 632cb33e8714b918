#pragma once
// What an export or a backup must never write over: the ledger itself
// (under any name that leads to it) or any other file that is a ledger.

#include <string>

// Empty when path may be written over; otherwise why not (Chinese, UTF-8).
// Paths are as the system calls take them (see NativePath); a path that does
// not exist may always be written.
std::string LedgerOverwriteProblem(const std::string& path, const std::string& ledgerPath);
