// Full refresh, redraw keeping the range, the refresh mode, titles and read-out texts.
#include "view/RefreshLogic.h"

#include <cctype>

#include "core/NumberFormat.h"

namespace kalvex::view {

namespace {

std::string RangeSuffix(const core::Document& doc) {
    return " : " + std::to_string(doc.ViewFirstPoint) + "-" + std::to_string(doc.ViewLastPoint()) +
           "<" + std::to_string(doc.ViewPointCount) + "points>";
}

std::string DriveOf(const std::string& path) {
    if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]))) {
        return path.substr(0, 2);
    }
    return {};
}

std::string FileNameOfAnyPath(const std::string& path) {
    const auto cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

enum class TitleKind { kShort, kLong };

void Redraw(AppState& state, Shell& shell, bool reset_view, TitleKind title) {
    // The ppm/Hz cursor is drawn in NOT-XOR onto the picture and needs it unchanged; the
    // request is dropped, and closing the read-out refreshes.
    if (shell.PpmBoxVisible()) return;
    core::Document& doc = state.Doc;
    if (reset_view && state.View.ViewResetRequest) {
        if (!doc.IsArrayed) {
            doc.XFirstPpm = doc.XFirstPpm0;
            doc.XFirstHz = doc.XFirstHz0;
            doc.ViewPointCount = doc.PointCount;
            doc.ViewFirstPoint = 1;
            doc.YExpand = 1.0;
        }
        shell.SetUpDownYPosition(1);
    }

    LayoutPlotArea(state.Plot, shell.ClientWidth(), shell.ClientHeight());
    shell.PlaceBevel(state.Plot.Bevel);
    if (doc.SpectrumLoaded) {
        Canvas& canvas = shell.CreatePlotBitmap(PlotBitmapRect(state.Plot.Bevel));
        DrawSpectrum(canvas, doc, state.Opts, state.Plot, RenderContext::Screen());
        if (doc.PeakCount > 0) {
            if (state.View.NewPeakPending) {
                // The half-placed peak goes, and so does its entry in the peak list.
                --doc.PeakCount;
                shell.TruncatePeakOrder(doc.PeakCount);
            }
            const PeakDrawOutcome outcome =
                DrawPeaks(canvas, doc, state.Opts, state.Plot, RenderContext::Screen(),
                          SelectedPeakForDrawing(shell));
            ApplyPeakOutcome(outcome, doc, shell);
            state.View.NewPeakPending = false;
        }
        if (title == TitleKind::kLong) {
            shell.SetTitle(LongTitle(doc));
        } else if (!shell.OpenSp2Ticked()) {
            shell.SetTitle(ShortTitle(doc));
        }
        if (reset_view) state.View.ViewResetRequest = false;
        shell.PictureChanged();
    }
    shell.ClearRangeEditedFlags();
}

}  // namespace

void RefreshClick(AppState& state, Shell& shell) { Redraw(state, shell, true, TitleKind::kShort); }

void RedrawKeepRange(AppState& state, Shell& shell) {
    Redraw(state, shell, false, TitleKind::kLong);
}

void RedrawAfterPeakEdit(AppState& state, Shell& shell) {
    if (state.Opts.RefMethod == 1) {
        DrawPeaksOnPicture(state, shell);
    } else {
        RefreshClick(state, shell);
    }
}

void DrawPeaksOnPicture(AppState& state, Shell& shell) {
    Canvas* canvas = shell.PictureCanvas();
    if (canvas == nullptr || !state.Doc.SpectrumLoaded) return;
    const PeakDrawOutcome outcome =
        DrawPeaks(*canvas, state.Doc, state.Opts, state.Plot, RenderContext::Screen(),
                  SelectedPeakForDrawing(shell));
    ApplyPeakOutcome(outcome, state.Doc, shell);
    shell.PictureChanged();
}

int SelectedPeakForDrawing(const Shell& shell) {
    return shell.PeakInfoVisible() ? shell.PeakOrderIndex() + 1 : 0;
}

void ApplyPeakOutcome(const PeakDrawOutcome& outcome, const core::Document& doc, Shell& shell) {
    if (!outcome.Drawn) return;
    shell.SetSaveGLEnabled(true);
    shell.SetLsfEnabled(outcome.LsfEnabled);
    shell.SetSxxText(SxxText(doc.ResidualSum));
}

void DrawOpenedSpectrum(AppState& state, Shell& shell) {
    core::Document& doc = state.Doc;
    Canvas& canvas = shell.CreatePlotBitmap(PlotBitmapRect(state.Plot.Bevel));
    DrawSpectrum(canvas, doc, state.Opts, state.Plot, RenderContext::Screen());
    shell.TruncatePeakOrder(0);
    if (doc.PeakCount > 0) {
        const PeakDrawOutcome outcome =
            DrawPeaks(canvas, doc, state.Opts, state.Plot, RenderContext::Screen(),
                      SelectedPeakForDrawing(shell));
        ApplyPeakOutcome(outcome, doc, shell);
        for (int k = 1; k <= doc.PeakCount; ++k) shell.AppendPeakOrderItem(std::to_string(k));
    }
    shell.PictureChanged();
}

void RequestViewReset(AppState& state) {
    state.View.ViewResetRequest = true;
    state.Opts.XTickManual = false;
}

std::string ShortTitle(const core::Document& doc) {
    // The "\..." stands for the folders, whatever the platform's separator.
    return DriveOf(doc.SpectrumFileName) + "\\..." + FileNameOfAnyPath(doc.SpectrumFileName) +
           RangeSuffix(doc);
}

std::string LongTitle(const core::Document& doc) { return doc.SpectrumFileName + RangeSuffix(doc); }

std::string FitButtonHint(const core::Document& doc) {
    const double limit = doc.LsfUpperLimit;
    if (doc.PeakCount == 0 || doc.ResidualSum < limit) return "Go! Least-Square-Fitting";
    std::string limit_text = core::FormatGeneral(limit);
    if (limit_text.find_first_of(".E") == std::string::npos) limit_text += ".0";
    return "| r | = " + core::FormatFixed(doc.ResidualSum, 7, 2) +
           (doc.ResidualSum == limit ? " reaches" : " is above") + " the fit's upper limit " +
           limit_text + " (Options > GaussNewton)";
}

std::string SxxText(double residual_sum) { return core::FormatFixed(residual_sum, 7, 5); }

std::string NormGText(double y_scale) { return "NG : " + core::FormatSci(y_scale, 5, 5); }

std::string PGainText(const core::Document& doc, const core::Options& opts) {
    if (!opts.magnify_enable) return {};
    return core::FormatFixed(1.0 / doc.YRange, 5, 3) + "X";
}

std::string GainText(double y_expand) { return core::FormatFixed(y_expand, 3, 2); }

}  // namespace kalvex::view
