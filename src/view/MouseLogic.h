// The mouse and keyboard state machine of the spectrum picture, and the pixel conversions.
#pragma once

#include <string>

#include "core/Document.h"
#include "view/AppState.h"
#include "view/PlotGeometry.h"
#include "view/Shell.h"

namespace kalvex::view {

/// The button of a press or release.
enum class MouseButton { kLeft, kRight, kMiddle };

/// Buttons and modifier keys held during a mouse event.
struct ShiftState {
    bool Shift = false;
    bool Ctrl = false;
    bool Alt = false;
    bool Left = false;
    bool Right = false;
    bool Middle = false;
};

/// Virtual key codes of the arrow keys.
inline constexpr int kVkLeft = 37;
inline constexpr int kVkUp = 38;
inline constexpr int kVkRight = 39;
inline constexpr int kVkDown = 40;

/// The message of a right click when the peak table is full.
inline constexpr const char* kPeakTableFull = "The peak table is full (30 peaks)";

// --- Conversions of a bitmap X, with the geometry of the last screen drawing.

/// Shown point i of X: nearest((X - PlotLeft) / PxPerPoint), halves away from zero.
int ShownPointAt(const PlotGeometry& geo, int x);
/// Spectrum point p of X: ShownPointAt + ViewFirstPoint (1-based; not limited to the spectrum).
int PointAt(const core::Document& doc, const PlotGeometry& geo, int x);
/// ppm of X: XFirstPpm - i * XStepPpm.
double PpmAt(const core::Document& doc, const PlotGeometry& geo, int x);
/// Hz of X: XFirstHz - i * XStepHz.
double HzAt(const core::Document& doc, const PlotGeometry& geo, int x);
/// The axis value text of X: general form of the ppm cut (not rounded) to 3 decimals, or of the
/// Hz cut to 2 decimals, by doc.XAxisPpm. 1.23456 ppm gives "1.234", -12.345 Hz "-12.34".
std::string AxisValueText(const core::Document& doc, const PlotGeometry& geo, int x);

// --- Events of the picture ImgSpect (x, y in bitmap pixels). They act only with a spectrum
// --- open.

/// Press: starts a range drag while the Range XY dialog is open (and the ppm/Hz read-out is
/// hidden): Edit1 gets the axis value of X (at least PlotLeft); a right-button press switches
/// the dialog to "Apply".
void ImgSpectMouseDown(AppState& state, Shell& shell, MouseButton button, ShiftState shift, int x,
                       int y);

/// Move inside the plot columns: the ppm/Hz cursor line and read-out while that window is
/// visible (Range XY closed), or the rubber band of a range drag (buttons held). Both are drawn
/// in NOT-XOR, erasing the previous one by drawing it again.
void ImgSpectMouseMove(AppState& state, Shell& shell, ShiftState shift, int x, int y);

/// Release: the end of a range drag (Edit2, then the dialog's OK); otherwise the peak
/// placement: a right click within the plot rows adds a peak with position and height and
/// draws its red marker (refused with kPeakTableFull at 30 peaks; point 65536 becomes 65535),
/// the next left click gives its half width; with no peak pending a left click picks the
/// nearest peak (ties to the lower number) and shows it. With the ppm/Hz read-out visible a
/// click sets the reference of the Hz difference.
void ImgSpectMouseUp(AppState& state, Shell& shell, MouseButton button, ShiftState shift, int x,
                     int y);

/// A character typed on the main window: A (gain 1), D (gain down), I (gain up), R (refresh
/// or the view reset), in either case; others are ignored. Every key first rounds YExpand to
/// 3 decimals (halves to even).
void KeyPress(AppState& state, Shell& shell, char key);

/// A key pressed in any control of the main window: the arrows run StepGainByArrow.
void CMChildKey(AppState& state, Shell& shell, int virtual_key);

/// Arrow keys: open the Range XY dialog on its Y_axis tab; up and down also step the gain
/// (up: +1 from 1 on, else +0.1; down: -1 from 2 on, 1 from between 1 and 2, else -0.1 with a
/// result below 0.001 raised to 0.1) and redraw keeping the range. Other codes do nothing.
void StepGainByArrow(AppState& state, Shell& shell, int virtual_key);

/// YExpand rounded to 3 decimals, halves to even.
double RoundGain(double y_expand);

}  // namespace kalvex::view
