// The two-column X-Y text file .dat (read and written) and the common end of every import.
#pragma once

#include <string>

#include "core/Document.h"
#include "core/FileTransaction.h"
#include "core/Options.h"
#include "files/OpenCommand.h"

namespace kalvex::files {

/// The common end of every foreign-spectrum reader, for the `n` raw values in ObsY[0..n-1]:
/// PointCount = ViewPointCount = RangeFullCount = n; YScale = max - min; every value becomes
/// (v - min) / YScale, so the spectrum spans 0..1; YOffset = 0, SpcExtra = 0; the calibration
/// copies XFirstPpm0, XFirstHz0, RangeFullPpm, RangeFullHz follow XFirstPpm and XFirstHz.
/// Throws kalvex::Error naming `path` for fewer than 2 points, an X axis (ppm or Hz) that
/// does not stay finite to its last point, and the failures of NormaliseIntensities.
/// `lines` (optional) gives the line of each point of a text file for the messages.
void FinishImport(core::Document& doc, std::int32_t n, const std::string& path,
                  const int* lines = nullptr);

/// Finds min and max of `values[0..n-1]` and normalises them in place to 0..1; returns the
/// range max - min (the new YScale). Throws kalvex::Error naming `path`, and the value and its
/// line (from `lines`, when given) or point, for a value that is not finite and for a min and
/// max further apart than the largest double; and for a flat spectrum (all values equal),
/// which has no normalisation. Used by FinishImport and by the re-reading of one spectrum of
/// an arrayed file.
double NormaliseIntensities(double* values, std::int32_t n, const std::string& path,
                            const int* lines = nullptr);

/// Throws the error of a text spectrum with a 65,537th value, at `line` of `path`.
[[noreturn]] void FailTooManyPoints(const std::string& path, int line);

/// Reader of .dat files (signature of SpectrumReader): one point per line, X then intensity.
/// When X falls through the file, point 1 is line 1 and XStepPpm = X1 - X2 (further X values
/// are ignored). When it rises, point 1 is the last line, XFirstPpm its X and XStepPpm the
/// mean step (X of the last line - X1) / (n - 1), so that X falls with the point number and
/// every point keeps its own X. ppm and Hz members get the same numbers; F_Type = 2. Blank
/// lines at the end add no point. Throws kalvex::Error ("Range check error: ...") at the
/// 65,537th point and InvalidNumericInput at a token that is not a number.
void ReadXyText(core::Document& doc, const std::string& path, const core::Options& opts,
                const ArrayChooser& choose);

/// The .dat text of the displayed range: for the j-th line (j from 0) X = XFirstPpm - j *
/// XStepPpm (ppm whatever XAxisPpm says), a blank, ObsY[p - 1] * YScale + YOffset for point
/// p = ViewFirstPoint + j; both as 23-character reals; lines end in CR LF.
std::string XyTextFileText(const core::Document& doc);

/// Writes XyTextFileText to `path` through core::WriteFileAtomically (a failure keeps the
/// previous file and throws kalvex::Error), or stages it into `into`.
void WriteXyTextFile(const std::string& path, const core::Document& doc,
                     core::FileTransaction* into = nullptr);

}  // namespace kalvex::files
