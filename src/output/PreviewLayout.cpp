#include "output/PreviewLayout.h"

#include "core/NumberFormat.h"

namespace kalvex::output {

int RequestZoom(int current, int request) {
    if (request == current || request < kZoomMin || request > kZoomMax) return current;
    return request;
}

std::string ZoomLabel(int zoom) {
    std::string label(1, ' ');
    label += std::to_string(zoom);
    label += " %";
    return label;
}

int PreviewDpi(int screen_ppi, int zoom) {
    // In integers, as the quotient of two whole numbers rounded half away from zero.
    const long long num = static_cast<long long>(screen_ppi) * zoom;
    const long long q = (num >= 0 ? num + 50 : num - 50) / 100;
    return static_cast<int>(q);
}

PreviewRects LayoutPreview(const PrinterPage& page, int screen_ppi, int zoom) {
    const double s = page.Dpi > 0 ? static_cast<double>(screen_ppi) / page.Dpi * zoom / 100.0 : 0.0;
    auto n = [](double v) { return static_cast<int>(core::Nearest(v)); };
    PreviewRects r;
    r.Sheet = {0, 0, n(page.PhysicalWidth * s), n(page.PhysicalHeight * s)};
    r.Printable = {n(page.OffsetX * s), n(page.OffsetY * s), n(page.PrintableWidth * s),
                   n(page.PrintableHeight * s)};
    r.ResizeWindow = zoom == kZoomMin;
    if (r.ResizeWindow) {
        r.ClientWidth = n(page.PhysicalWidth * s + 20);
        r.ClientHeight = n(page.PhysicalHeight * s + 20);
    }
    return r;
}

}  // namespace kalvex::output
