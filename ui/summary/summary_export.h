#pragma once
// "导出…" of the summary window: the table as an .xlsx workbook of one sheet,
// a row per group and the total row last; counts and sums are number cells.
// The file appears under its name only when complete (platform/whole_file.h).

#include <string>

#include "store/order_summary.h"

// groupHeader names the first column (UTF-8), path is the file system's.
// False with error (Chinese, UTF-8) when the workbook could not be written.
bool WriteSummaryWorkbook(const Summary& summary, const std::string& groupHeader,
                          const std::string& path, std::string& error);
