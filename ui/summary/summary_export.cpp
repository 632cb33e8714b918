#include "ui/summary/summary_export.h"

#include "common/text_encoding.h"
#include "exchange/workbook_writer.h"

namespace {

void WriteRow(WorkbookWriter& writer, const SummaryRow& row, const std::string& money) {
    writer.WriteText(GbkToUtf8(row.label));
    writer.WriteNumber(static_cast<double>(row.count));
    for (double sum : row.sums) {
        if (row.count == 0) {
            writer.SkipCell();  // as the table: no sums without orders
        } else {
            writer.WriteNumber(sum, money);
        }
    }
    writer.EndRow();
}

}  // namespace

bool WriteSummaryWorkbook(const Summary& summary, const std::string& groupHeader,
                          CustomerDataFile& file, std::string& error) {
    if (Status opened = file.Open(); !opened.ok()) {
        error = opened.chinese;
        return false;
    }
    WorkbookWriter writer(file.TemporaryPath());
    writer.AddSheet("统计", {{groupHeader, 14},
                             {"单数", 8},
                             {"总售价", 12},
                             {"总进价", 12},
                             {"总佣金", 12},
                             {"总利润", 12}});
    const std::string money = NumberFormatWithDecimals(2);
    for (const SummaryRow& row : summary.groups) WriteRow(writer, row, money);
    WriteRow(writer, summary.total, money);
    if (!writer.Close(error)) return false;
    const Status placed = file.Place();
    error = placed.chinese;
    return placed.ok();
}
