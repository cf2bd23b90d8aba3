// Wheel zoom: a smaller or larger span around the point under the cursor, kept in the spectrum.
#include "tools/WheelZoom.h"

#include <algorithm>
#include <cmath>

#include "core/NumberFormat.h"
#include "tools/RangeXY.h"
#include "view/RefreshLogic.h"

namespace kalvex::tools {

namespace {

void ShowSpan(view::AppState& state, view::Shell& shell, PointSpan span) {
    core::Document& doc = state.Doc;
    if (span == PointSpan{doc.ViewFirstPoint, doc.ViewPointCount}) return;
    ShowPoints(doc, span.First, span.Count);
    // As after Range XY's OK: a pending Reset must not take the new range back.
    state.View.ViewResetRequest = false;
    if (shell.RangeDialogVisible()) {
        const RangeTexts texts = RangeShowTexts(doc);
        shell.SetRangeEdit1(texts.Edit1);
        shell.SetRangeEdit2(texts.Edit2);
    }
    view::RefreshClick(state, shell);
}

bool WheelApplies(const view::AppState& state, const view::Shell& shell) {
    return state.Doc.SpectrumLoaded && state.Doc.PointCount >= 1 && !shell.PpmBoxVisible();
}

}  // namespace

PointSpan WheelZoomSpan(PointSpan view, std::int32_t total, double shown_index, int notches) {
    if (total < 1) return view;
    const std::int64_t count = std::clamp<std::int64_t>(view.Count, 1, total);
    std::int64_t next = count;
    if (notches != 0) {
        const double target = std::clamp(count * std::pow(kWheelZoomFactor, notches), 0.0,
                                         static_cast<double>(total));
        next = core::Nearest(target);
        if (notches > 0) {
            // Never larger, and no smaller than the least count (or the view, if it is less).
            next =
                std::max(std::min(next, count - 1), std::min<std::int64_t>(kMinWheelPoints, count));
        } else {
            next = std::min<std::int64_t>(std::max(next, count + 1), total);
        }
    }
    const double i = std::isnan(shown_index) ? 0.0 : std::clamp(shown_index, 0.0, count - 1.0);
    const double fraction = count > 1 ? i / static_cast<double>(count - 1) : 0.0;
    const double anchor = view.First + i;
    const std::int64_t first = std::clamp<std::int64_t>(
        core::Nearest(anchor - fraction * static_cast<double>(next - 1)), 1, total - next + 1);
    return {static_cast<std::int32_t>(first), static_cast<std::int32_t>(next)};
}

void ImgSpectWheel(view::AppState& state, view::Shell& shell, int x, int notches) {
    if (notches == 0 || !WheelApplies(state, shell)) return;
    const core::Document& doc = state.Doc;
    const view::PlotGeometry& geo = state.Plot;
    const double shown_index = (x - geo.PlotLeft) / geo.PxPerPoint;
    ShowSpan(state, shell,
             WheelZoomSpan({doc.ViewFirstPoint, doc.ViewPointCount}, doc.PointCount, shown_index,
                           notches));
}

void ImgSpectMiddleDoubleClick(view::AppState& state, view::Shell& shell) {
    if (!WheelApplies(state, shell)) return;
    ShowSpan(state, shell, {1, state.Doc.PointCount});
}

}  // namespace kalvex::tools
