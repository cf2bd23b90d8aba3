#include "app/output/Printer.h"

#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>
#include <cstdio>

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
    const bool to_file = IsVirtualPdf(printer);
    QString temp;
    if (to_file) {
        QTemporaryFile file(QFileInfo(pdf_path).absolutePath() +
                            QStringLiteral("/.kalvex-XXXXXX.pdf"));
        file.setAutoRemove(false);
        if (!file.open()) {
            throw Error("Unable to write the file: " + file.errorString().toStdString(),
                        pdf_path.toStdString());
        }
        temp = file.fileName();
        printer.setOutputFileName(temp);
    }
    auto fail = [&](const std::string& reason) {
        if (!temp.isEmpty()) QFile::remove(temp);
        throw Error(reason, to_file ? pdf_path.toStdString() : PrinterTitle(printer).toStdString());
    };
    const int dpi = printer.resolution();
    {
        QtCanvas canvas(&printer, dpi);
        if (!canvas.Active()) fail("The printer cannot start the print job");
        view::RenderForOutput(canvas, dpi, state.Doc, state.Opts, state.Plot,
                              PageOf(printer).Portrait());
        canvas.End();
    }
    if (!to_file) return;
    // A temporary file is private; the PDF gets the permissions of the file it replaces, or
    // those of a new file.
    const QFileInfo target(pdf_path);
    QFile::setPermissions(temp, target.exists() ? target.permissions()
                                                : QFile::ReadOwner | QFile::WriteOwner |
                                                      QFile::ReadGroup | QFile::ReadOther);
    if (std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(pdf_path).constData()) !=
        0) {
        fail("Unable to write the file");
    }
}

}  // namespace kalvex::app
