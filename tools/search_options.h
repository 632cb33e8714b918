#pragma once
// The options that pick orders as the main window's search does: the nine
// search texts (--seller ... --remark) and --waiting or --problem. Shared by
// the commands that work on a search's orders; their help is
// SearchOptionHelp() (tools/admin_usage.h).

#include <string>

#include "store/order_statements.h"
#include "tools/command_line.h"

// The search texts (GBK) and the filter keyword (GBK, or empty) the options
// give; false when they cannot be taken (both filters, a text not UTF-8).
bool ReadSearchOptions(const CommandLine& line, OrderSearchTexts& inputs, std::string& filter);
