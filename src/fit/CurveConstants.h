// The constants of the curve formulas, shared by the curve generators and the fit model.
#pragma once

#include <cmath>

#include "core/Extended.h"

namespace kalvex::fit {

/// Pi in extended precision, as the Gauss+Lorentz formulas use it.
inline constexpr core::Extended kPi = 3.14159265358979324L;
/// ln 2 as the run-time natural logarithm of 2.0, as the curve formulas are defined.
inline const core::Extended kLn2 = std::log(2.0L);
/// sqrt(pi / ln 2): the area of a Gaussian of half width 1 and height 1.
inline const core::Extended kSqrtPiByLn2 = std::sqrt(kPi / kLn2);

}  // namespace kalvex::fit
