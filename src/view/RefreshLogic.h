// The redraws of the main window's picture, its titles and the read-outs of the main window.
#pragma once

#include <string>

#include "core/Document.h"
#include "core/Options.h"
#include "view/AppState.h"
#include "view/Canvas.h"
#include "view/Plotting.h"
#include "view/Shell.h"

namespace kalvex::view {

/// The full refresh (the Refresh button and the redraw nearly every command ends with). Does
/// nothing while the ppm/Hz read-out is visible. A pending view reset restores the whole view
/// and gain 1 (not for an arrayed file) and puts UpDown_Y at 1. With a spectrum open: new
/// layout, fresh bitmap, spectrum, then the peaks (a half-placed peak is dropped first, and its
/// Peak_Order entry with it), and the short title unless Open_sp2_file is ticked; the reset
/// request is consumed. Without one only the frame is laid out. Always clears the Range XY
/// dialog's edited flags.
void RefreshClick(AppState& state, Shell& shell);

/// As RefreshClick, but never resets the view (the request stays pending) and always writes
/// the long title. Used by the gain keys.
void RedrawKeepRange(AppState& state, Shell& shell);

/// The redraw after a mouse or Peak Information edit of a peak, by the "Refresh Mode"
/// (Options::RefMethod): 0 "Auto" runs RefreshClick, 1 "Refresh Btn" only DrawPeaksOnPicture,
/// so earlier curves stay visible until the user presses Refresh.
void RedrawAfterPeakEdit(AppState& state, Shell& shell);

/// DrawPeaks onto the current picture (no new bitmap), then the read-outs of
/// ApplyPeakOutcome. Nothing without a picture.
void DrawPeaksOnPicture(AppState& state, Shell& shell);

/// The peak to draw green: Peak_Order's item + 1 while Sel_Dlg is visible, else 0.
int SelectedPeakForDrawing(const Shell& shell);

/// After a screen DrawPeaks that drew: M_saveGL enabled, LSF by the fit gate, Sxx text.
void ApplyPeakOutcome(const PeakDrawOutcome& outcome, const core::Document& doc, Shell& shell);

/// The picture of a spectrum just opened: a fresh bitmap in the current frame, the spectrum,
/// Peak_Order cleared and, with peaks, the peaks drawn and Peak_Order filled with 1..PeakCount.
/// The caller has set SpectrumLoaded and the document.
void DrawOpenedSpectrum(AppState& state, Shell& shell);

/// What the Range XY dialog's Reset asks of the next refresh: whole view (ViewResetRequest)
/// and automatic X ticks (Options::XTickManual cleared).
void RequestViewReset(AppState& state);

/// "<drive>\...<file name> : a-b<n points>" with the view's first and last point and count;
/// the drive ("C:") is empty for paths without one. From doc.SpectrumFileName.
std::string ShortTitle(const core::Document& doc);
/// "<full path> : a-b<npoints>".
std::string LongTitle(const core::Document& doc);

/// The fit button's hint: "Go! Least-Square-Fitting", or, while peaks exist but the squared
/// sum is not below the fit's upper limit, why the button is disabled:
/// "| r | = 2.60 is above the fit's upper limit 2.0 (Options > GaussNewton)".
std::string FitButtonHint(const core::Document& doc);

/// Sxx: ResidualSum as fixed(7,5).
std::string SxxText(double residual_sum);
/// NormG: "NG : " + YScale as sci(5,5).
std::string NormGText(double y_scale);
/// P_gain: 1/YRange as fixed(5,3) + "X"; empty when magnify_enable is not ticked.
std::string PGainText(const core::Document& doc, const core::Options& opts);
/// Label6 of the Range XY dialog: the gain YExpand as fixed(3,2).
std::string GainText(double y_expand);

}  // namespace kalvex::view
