// The peak line: the peak table in .spc files, .sp2 peak files and .sp3 curve tables.
#pragma once

#include <string>

#include "core/Document.h"
#include "core/FileTransaction.h"
#include "core/NumberReader.h"

namespace kalvex::files {

/// Outcome of a peak-file writer that has nothing to write.
enum class PeakWriteStatus { kWritten, kNoPeakData };

/// Message shown when a peak writer is asked to write an empty table.
inline constexpr const char* kNoPeakDataMessage = "No Peak Data !!!";

/// Reads peak lines from the reader's position to the end of the data into slots 1..n and
/// sets PeakCount = n. The first line may carry Bias (sets BiasFromFile) and the line-shape
/// flag. Throws RangeCheckError at a 31st line and InvalidNumericInput at a bad token; then
/// PeakCount keeps its value from before the call.
void ReadPeakLines(core::NumberReader& in, core::Document& doc);

/// Reads the .sp2 file at `path` when it can be opened; returns false (not an error) when
/// it cannot. Bad contents throw as ReadPeakLines does.
bool ReadPeakFileIfPresent(const std::string& path, core::Document& doc);

/// One peak line of peak k with the given position field, CR LF included. `first` adds the
/// bias and the line-shape flag.
std::string FormatPeakLine(const core::Document& doc, int k, int position, bool first);

/// The .sp2 text: all peaks, positions relative to ViewFirstPoint.
std::string PeakFileText(const core::Document& doc);

/// Writes the .sp2 file (atomically, or staged into `into`); kNoPeakData when the table is
/// empty.
PeakWriteStatus WritePeakFile(const std::string& path, const core::Document& doc,
                              core::FileTransaction* into = nullptr);

/// The .sp3 text: header, peak lines, column header and one row per point of the spectrum.
std::string CurveTableText(const core::Document& doc);

/// Writes the .sp3 file (atomically, or staged into `into`); kNoPeakData when the table is
/// empty.
PeakWriteStatus WriteCurveTable(const std::string& path, const core::Document& doc,
                                core::FileTransaction* into = nullptr);

}  // namespace kalvex::files
