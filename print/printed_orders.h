#pragma once
// The pages the orders print on, in three forms, for a printer, the print
// preview and PDF files alike; tallovar-admin print and the "打印…" window
// both draw through here, so paper and screen agree.
//
//   订单列表  the order list's columns (not ID) and the totals line, A4
//             landscape, the header row on top of every page;
//   拿货单    the unshipped orders (no express company and no waybill)
//             grouped by goods name, and within that by seller account, with
//             a count and the sum of 进价 per group and a grand total; the
//             groups by count, most first, then by name;
//   发货单    one slip an order, six to an A4 page or one to a 76×130 mm
//             label: seller account, order number as text and Code 128
//             barcode, goods name, delivery details, remark, and the waybill
//             as text and barcode when there is one.
//
// Every page is numbered "第 N 页 / 共 M 页". A text longer than its room is
// cut at a whole character and ends in "…（未完）", so nothing goes missing
// unseen; a goods name keeps one line unless it is wider than the page.

#include <QDateTime>
#include <array>
#include <string>
#include <vector>

#include "common/status.h"
#include "store/order_statements.h"

class QPagedPaintDevice;
class QPageLayout;

enum class PrintForm { OrderList, PickingList, PackingSlips };
enum class PrintPaper { A4, Label76x130 };

// The forms' names as the user reads and types them (UTF-8).
const char* PrintFormName(PrintForm form);
bool PrintFormOfName(const std::string& name, PrintForm& form);

// One order as the order list shows it: its fifteen columns, GBK.
using PrintedOrder = std::array<std::string, 15>;

struct PrintJob {
    PrintForm form = PrintForm::OrderList;
    PrintPaper paper = PrintPaper::A4;  // packing slips only; the others use A4
    std::vector<PrintedOrder> orders;   // in the order they print
    OrderTotals totals;                 // of the orders, as the list's totals line
    QDateTime printedAt;                // in the page heads
};

// The page size, orientation and margins the job prints on.
QPageLayout PrintPageLayout(const PrintJob& job);

// Draws every page of the job on device, which has been given
// PrintPageLayout(job). Answers the number of pages; 0 after a painter
// could not start on the device.
int PaintPrintJob(const PrintJob& job, QPagedPaintDevice& device);

// The job as a PDF file at path (as Qt takes a path); the pages counted.
Status WritePrintPdf(const PrintJob& job, const QString& path, int& pages);
