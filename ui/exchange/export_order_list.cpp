#include "ui/exchange/export_order_list.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <vector>

#include "common/message_box.h"
#include "common/text_encoding.h"
#include "exchange/customer_file.h"
#include "exchange/order_sheet.h"
#include "platform/files.h"
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

// Writes the sheet to a temporary file beside path and gives it the name; an
// existing file only when the user was asked about that very name. Empty on
// success, else why not (Chinese).
std::string WriteSheet(const QString& path, Existing existing, const OrderListModel& list,
                       const OrderTotals& totals) {
    CustomerDataFile file(NativePathOfUtf8(ToUtf8(path)), NativePath(DatabasePath()), existing);
    if (Status opened = file.Open(); !opened.ok()) return opened.chinese;
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
    if (Status placed = file.Place(); !placed.ok()) return placed.chinese;
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
    // The dialog asked before replacing what was chosen, not a name with a suffix added.
    const std::string error =
        WriteSheet(path, path == chosen ? Existing::Replace : Existing::Keep, list, totals);
    if (!error.empty()) {
        ShowMessage(Gbk("导出失败：" + error), kMbOk, Gbk("警告"));
        return;
    }
    ShowMessage(Gbk("已导出 " + std::to_string(list.ItemCount()) + " 张订单到 " + ToUtf8(path)));
}
