#pragma once
// "导出…" of the summary window: the table as an .xlsx workbook of one sheet,
// a row per group and the total row last; counts and sums are number cells.
// Its rows name sellers, so it is written as every file with customers' data
// is (exchange/customer_file.h).

#include <string>

#include "exchange/customer_file.h"
#include "store/order_summary.h"

// groupHeader names the first column (UTF-8). False with error (Chinese,
// UTF-8) when the workbook could not be written.
bool WriteSummaryWorkbook(const Summary& summary, const std::string& groupHeader,
                          CustomerDataFile& file, std::string& error);
