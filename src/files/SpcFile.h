// The native spectrum file .spc: header, intensities in the "seq" or "col" layout, peak lines.
#pragma once

#include <string>

#include "core/Document.h"
#include "core/Options.h"
#include "files/PeakLines.h"

namespace kalvex::files {

/// Reads the .spc file at `path` into `doc` (fresh from Document::FreshForOpen): counts,
/// calibration, YScale and SpcExtra, the intensities (sets F_Type 0 "seq" or 1 "col"), auto
/// magnification when opts.magnify_enable, then the embedded peak lines (the open command reads
/// the .sp2 file beside it when there are none). Throws kalvex::Error (file not found, bad number,
/// a number that is not finite, 65,537th value) naming the file and line, also for an axis
/// (ppm or Hz) that passes the largest number before its last point, steps whose ratio (the
/// observe frequency) does, and an intensity whose absolute value v * YScale + YOffset does.
void ReadSpcFile(core::Document& doc, const std::string& path, const core::Options& opts);

/// The .spc text of the displayed range: F_Type 0 writes the "seq" layout, any other the
/// "col" layout; peaks inside the range are renumbered from the first saved point.
std::string SpcFileText(const core::Document& doc);

/// Save: writes SpcFileText to `path` (SaveFileName) when its extension is exactly ".spc";
/// otherwise writes the .sp2 peak file of the same name instead (kNoPeakData when there are
/// no peaks). Writes atomically, or stages into `into`.
PeakWriteStatus SaveSpectrum(const std::string& path, const core::Document& doc,
                             core::FileTransaction* into = nullptr);

}  // namespace kalvex::files
