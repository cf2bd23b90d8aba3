// The .par report of the fit results: a table or a block per peak, with areas and shares.
#pragma once

#include <string>

#include "core/Document.h"
#include "core/FileTransaction.h"
#include "core/Options.h"

namespace kalvex::peaks {

/// The report's text, lines ending in CR LF like every text file Kalvex writes. Layout by
/// `opts.ParType` (0 "Select Params": one line per peak; 1 "All Params": a block per peak),
/// positions in the unit of `opts.Xaxis` (table only), line type and integral type as the
/// Peak Information window uses them. Each share is the area divided by the total as the
/// window shows it (four significant digits). In Gauss+Lorentz mode the areas are the
/// Gauss+Lorentz areas and the Gaussian and Lorentzian full widths both appear.
std::string FitReportText(const core::Document& doc, const core::Options& opts);

/// Writes FitReportText to `path` through the atomic writer (an existing file is replaced,
/// a failed write keeps it), or stages it into `into`. Throws kalvex::Error naming the file on
/// failure.
void WriteFitReport(const std::string& path, const core::Document& doc, const core::Options& opts,
                    core::FileTransaction* into = nullptr);

/// Where "To File" writes: the spectrum's path with the extension ".par".
std::string FitReportPath(const core::Document& doc);

}  // namespace kalvex::peaks
