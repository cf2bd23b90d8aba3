// The printer Kalvex prints on: the system's default printer, or a virtual "Print to PDF" one.
#pragma once

#include <QString>
#include <memory>

#include "output/PrinterPage.h"
#include "view/AppState.h"

class QPrinter;

namespace kalvex::app {

/// The start-up printer probe: the system's default printer when one is installed and answers
/// for its resolution; otherwise the virtual PDF printer; nullptr only when not even that can
/// be set up (then there is no printer: "No Printer exists").
std::unique_ptr<QPrinter> ProbePrinter();

/// The virtual printer: PDF files, A4, 600 dpi, landscape, no margins.
std::unique_ptr<QPrinter> MakeVirtualPdfPrinter();

/// Whether `printer` writes PDF files instead of paper.
bool IsVirtualPdf(const QPrinter& printer);

/// The printer's page in its own pixels: resolution, sheet, printing offset, printable area.
output::PrinterPage PageOf(const QPrinter& printer);

/// The printer's orientation, as the Options dialog's "Paper Size" shows and sets it.
bool PrinterPortrait(const QPrinter& printer);
void SetPrinterPortrait(QPrinter& printer, bool portrait);

/// Name shown for the printer ("Print to PDF" for the virtual one).
QString PrinterTitle(const QPrinter& printer);

/// Prints the plot as one page at the printer's resolution (view::RenderForOutput): a print
/// job, or with the virtual printer the PDF file `pdf_path`, written atomically so a failed
/// print keeps the previous file. Throws kalvex::Error when the job cannot start or the file
/// cannot be written.
void PrintPlot(QPrinter& printer, view::AppState& state, const QString& pdf_path);

}  // namespace kalvex::app
