// Fixed capacities of the document: the largest spectrum, peak table, fit and array.
#pragma once

#include <cstdint>

namespace kalvex::core {

/// Points of the largest spectrum the document holds.
inline constexpr std::int32_t kMaxPoints = 65536;
/// Peak slots of the peak table (numbered 1..30).
inline constexpr int kMaxPeaks = 30;
/// Fitted parameters of one run: 30 peaks times 3 kinds.
inline constexpr int kMaxFitParams = 90;
/// Spectra of one arrayed file.
inline constexpr int kMaxSpectra = 255;
/// Longest spectrum path the open command accepts (characters).
inline constexpr std::size_t kMaxPathLength = 255;

}  // namespace kalvex::core
