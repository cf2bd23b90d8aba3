// kalvex-fit's CSV table: one row per spectrum and peak, and the status words of a fit.
#pragma once

#include <string>

#include "core/Document.h"
#include "core/Options.h"
#include "fit/GaussNewton.h"

namespace kalvex::cli {

/// The table's status word for how a run ended ("converged", "unchanged", "iterations",
/// "stopped", "diverged", "singular", "not finite", "refused").
std::string StatusOf(fit::FitEnd reason);

/// A real number as the table writes it: up to 12 significant digits; empty for NaN or
/// infinity, which no reader of the table should have to parse.
std::string TableReal(double v);

/// The header line of the table (with CR LF); Gauss+Lorentz adds the fraction and both widths.
std::string TableHeader(core::LineType type);

/// Appends one row per peak of `doc` for spectrum number `spectrum`: positions, height and
/// area in the file's intensity units, full width in Hz, their errors, the squared sum `z`
/// and `status`. The area follows opts.Int_Type as the program's windows do. Without
/// `numbers` (a fit that failed on a value that is not finite) the rows hold the spectrum,
/// the peak and the status, and every other field is empty.
void AppendTableRows(std::string& table, const core::Document& doc, core::LineType type,
                     const core::Options& opts, int spectrum, const std::string& status, double z,
                     bool numbers = true);

}  // namespace kalvex::cli
