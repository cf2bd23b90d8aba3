// The standard fit cases of the benchmarks and the precision tests, generated with fixed seeds.
#pragma once

#include <vector>

#include "core/Document.h"
#include "core/Options.h"

namespace kalvex::test {

/// One standard case: a spectrum of `Points` points with `Peaks` peaks of one shape, noise of
/// 0.002 on a bias of 0.02 (normalised units), and starting peaks 2 to 4 points and 10 to
/// 30 % off in height and width.
struct StandardCase {
    const char* Name;
    int Points;
    int Peaks;
    core::LineType Line;
};

/// 4,096 points with 5 Lorentz peaks, 16,384 with 10 Lorentz and with 10 Gauss peaks, 65,536
/// with 30 Lorentz peaks.
const std::vector<StandardCase>& StandardCases();

/// The bias of every standard spectrum.
inline constexpr float kStandardBias = 0.02f;

/// A generated case: the spectrum with its starting peaks, and the true centres.
struct GeneratedCase {
    core::Document Doc;
    std::vector<int> TruePos;
};

/// Draw `seed` (1, 2, ...) of a case; draw 1 is the one the benchmarks fit.
GeneratedCase GenerateCase(const StandardCase& c, unsigned seed = 1);

}  // namespace kalvex::test
