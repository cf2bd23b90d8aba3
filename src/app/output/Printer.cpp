#include "app/output/Printer.h"

#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>

#include "app/output/PictureFile.h"
#include "app/qt/QtCanvas.h"
#include "core/Error.h"
#include "view/Plotting.h"

namespace kalvex::app {

std::unique_ptr<QPrinter> ProbePrinter() {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (!info.isNull()) {
        auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
        if (printer->isValid() && printer->resolution() > 0) return printer;
    }
    // Without an installed printer the preview, PDF printing and metafiles still work on a
    // virtual printer's page.
    auto pdf = MakeVirtualPdfPrinter();
    if (pdf->isValid() && pdf->resolution() > 0) return pdf;
    return nullptr;
}

std::unique_ptr<QPrinter> MakeVirtualPdfPrinter() {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setResolution(output::kVirtualPrinterDpi);
    printer->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                       QMarginsF(), QPageLayout::Millimeter));
    printer->setCreator(QStringLiteral("Kalvex"));
    return printer;
}

bool IsVirtualPdf(const QPrinter& printer) { return printer.outputFormat() == QPrinter::PdfFormat; }

output::PrinterPage PageOf(const QPrinter& printer) {
    const int dpi = printer.resolution();
    const QPageLayout layout = printer.pageLayout();
    const QRect sheet = layout.fullRectPixels(dpi);
    const QRect printable = layout.paintRectPixels(dpi);
    output::PrinterPage page;
    page.Dpi = dpi;
    page.PhysicalWidth = sheet.width();
    page.PhysicalHeight = sheet.height();
    page.OffsetX = printable.left() - sheet.left();
    page.OffsetY = printable.top() - sheet.top();
    page.PrintableWidth = printable.width();
    page.PrintableHeight = printable.height();
    return page;
}

bool PrinterPortrait(const QPrinter& printer) {
    return printer.pageLayout().orientation() == QPageLayout::Portrait;
}

void SetPrinterPortrait(QPrinter& printer, bool portrait) {
    printer.setPageOrientation(portrait ? QPageLayout::Portrait : QPageLayout::Landscape);
}

QString PrinterTitle(const QPrinter& printer) {
    return IsVirtualPdf(printer) ? QStringLiteral("Print to PDF") : printer.printerName();
}

void PrintPlot(QPrinter& printer, view::AppState& state, const QString& pdf_path) {
    const int dpi = printer.resolution();
    if (IsVirtualPdf(printer)) {
        // The page the printer would print, as a PDF file written like every other file.
        WritePictureFile(pdf_path.toStdString(), output::PictureFormat::kPdf, PageOf(printer), dpi,
                         state.Doc, state.Opts, state.Plot);
        return;
    }
    QtCanvas canvas(&printer, dpi);
    if (!canvas.Active()) {
        throw Error("The printer cannot start the print job", PrinterTitle(printer).toStdString());
    }
    view::RenderForOutput(canvas, dpi, state.Doc, state.Opts, state.Plot,
                          PageOf(printer).Portrait());
    canvas.End();
}

}  // namespace kalvex::app
