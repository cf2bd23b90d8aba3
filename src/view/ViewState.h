// State of the spectrum picture's mouse, keys and redraws that is not part of the document.
#pragma once

namespace kalvex::view {

/// Flags and positions shared by the mouse handling, the redraws and the tool windows.
/// An open resets NewPeakPending, CursorFresh, ToolMode, RangeDialogOpen and RefHz
/// (ResetForOpen).
struct ViewState {
    /// A right click has added a peak whose half width the next left click gives; a refresh
    /// while it is set drops that peak again.
    bool NewPeakPending = false;

    /// Press point of a range drag (bitmap pixels).
    int DragX0 = 0;
    int DragY0 = 0;
    /// Corner of the rubber band last drawn; DragX1 is also the X of the last cursor line.
    int DragX1 = 0;
    int DragY1 = 0;
    /// The range drag began with the left button (the Range XY dialog closes after OK).
    bool DragLeftButton = false;

    /// Set when the ppm/Hz read-out opens: the next cursor move draws without erasing.
    bool CursorFresh = false;
    /// Reference of the ppm/Hz read-out's difference, Hz (set by a click).
    double RefHz = 0.0;
    /// Last difference shown by the read-out, Hz, cut to 2 decimals.
    double DiffHz = 0.0;

    /// Set by the Range XY dialog's Reset; the next full refresh with a spectrum open
    /// restores the whole view and clears it.
    bool ViewResetRequest = false;
    /// A tool window (Range XY, ppm/Hz read-out) holds the main window in its mode.
    bool ToolMode = false;
    /// The Range XY dialog is open: mouse presses and releases choose an X range.
    bool RangeDialogOpen = false;

    /// The resets an open makes.
    void ResetForOpen() {
        NewPeakPending = false;
        CursorFresh = false;
        ToolMode = false;
        RangeDialogOpen = false;
        RefHz = 0.0;
    }
};

}  // namespace kalvex::view
