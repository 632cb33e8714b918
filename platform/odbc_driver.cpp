#include "platform/odbc_driver.h"

bool DriverIsHostSqlite() { return true; }

std::string HostDriverPath(const std::string& path) { return path; }
