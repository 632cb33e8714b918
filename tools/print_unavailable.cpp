// tallovar-admin print in a build made without Qt's print support or libzint
// (a Windows build where they were not found).

#include "tools/admin_command.h"
#include "tools/admin_ledger.h"

int RunPrint(const CommandLine&) { return Fail("这个版本不含打印功能", "this build cannot print"); }
