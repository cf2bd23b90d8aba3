// The extended-precision type of the numerical work.
#pragma once

#include <limits>

namespace kalvex::core {

/// 80-bit extended precision: the fit's Jacobian, matrices, residuals and curve intermediates.
using Extended = long double;

static_assert(std::numeric_limits<Extended>::digits == 64,
              "Kalvex needs the 80-bit extended type (64-bit mantissa) of x86-64");

}  // namespace kalvex::core
