#include "output/PrinterPage.h"

#include <algorithm>

#include "core/NumberFormat.h"

namespace kalvex::output {

namespace {

constexpr double kA4WidthMm = 210.0;
constexpr double kA4HeightMm = 297.0;

int MmToPixels(double mm, int dpi) { return static_cast<int>(core::Nearest(mm / 25.4 * dpi)); }

}  // namespace

PrinterPage VirtualPdfPage(bool portrait) {
    const int short_side = MmToPixels(kA4WidthMm, kVirtualPrinterDpi);
    const int long_side = MmToPixels(kA4HeightMm, kVirtualPrinterDpi);
    PrinterPage page;
    page.Dpi = kVirtualPrinterDpi;
    page.PhysicalWidth = portrait ? short_side : long_side;
    page.PhysicalHeight = portrait ? long_side : short_side;
    page.PrintableWidth = page.PhysicalWidth;
    page.PrintableHeight = page.PhysicalHeight;
    return page;
}

PrinterPage PageAtDpi(const PrinterPage& page, int dpi) {
    const double f = page.Dpi > 0 ? static_cast<double>(dpi) / page.Dpi : 1.0;
    auto scale = [f](int v) { return static_cast<int>(core::Nearest(v * f)); };
    PrinterPage out;
    out.Dpi = dpi;
    out.PhysicalWidth = std::max(1, scale(page.PhysicalWidth));
    out.PhysicalHeight = std::max(1, scale(page.PhysicalHeight));
    out.OffsetX = scale(page.OffsetX);
    out.OffsetY = scale(page.OffsetY);
    out.PrintableWidth = std::max(1, scale(page.PrintableWidth));
    out.PrintableHeight = std::max(1, scale(page.PrintableHeight));
    return out;
}

}  // namespace kalvex::output
