#pragma once
// The order sheet that export writes, from tallovar-admin and from the main
// window alike: the order list's columns with its headers (ID first), one row
// an order in the order given, and the count with the four sums.
//
// As .xlsx: text columns as text cells (every digit and leading zero stays),
// the money columns as number cells showing the stored decimals where the
// stored text is a plain number, the header frozen; the count and the sums on
// a second sheet "合计", so that a sum over a column of the first sheet counts
// every order once.
// As CSV: the existing layout, the totals line and sums in a last row; UTF-8
// with a byte-order mark, or GBK, which refuses a character GBK lacks (with
// its row, column and the character), or GB18030.

#include <memory>
#include <string>
#include <vector>

#include "store/order_statements.h"

enum class SheetFormat { Xlsx, CsvUtf8, CsvGbk, CsvGb18030 };

// .xlsx when the name ends in ".xlsx" (any letter case), else UTF-8 CSV.
SheetFormat FormatOfFileName(const std::string& path);

class OrderSheetExport {
  public:
    // Xlsx writes to xlsxPath (UTF-8) at Finish; the CSV formats collect the
    // file's bytes for Bytes().
    OrderSheetExport(SheetFormat format, const std::string& xlsxPath);
    ~OrderSheetExport();

    // One order: the fifteen list columns as GBK texts.
    void AddOrder(const std::vector<std::string>& cells);
    // The totals, then the file is complete. False with error (Chinese).
    bool Finish(const OrderTotals& totals, std::string& error);
    // The CSV file's bytes, after Finish.
    const std::string& Bytes() const { return bytes_; }
    int Orders() const { return orders_; }

  private:
    class Workbook;
    void AddCsvRecord(const std::vector<std::string>& cells);

    SheetFormat format_;
    std::unique_ptr<Workbook> workbook_;
    std::string bytes_;  // CSV: GBK until Finish, then in the file's encoding
    int orders_ = 0;
    std::string error_;
};
