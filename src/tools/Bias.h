// The automatic baseline estimate of an opened spectrum and the bias setting that applies it.
#pragma once

#include <string>

#include "core/Document.h"

namespace kalvex::tools {

/// The automatic bias Bauto, in normalised units: the mean of two window means of ObsY, one
/// over points 2-12 %, one over points 88-98 % of C = ViewPointCount (points numbered from
/// 1, point i at ObsY[i - 1]). Each value is truncated to 5 decimals and the sum is kept in a
/// 32-bit float, so the result matches the stored value bit for bit. An empty window (C below
/// about 20) adds nothing; Bauto is 0 when both are empty. Reads only ObsY and ViewPointCount.
float ComputeAutoBias(const core::Document& doc);

/// The bias dialog's BiasLabel text: "Auto is " + fixed(5,4)((bauto - YOffset) / YRange).
std::string AutoBiasLabel(const core::Document& doc, float bauto);

/// The "Bias Setting" rule after an open: 1 "Auto" sets Bias = bauto; 2 "Manual+Auto" does so
/// unless the peak file read with the spectrum gave a bias (BiasFromFile); 0 "Manual" and any
/// other value leave Bias as it is.
void ApplyAutoBiasSetting(core::Document& doc, int bias_set, float bauto);

}  // namespace kalvex::tools
