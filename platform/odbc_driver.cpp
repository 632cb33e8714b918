#include "platform/odbc_driver.h"

bool DriverIsHostSqlite() { return true; }

bool DriverChosenByLedgerFile() { return false; }

std::string HostDriverPath(const std::string& path) { return path; }
