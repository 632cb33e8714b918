#include "ui/exchange/export_order_list.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <vector>

#include "common/message_box.h"
#include "common/text_encoding.h"
#include "exchange/ledger_guard.h"
#include "exchange/order_sheet.h"
#include "platform/files.h"
#include "platform/whole_file.h"
#include "store/database.h"
#include "ui/orders/order_list.h"
#include "ui/save_file_dialog.h"

namespace {

QString AskSavePath(QWidget* parent, const QString& suggested) {
    return AskSaveFileName(parent, QString::fromUtf8("导出到 Excel"), suggested,
                           QString::fromUtf8("Excel 工作簿 (*.xlsx);;CSV 文件 (*.csv)"));
}

std::string ToUtf8(const QString& text) { return text.toUtf8().toStdString(); }

// A name without .csv becomes a workbook and gets .xlsx if it lacks it.
QString WithSheetSuffix(const QString& path) {
    if (path.endsWith(u".csv", Qt::CaseInsensitive) ||
        path.endsWith(u".xlsx", Qt::CaseInsensitive)) {
        return path;
    }
    return path + QStringLiteral(".xlsx");
}

// Writes the sheet to a temporary file beside path and gives it the name.
// Empty on success, else why not (Chinese).
std::string WriteSheet(const QString& path, const OrderListModel& list, const OrderTotals& totals) {
    const std::string native = NativePathOfUtf8(ToUtf8(path));
    const std::string problem = LedgerOverwriteProblem(native, NativePath(DatabasePath()));
    if (!problem.empty()) return problem;
    FileReplacement file(native);
    // Readable by others once complete, as a file saved from a window is.
    if (!file.Open(0644).ok()) {
        return "无法在“" + ToUtf8(QFileInfo(path).absolutePath()) + "”中写文件";
    }
    const SheetFormat format = FormatOfFileName(ToUtf8(path));
    OrderSheetExport sheet(format, file.TemporaryPath());
    std::vector<std::string> cells(OrderListModel::kColumns);
    for (int row = 0; row < list.ItemCount(); ++row) {
        for (int c = 0; c < OrderListModel::kColumns; ++c) cells[c] = list.ItemText(row, c);
        sheet.AddOrder(cells);
    }
    std::string error;
    if (!sheet.Finish(totals, error)) return error;
    if (format != SheetFormat::Xlsx) {
        if (Status written = file.Write(sheet.Bytes()); !written.ok()) return written.chinese;
    }
    if (!file.Replace().ok()) return "无法写出文件：" + ToUtf8(path);
    return {};
}

}  // namespace

void ExportOrderList(QWidget* parent, const OrderListModel& list, const OrderTotals& totals) {
    const QString suggested =
        QDir(QFileInfo(GbkToQString(DatabasePath())).absolutePath())
            .filePath(QString::fromUtf8("订单-") +
                      QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")) +
                      QStringLiteral(".xlsx"));
    const QString chosen = AskSavePath(parent, suggested);
    if (chosen.isEmpty()) return;
    const QString path = WithSheetSuffix(chosen);
    const std::string error = WriteSheet(path, list, totals);
    if (!error.empty()) {
        ShowMessage(Gbk("导出失败：" + error), kMbOk, Gbk("警告"));
        return;
    }
    ShowMessage(Gbk("已导出 " + std::to_string(list.ItemCount()) + " 张订单到 " + ToUtf8(path)));
}
