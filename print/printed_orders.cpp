#include "print/printed_orders.h"

#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

#include "print/forms.h"

namespace {

struct FormName {
    PrintForm form;
    const char* name;
};
constexpr FormName kFormNames[] = {
    {PrintForm::OrderList, "订单列表"},
    {PrintForm::PickingList, "拿货单"},
    {PrintForm::PackingSlips, "发货单"},
};

// Fine enough that a 0.3 mm module lands on whole dots of a 600 dpi printer
// and of the pages a reader renders.
constexpr int kPdfResolution = 1200;

}  // namespace

const char* PrintFormName(PrintForm form) {
    for (const FormName& entry : kFormNames) {
        if (entry.form == form) return entry.name;
    }
    return "";
}

bool PrintFormOfName(const std::string& name, PrintForm& form) {
    for (const FormName& entry : kFormNames) {
        if (name == entry.name) {
            form = entry.form;
            return true;
        }
    }
    return false;
}

QPageLayout PrintPageLayout(const PrintJob& job) {
    if (job.form == PrintForm::PackingSlips && job.paper == PrintPaper::Label76x130) {
        return QPageLayout(QPageSize(QSizeF(76, 130), QPageSize::Millimeter,
                                     QStringLiteral("76x130"), QPageSize::ExactMatch),
                           QPageLayout::Portrait, QMarginsF(3, 3, 3, 2), QPageLayout::Millimeter);
    }
    const auto orientation =
        job.form == PrintForm::OrderList ? QPageLayout::Landscape : QPageLayout::Portrait;
    return QPageLayout(QPageSize(QPageSize::A4), orientation, QMarginsF(10, 10, 10, 8),
                       QPageLayout::Millimeter);
}

int PaintPrintJob(const PrintJob& job, QPagedPaintDevice& device) {
    QPainter painter;
    if (!painter.begin(&device)) return 0;
    const auto newPage = [&device] { return device.newPage(); };
    int pages = 0;
    switch (job.form) {
        case PrintForm::OrderList:
            pages = PaintOrderList(job, painter, newPage);
            break;
        case PrintForm::PickingList:
            pages = PaintPickingList(job, painter, newPage);
            break;
        case PrintForm::PackingSlips:
            pages = PaintPackingSlips(job, painter, newPage);
            break;
    }
    return painter.end() ? pages : 0;
}

Status WritePrintPdf(const PrintJob& job, const QString& path, int& pages) {
    QPdfWriter pdf(path);
    pdf.setResolution(kPdfResolution);
    pdf.setPageLayout(PrintPageLayout(job));
    pdf.setCreator(QStringLiteral("Tallovar"));
    pdf.setTitle(QString::fromUtf8(PrintFormName(job.form)));
    pages = PaintPrintJob(job, pdf);
    if (pages == 0) return Status::Failure("无法写入 PDF 文件", "cannot write the PDF file");
    return Status::Ok();
}
