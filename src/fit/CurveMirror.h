// The mirror image of a sampled curve about its centre, shared by both precisions' generators.
#pragma once

#include <cstdint>

namespace kalvex::fit {

/// Every curve is symmetric about its centre to the last bit: each formula takes the distance
/// d to the centre only as d / w or d * (1 / w) (whose sign alone follows d's) squared, or as
/// d^2. Element i and element Pivot2 - i therefore hold the same value, and the elements
/// [Lo, Hi), whose images all lie outside that range, are copied instead of computed: for a
/// peak inside the range that saves up to half of the divisions and exponentials. Lo = Hi
/// when nothing is copied.
struct Mirror {
    std::int32_t Lo = 0, Hi = 0, Pivot2 = 0;
};

/// The mirror of a curve centred at point `centre` over points first..first+count-1 (element
/// i is point first + i).
inline Mirror MirrorOf(std::uint16_t centre, std::int32_t first, std::int32_t count) {
    const std::int32_t p = static_cast<std::int32_t>(centre) - first;  // the centre's element
    if (p <= 0 || p >= count - 1) return {};
    if (p <= count - 1 - p) return {0, p, 2 * p};  // the left side copies from the right
    return {p + 1, count, 2 * p};                  // the right side copies from the left
}

}  // namespace kalvex::fit
