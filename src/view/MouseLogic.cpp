// Peak placing and picking, range drag, ppm/Hz cursor, and the gain keys of the main window.
#include "view/MouseLogic.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

#include "core/Capacities.h"
#include "core/NumberFormat.h"
#include "view/Plotting.h"
#include "view/RefreshLogic.h"

namespace kalvex::view {

namespace {

// PeakPos is 16 bits wide: point 65536 of a full-size spectrum cannot be a peak position.
constexpr int kMaxPeakPos = 65535;

// ObsY of point p, or 0 for a point outside the spectrum (a geometry older than the view).
double ObservedAt(const core::Document& doc, int p) {
    const std::int64_t last =
        std::min<std::int64_t>(doc.PointCount, static_cast<std::int64_t>(doc.ObsY.size()));
    if (p < 1 || p > last) return 0.0;
    return doc.ObsY[static_cast<std::size_t>(p - 1)];
}

// X of the centre of peak k in the current picture.
int PeakColumn(const core::Document& doc, const PlotGeometry& geo, int k) {
    return Px((doc.PeakPos[k] - doc.ViewFirstPoint) * geo.PxPerPoint + geo.PlotLeft);
}

void DrawRubberBand(Canvas& canvas, int x0, int y0, int x1, int y1) {
    canvas.MoveTo(x0, y0);
    canvas.LineTo(x1, y0);
    canvas.MoveTo(x0, y0);
    canvas.LineTo(x0, y1);
    canvas.MoveTo(x1, y0);
    canvas.LineTo(x1, y1);
    canvas.MoveTo(x0, y1);
    canvas.LineTo(x1, y1);
}

void CursorMove(AppState& state, Shell& shell, int x) {
    const core::Document& doc = state.Doc;
    const PlotGeometry& geo = state.Plot;
    ViewState& view = state.View;
    if (view.CursorFresh) {
        // The first line after the read-out opens has nothing to erase.
        view.DragX1 = -1;
        view.DragY1 = 0;
        view.CursorFresh = false;
    }
    if (Canvas* canvas = shell.PictureCanvas()) {
        canvas->SetPenMode(PenMode::kNotXor);
        canvas->SetPenColor(kMaroon);
        canvas->MoveTo(view.DragX1, geo.CursorLowY);
        canvas->LineTo(view.DragX1, geo.PlotTop);
        canvas->MoveTo(x, geo.CursorLowY);
        canvas->LineTo(x, geo.PlotTop);
        canvas->SetPenMode(PenMode::kCopy);
        canvas->SetPenColor(kBlack);
        shell.PictureChanged();
    }
    view.DragX1 = x;
    view.DragY1 = geo.PlotTop;

    const int p = PointAt(doc, geo, x);
    view.DiffHz = core::Trunc((HzAt(doc, geo, x) - view.RefHz) * 100) / 100;
    PpmReadoutTexts texts;
    texts.ppm_label = AxisValueText(doc, geo, x);
    texts.Label4 = std::to_string(p) + " ";
    texts.diff_Hz = core::FormatGeneral(view.DiffHz);
    texts.Int_Label = core::FormatSci(ObservedAt(doc, p) * doc.YScale, 4, 2);
    texts.Label7 = core::FormatFixed(ObservedAt(doc, p), 4, 3);
    shell.SetPpmReadout(texts);
}

void RangeDragMove(AppState& state, Shell& shell, int x, int y) {
    ViewState& view = state.View;
    if (Canvas* canvas = shell.PictureCanvas()) {
        canvas->SetPenColor(view.DragLeftButton ? kBlue : kGreen);
        canvas->SetPenMode(PenMode::kNotXor);
        DrawRubberBand(*canvas, view.DragX0, view.DragY0, view.DragX1, view.DragY1);
        DrawRubberBand(*canvas, view.DragX0, view.DragY0, x, y);
        canvas->SetPenColor(kBlack);
        canvas->SetPenMode(PenMode::kCopy);
        shell.PictureChanged();
    }
    view.DragX1 = x;
    view.DragY1 = y;
}

void PlaceNewPeak(AppState& state, Shell& shell, int x, int y) {
    core::Document& doc = state.Doc;
    const PlotGeometry& geo = state.Plot;
    if (doc.PeakCount >= core::kMaxPeaks) {
        shell.ShowMessage(kPeakTableFull);
        return;
    }
    state.View.NewPeakPending = true;
    const int k = ++doc.PeakCount;
    const int last = std::clamp<int>(doc.PointCount, 1, kMaxPeakPos);
    doc.PeakPos[k] = static_cast<std::uint16_t>(std::clamp(PointAt(doc, geo, x), 1, last));
    // The height above Bias whose baseline-anchored row is y. Deliberately so also when the
    // top-anchored mapping draws the picture (Bias >= 0.5 with a gain other than 1).
    doc.PeakHeight[k] = ((geo.PlotBaseY - y) / static_cast<double>(geo.PlotHeight) / doc.YExpand -
                         (doc.Bias - doc.YOffset) / doc.YRange) *
                        doc.YRange;

    if (Canvas* canvas = shell.PictureCanvas()) {
        // The marker: the peak's column down to the baseline, and the half-height guide the
        // user aims the width click at.
        const int xk = PeakColumn(doc, geo, k);
        const int half_row = Px((y + geo.PlotBaseY) * 0.5);
        canvas->SetPenColor(kRed);
        canvas->MoveTo(xk, y);
        canvas->LineTo(xk, geo.PlotBaseY);
        canvas->MoveTo(Px(xk - 0.25 * geo.PlotWidth), half_row);
        canvas->LineTo(Px(xk + 0.25 * geo.PlotWidth), half_row);
        canvas->SetPenColor(kBlack);
        shell.PictureChanged();
    }
    shell.AppendPeakOrderItem(std::to_string(k));
}

void GiveHalfWidth(AppState& state, Shell& shell, int x) {
    core::Document& doc = state.Doc;
    state.View.NewPeakPending = false;
    const int k = doc.PeakCount;
    if (k < 1) return;  // the pending peak was deleted meanwhile
    const double w = std::abs(x - PeakColumn(doc, state.Plot, k)) / state.Plot.PxPerPoint;
    doc.PeakHalfWidth[k] = w;
    doc.PeakHalfWidthG[k] = w;
    doc.PeakHalfWidthL[k] = w;
    RedrawAfterPeakEdit(state, shell);
}

void SelectNearestPeak(AppState& state, Shell& shell, int x) {
    const core::Document& doc = state.Doc;
    int best = 1;
    if (doc.PeakCount > 1) {
        // No distance limit, and only a strictly nearer peak replaces the best: ties go to
        // the lower number.
        const int p = PointAt(doc, state.Plot, x);
        int best_distance = std::abs(doc.PeakPos[1] - p);
        for (int k = 2; k <= doc.PeakCount; ++k) {
            const int distance = std::abs(doc.PeakPos[k] - p);
            if (distance < best_distance) {
                best = k;
                best_distance = distance;
            }
        }
    }
    shell.ShowPeakInfo(best);
    RedrawAfterPeakEdit(state, shell);
}

void AfterGainChange(AppState& state, Shell& shell) {
    shell.SetRangeLabel6(GainText(state.Doc.YExpand));
    RedrawKeepRange(state, shell);
}

}  // namespace

int ShownPointAt(const PlotGeometry& geo, int x) { return Px((x - geo.PlotLeft) / geo.PxPerPoint); }

int PointAt(const core::Document& doc, const PlotGeometry& geo, int x) {
    return ShownPointAt(geo, x) + doc.ViewFirstPoint;
}

double PpmAt(const core::Document& doc, const PlotGeometry& geo, int x) {
    return doc.XFirstPpm - ShownPointAt(geo, x) * doc.XStepPpm;
}

double HzAt(const core::Document& doc, const PlotGeometry& geo, int x) {
    return doc.XFirstHz - ShownPointAt(geo, x) * doc.XStepHz;
}

std::string AxisValueText(const core::Document& doc, const PlotGeometry& geo, int x) {
    // Cut, not rounded.
    if (doc.XAxisPpm) return core::FormatGeneral(core::Trunc(PpmAt(doc, geo, x) * 1000) / 1000);
    return core::FormatGeneral(core::Trunc(HzAt(doc, geo, x) * 100) / 100);
}

void ImgSpectMouseDown(AppState& state, Shell& shell, MouseButton button, ShiftState /*shift*/,
                       int x, int y) {
    if (!state.Doc.SpectrumLoaded) return;
    if (!state.View.RangeDialogOpen || shell.PpmBoxVisible()) return;
    ViewState& view = state.View;
    x = std::max(x, state.Plot.PlotLeft);
    view.DragX0 = view.DragX1 = x;
    view.DragY0 = view.DragY1 = y;
    shell.SetRangeEdit1(AxisValueText(state.Doc, state.Plot, x));
    if (button == MouseButton::kLeft) {
        view.DragLeftButton = true;
    } else if (button == MouseButton::kRight) {
        view.DragLeftButton = false;
        shell.SetRangeApplyMode();
    }
}

void ImgSpectMouseMove(AppState& state, Shell& shell, ShiftState shift, int x, int y) {
    if (!state.Doc.SpectrumLoaded) return;
    if (x < state.Plot.PlotLeft || x > state.Plot.PlotRight) return;
    const bool ppm_visible = shell.PpmBoxVisible();
    if (!state.View.RangeDialogOpen && ppm_visible) {
        CursorMove(state, shell, x);
    } else if (!ppm_visible && state.View.RangeDialogOpen && (shift.Left || shift.Right)) {
        RangeDragMove(state, shell, x, y);
    }
}

void ImgSpectMouseUp(AppState& state, Shell& shell, MouseButton button, ShiftState /*shift*/, int x,
                     int y) {
    if (!state.Doc.SpectrumLoaded) return;
    const PlotGeometry& geo = state.Plot;
    ViewState& view = state.View;
    if (view.RangeDialogOpen && x >= geo.PlotRight) x = geo.PlotRight - 1;

    if (geo.PlotLeft < x && x < geo.PlotRight && !shell.PpmBoxVisible()) {
        if (view.RangeDialogOpen) {
            shell.SetRangeEdit2(AxisValueText(state.Doc, geo, x));
            shell.RangeDialogOk();
        } else if (button == MouseButton::kRight && !view.NewPeakPending && geo.PlotTop <= y &&
                   y <= geo.PlotBaseY) {
            PlaceNewPeak(state, shell, x, y);
        } else if (button == MouseButton::kLeft && view.NewPeakPending) {
            GiveHalfWidth(state, shell, x);
        } else if (button == MouseButton::kLeft && state.Doc.PeakCount > 0) {
            SelectNearestPeak(state, shell, x);
        }
    }

    if (geo.PlotLeft <= x && x <= geo.PlotRight && shell.PpmBoxVisible()) {
        view.RefHz = HzAt(state.Doc, geo, x);
        shell.SetDiffHzText(core::FormatGeneral(view.RefHz) + " Hz ");
    }
}

double RoundGain(double y_expand) {
    // nearbyint rounds halves to even in the default rounding mode.
    return std::nearbyint(y_expand * 1000.0) / 1000.0;
}

void KeyPress(AppState& state, Shell& shell, char key) {
    if (!state.Doc.SpectrumLoaded) return;
    double& gain = state.Doc.YExpand;
    gain = RoundGain(gain);
    switch (std::toupper(static_cast<unsigned char>(key))) {
        case 'A':
            gain = 1.0;
            break;
        case 'D':
            if (!shell.RangeDialogVisible()) shell.OpenRangeDialogOnYTab();
            if (gain >= 20) {
                gain -= 10;
            } else if (gain > 10) {
                gain = 10;
            } else if (gain == 10) {
                gain = 1.0;
            } else if (gain > 2) {
                gain -= 1;
            } else {
                gain -= 0.1;
                if (gain < 0.001) gain = 0.1;
            }
            break;
        case 'I':
            if (!shell.RangeDialogVisible()) shell.OpenRangeDialogOnYTab();
            gain += gain >= 1 ? 10 : 1;
            break;
        case 'R':
            // With the read-out open the refresh is dropped, as every refresh is then.
            if (shell.PpmBoxVisible()) {
                RefreshClick(state, shell);
            } else {
                shell.RangeDialogReset();
            }
            return;
        default:
            return;
    }
    AfterGainChange(state, shell);
    shell.TakeKeyboardFocus();
}

void CMChildKey(AppState& state, Shell& shell, int virtual_key) {
    if (virtual_key >= kVkLeft && virtual_key <= kVkDown)
        StepGainByArrow(state, shell, virtual_key);
}

void StepGainByArrow(AppState& state, Shell& shell, int virtual_key) {
    // Before the first open there is no view whose gain could change, and the Range XY
    // dialog is not available.
    if (!state.Doc.SpectrumLoaded) return;
    if (virtual_key < kVkLeft || virtual_key > kVkDown) return;
    double& gain = state.Doc.YExpand;
    gain = RoundGain(gain);
    shell.OpenRangeDialogOnYTab();
    if (virtual_key == kVkUp) {
        gain += gain >= 1 ? 1.0 : 0.1;
    } else if (virtual_key == kVkDown) {
        if (gain >= 2) {
            gain -= 1;
        } else if (gain > 1) {
            gain = 1.0;
        } else {
            gain -= 0.1;
            if (gain < 0.001) gain = 0.1;
        }
    } else {
        return;
    }
    AfterGainChange(state, shell);
}

}  // namespace kalvex::view
