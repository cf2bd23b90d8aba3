// The printer's page as the output needs it: resolution, sheet, printing offset, printable area.
#pragma once

namespace kalvex::output {

/// A printer's page in printer pixels. The drawing's origin is the printable area's top-left
/// corner, which lies (OffsetX, OffsetY) inside the sheet.
struct PrinterPage {
    int Dpi = 600;          ///< pixels per inch in Y (LOGPIXELSY); X is taken as equal
    int PhysicalWidth = 0;  ///< the whole sheet
    int PhysicalHeight = 0;
    int OffsetX = 0;  ///< printing offset: the printable area's left edge on the sheet
    int OffsetY = 0;
    int PrintableWidth = 0;  ///< the printable page (HORZRES, VERTRES)
    int PrintableHeight = 0;

    /// The printable page is taller than wide (the plot is laid out on 28 cm, else 20 cm).
    bool Portrait() const { return PrintableHeight > PrintableWidth; }

    constexpr bool operator==(const PrinterPage&) const = default;
};

/// Resolution of the virtual "Print to PDF" printer that stands in when no printer is
/// installed.
inline constexpr int kVirtualPrinterDpi = 600;

/// The virtual printer's page: A4 at 600 dpi, landscape unless `portrait`, with no margins
/// (a PDF file has no unprintable edge).
PrinterPage VirtualPdfPage(bool portrait);

/// A page of `page`'s physical size at `dpi` pixels per inch: every length scaled by
/// dpi / page.Dpi and rounded (at least 1 pixel for the areas). Used for pictures drawn at
/// a resolution of their own on the printer's page.
PrinterPage PageAtDpi(const PrinterPage& page, int dpi);

}  // namespace kalvex::output
