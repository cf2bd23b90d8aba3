// A fast exponential in 80-bit extended precision for the curve generators' inner loops.
#pragma once

#include "core/Extended.h"

#include <cstdint>
#include <cstring>
#include <limits>

namespace kalvex::fit {

namespace exp_detail {

using core::Extended;

// 2^(j/64), j = 0..63, each rounded to the 64-bit mantissa of the extended type.
inline constexpr Extended kPow2Table[64] = {
    0x8000000000000000P-63L, 0x8164D1F3BC030773P-63L, 0x82CD8698AC2BA1D7P-63L,
    0x843A28C3ACDE4046P-63L, 0x85AAC367CC487B15P-63L, 0x871F61969E8D1010P-63L,
    0x88980E8092DA8527P-63L, 0x8A14D575496EFD9AP-63L, 0x8B95C1E3EA8BD6E7P-63L,
    0x8D1ADF5B7E5BA9E6P-63L, 0x8EA4398B45CD53C0P-63L, 0x9031DC431466B1DCP-63L,
    0x91C3D373AB11C336P-63L, 0x935A2B2F13E6E92CP-63L, 0x94F4EFA8FEF70961P-63L,
    0x96942D3720185A00P-63L, 0x9837F0518DB8A96FP-63L, 0x99E0459320B7FA65P-63L,
    0x9B8D39B9D54E5539P-63L, 0x9D3ED9A72CFFB751P-63L, 0x9EF5326091A111AEP-63L,
    0xA0B0510FB9714FC2P-63L, 0xA27043030C496819P-63L, 0xA43515AE09E6809EP-63L,
    0xA5FED6A9B15138EAP-63L, 0xA7CD93B4E965356AP-63L, 0xA9A15AB4EA7C0EF8P-63L,
    0xAB7A39B5A93ED337P-63L, 0xAD583EEA42A14AC6P-63L, 0xAF3B78AD690A4375P-63L,
    0xB123F581D2AC2590P-63L, 0xB311C412A9112489P-63L, 0xB504F333F9DE6484P-63L,
    0xB6FD91E328D17791P-63L, 0xB8FBAF4762FB9EE9P-63L, 0xBAFF5AB2133E45FBP-63L,
    0xBD08A39F580C36BFP-63L, 0xBF1799B67A731083P-63L, 0xC12C4CCA66709456P-63L,
    0xC346CCDA24976407P-63L, 0xC5672A115506DADDP-63L, 0xC78D74C8ABB9B15DP-63L,
    0xC9B9BD866E2F27A3P-63L, 0xCBEC14FEF2727C5DP-63L, 0xCE248C151F8480E4P-63L,
    0xD06333DAEF2B2595P-63L, 0xD2A81D91F12AE45AP-63L, 0xD4F35AABCFEDFA1FP-63L,
    0xD744FCCAD69D6AF4P-63L, 0xD99D15C278AFD7B6P-63L, 0xDBFBB797DAF23755P-63L,
    0xDE60F4825E0E9124P-63L, 0xE0CCDEEC2A94E111P-63L, 0xE33F8972BE8A5A51P-63L,
    0xE5B906E77C8348A8P-63L, 0xE8396A503C4BDC68P-63L, 0xEAC0C6E7DD24392FP-63L,
    0xED4F301ED9942B84P-63L, 0xEFE4B99BDCDAF5CBP-63L, 0xF281773C59FFB13AP-63L,
    0xF5257D152486CC2CP-63L, 0xF7D0DF730AD13BB9P-63L, 0xFA83B2DB722A033AP-63L,
    0xFD3E0C0CF486C175P-63L,
};

// ln 2 / 64 split so that n * kLn2By64Hi is exact for |n| < 2^24 (40 significant bits).
inline constexpr Extended kLn2By64Hi = 0xB17217F7D1P-46L;
inline constexpr Extended kLn2By64Lo = 0xCF79ABC9E3B39804P-110L;
inline constexpr double k64ByLn2 = 92.332482616893656;
// Beyond these arguments the result is 0 (below the smallest subnormal) or infinite.
inline constexpr Extended kUnderflowArg = -11398.0L;
inline constexpr Extended kOverflowArg = 11356.5L;

// 2^m for m in the normal range of the extended type, built from its bit fields.
inline Extended Pow2(int m) {
    const std::uint64_t mantissa = 0x8000000000000000ULL;
    const std::uint16_t sign_exponent = static_cast<std::uint16_t>(m + 16383);
    Extended v = 0.0L;
    unsigned char bytes[10];
    std::memcpy(bytes, &mantissa, 8);
    std::memcpy(bytes + 8, &sign_exponent, 2);
    std::memcpy(&v, bytes, 10);
    return v;
}

}  // namespace exp_detail

/// e^x in extended precision: relative error below 1E-18 wherever the result is a normal
/// extended number (glibc's expl is an order of magnitude slower in the generators' loops).
/// 0 for x <= -11398 (the deepest subnormals are dropped), +inf for x >= 11356.5, NaN for NaN.
inline core::Extended ExpExtended(core::Extended x) {
    using namespace exp_detail;
    if (!(x > kUnderflowArg && x < kOverflowArg)) {
        if (x != x) return x;
        return x < 0 ? 0.0L : std::numeric_limits<Extended>::infinity();
    }
    // n = nearest(x * 64 / ln 2) through the double rounding trick; r = x - n ln2/64 is then
    // within about ln2/128 of 0, where a degree-7 Taylor series is exact to the last bit.
    const double shifted = static_cast<double>(x) * k64ByLn2 + 0x1.8p52;
    std::int64_t bits;
    std::memcpy(&bits, &shifted, sizeof bits);
    const std::int32_t n = static_cast<std::int32_t>(bits);
    const Extended nd = static_cast<Extended>(shifted - 0x1.8p52);
    const Extended r = (x - nd * kLn2By64Hi) - nd * kLn2By64Lo;
    const Extended q =
        r * (1.0L +
             r * (1.0L / 2 +
                  r * (1.0L / 6 +
                       r * (1.0L / 24 + r * (1.0L / 120 + r * (1.0L / 720 + r * (1.0L / 5040)))))));
    const Extended t = kPow2Table[n & 63];
    const Extended mantissa = t + t * q;  // e^r - 1 kept apart to save a rounding
    const int m = n >> 6;                 // floor division: arithmetic shift
    if (m >= -16382) return mantissa * Pow2(m);
    // Subnormal results: scale in two steps so that only the last product rounds.
    return mantissa * Pow2(m + 64) * Pow2(-64);
}

}  // namespace kalvex::fit
