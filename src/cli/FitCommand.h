// kalvex-fit: the headless batch fitter, its arguments and its run, testable in-process.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "cli/FitArguments.h"

namespace kalvex::cli {

/// Exit statuses of kalvex-fit.
inline constexpr int kExitOk = 0;
inline constexpr int kExitBadInput = 1;   ///< usage, unreadable input, unwritable output
inline constexpr int kExitFitFailed = 2;  ///< singular matrix, divergence, no convergence

/// Runs kalvex-fit: one summary line per fit on `out` ("Z=<squared sum> iterations=<n>
/// seconds=<fit time>", prefixed by "spectrum=<k> " with --all-spectra), progress and
/// messages on `err`. Returns kExitOk, kExitBadInput or kExitFitFailed.
int RunFitCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace kalvex::cli
