#include "ui/print/print_window.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <algorithm>

#include "common/message_box.h"
#include "common/text_encoding.h"
#include "exchange/customer_file.h"
#include "platform/files.h"
#include "platform/native_path.h"
#include "store/database.h"
#include "store/settings.h"
#include "ui/busy_cursor.h"
#include "ui/orders/order_list.h"
#include "ui/save_file_dialog.h"
#include "ui/window_frame.h"
#include "ui_print.h"

namespace {

QPointer<PrintWindow>& OpenWindow() {
    static QPointer<PrintWindow> window;
    return window;
}

std::string ToUtf8(const QString& text) { return text.toUtf8().toStdString(); }

// The form and paper chosen last, in config.ini, so that the daily print
// opens as it was left: the form's name (GBK) and the paper as
// tallovar-admin print names it.
constexpr SettingKey kLastForm{"打印", "表单"};
constexpr SettingKey kLastPaper{"打印", "纸张"};
constexpr PrintForm kForms[] = {PrintForm::OrderList, PrintForm::PickingList,
                                PrintForm::PackingSlips};

// The most orders the window previews at once: ten thousand slips are some
// 1,700 pages, drawn in a few seconds; the list may hold a million.
constexpr int kMostPrinted = 10000;

// Writes the job as a PDF at path under the rule for files with customers'
// data; the user confirmed replacing that very name. Empty on success, else
// why not (Chinese).
std::string WritePdf(const PrintJob& job, const QString& path) {
    CustomerDataFile file(NativePathOfUtf8(ToUtf8(path)), NativePath(DatabasePath()),
                          Existing::Replace);
    if (Status opened = file.Open(); !opened.ok()) return opened.chinese;
    int pages = 0;
    const QString temporary = QString::fromStdString(Utf8OfNativePath(file.TemporaryPath()));
    if (Status written = WritePrintPdf(job, temporary, pages); !written.ok())
        return written.chinese;
    if (Status placed = file.Place(); !placed.ok()) return placed.chinese;
    return {};
}

}  // namespace

// The printer's full resolution: a barcode's 0.3 mm modules land on whole
// dots, not on the screen's pixels scaled up.
PrintWindow::PrintWindow()
    : ui_(std::make_unique<Ui::PrintWindow>()), printer_(QPrinter::HighResolution) {
    setAttribute(Qt::WA_DeleteOnClose);
    ui_->setupUi(this);
    预览 = new QPrintPreviewWidget(&printer_, this);
    预览->setObjectName(QString::fromUtf8("预览"));
    ui_->预览布局->addWidget(预览);
    connect(预览, &QPrintPreviewWidget::paintRequested, this,
            [this](QPrinter* printer) { PaintPrintJob(job_, *printer); });
    ShowLastChoice();
    connect(ui_->表单选择, &QComboBox::currentIndexChanged, this, &PrintWindow::ChoiceMade);
    connect(ui_->纸张选择, &QComboBox::currentIndexChanged, this, &PrintWindow::ChoiceMade);
    connect(ui_->打印按钮, &QPushButton::clicked, this, &PrintWindow::PrintClicked);
    connect(ui_->保存按钮, &QPushButton::clicked, this, &PrintWindow::SaveClicked);
}

PrintWindow::~PrintWindow() = default;

int PrintWindow::PreviewPages() const { return 预览->pageCount(); }

void PrintWindow::Load(const OrderListModel& list, const OrderTotals& totals) {
    job_.orders.assign(list.ItemCount(), {});
    for (int row = 0; row < list.ItemCount(); ++row) {
        for (int c = 0; c < OrderListModel::kColumns; ++c) {
            job_.orders[row][c] = list.ItemText(row, c);
        }
    }
    job_.totals = totals;
    job_.printedAt = QDateTime::currentDateTime();
    ChoiceChanged();
}

void PrintWindow::ShowLastChoice() {
    PrintForm form = PrintForm::OrderList;
    if (PrintFormOfName(GbkToUtf8(ReadSetting(SettingsPath(), kLastForm)), form)) {
        ui_->表单选择->setCurrentIndex(
            int(std::find(std::begin(kForms), std::end(kForms), form) - std::begin(kForms)));
    }
    ui_->纸张选择->setCurrentIndex(ReadSetting(SettingsPath(), kLastPaper) == "76x130" ? 1 : 0);
}

void PrintWindow::ChoiceMade() {
    ChoiceChanged();
    WriteSetting(kLastForm, Gbk(PrintFormName(job_.form)), SettingsPath());
    WriteSetting(kLastPaper, ui_->纸张选择->currentIndex() == 1 ? "76x130" : "a4", SettingsPath());
}

void PrintWindow::ChoiceChanged() {
    job_.form = kForms[std::max(0, ui_->表单选择->currentIndex())];
    const bool slips = job_.form == PrintForm::PackingSlips;
    ui_->纸张标签->setEnabled(slips);
    ui_->纸张选择->setEnabled(slips);
    job_.paper =
        slips && ui_->纸张选择->currentIndex() == 1 ? PrintPaper::Label76x130 : PrintPaper::A4;
    printer_.setPageLayout(PrintPageLayout(job_));
    printer_.setDocName(QString::fromUtf8(PrintFormName(job_.form)));
    // Every page is drawn anew; thousands of orders take a moment.
    WhileBusy([this] { 预览->updatePreview(); });
    ui_->页数标签->setText(
        QString::fromUtf8("%1 张订单，共 %2 页").arg(job_.orders.size()).arg(预览->pageCount()));
}

void PrintWindow::PrintClicked() {
    QPrintDialog dialog(&printer_, this);
    dialog.setWindowTitle(QString::fromUtf8("打印"));
    if (dialog.exec() != QDialog::Accepted) return;
    // The form decides the paper; the dialog picks the printer and copies.
    printer_.setPageLayout(PrintPageLayout(job_));
    if (WhileBusy([this] { return PaintPrintJob(job_, printer_); }) == 0) {
        ShowMessage(Gbk("打印失败：打印机不能开始打印"), kMbOk, Gbk("警告"));
    }
    预览->updatePreview();
}

void PrintWindow::SaveClicked() {
    const QString name = QString::fromUtf8("%1-%2.pdf")
                             .arg(QString::fromUtf8(PrintFormName(job_.form)),
                                  job_.printedAt.toString(QStringLiteral("yyyyMMdd-HHmmss")));
    const QString suggested =
        QDir(QFileInfo(GbkToQString(DatabasePath())).absolutePath()).filePath(name);
    const QString chosen = AskSaveFileName(this, QString::fromUtf8("保存为 PDF"), suggested,
                                           QString::fromUtf8("PDF 文件 (*.pdf)"));
    if (chosen.isEmpty()) return;
    const std::string error = WhileBusy([&] { return WritePdf(job_, chosen); });
    if (!error.empty()) {
        ShowMessage(Gbk("保存失败：" + error), kMbOk, Gbk("警告"));
        return;
    }
    ShowMessage(Gbk("已保存到 " + ToUtf8(chosen)));
}

void OpenPrintWindow(const OrderListModel& list, const OrderTotals& totals) {
    if (list.ItemCount() > kMostPrinted) {
        ShowMessage(Gbk("列表中有 " + std::to_string(list.ItemCount()) + " 张订单，一次最多打印 " +
                        std::to_string(kMostPrinted) + " 张。请先用查询条件缩小范围。"),
                    kMbOk, Gbk("提示"));
        return;
    }
    QPointer<PrintWindow>& window = OpenWindow();
    if (!window) window = new PrintWindow;
    window->Load(list, totals);
    if (!window->isVisible()) ShowInDesignFrame(window, 900, 680, false);
    window->raise();
    window->activateWindow();
}
