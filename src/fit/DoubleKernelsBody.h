// The fast fit's loops, written once and compiled twice: DoubleKernelsPortable.cpp and
// DoubleKernelsAvx2.cpp include this file with KALVEX_KERNELS_NAMESPACE set to their own
// namespace and their own instruction set. Everything here has internal linkage, so the two
// builds never meet at link time (an inline function shared by both could otherwise run AVX2
// instructions on a processor without them).
//
// The loops are plain element-wise loops the compiler vectorises; only the products and the
// squared sum use GCC's vector extension (four doubles), because the compiler vectorises a
// sum only with permission to reorder it, and that order must stay fixed.
#include <cstdint>
#include <cstring>

#include "fit/DoubleKernels.h"

#ifndef KALVEX_KERNELS_NAMESPACE
#error "include DoubleKernelsBody.h only from a kernels build file"
#endif
#ifndef KALVEX_KERNELS_TILE_ROWS
#error "KALVEX_KERNELS_TILE_ROWS must be set (1 to 8)"
#endif

namespace kalvex::fit::KALVEX_KERNELS_NAMESPACE {
namespace {

typedef double V4 __attribute__((vector_size(32)));

inline std::uint64_t Bits(double v) {
    std::uint64_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

inline double FromBits(std::uint64_t b) {
    double v;
    std::memcpy(&v, &b, sizeof v);
    return v;
}

constexpr double kRoundingShift = 0x1.8p52;  // adding it rounds to an integer in the low bits
constexpr double kLn2 = 0.693147180559945309417232121458176568;
constexpr std::uint64_t kMagnitudeMask = 0x7FFFFFFFFFFFFFFFULL;
constexpr std::uint64_t kExponentMask = 0x7FF0000000000000ULL;

// 2^y for y <= 0, to about 1 ulp: 2^y = 2^n e^(f ln2) with n the integer nearest y and
// f = y - n (exact) in [-1/2, 1/2], e^r by its Taylor series to r^13 (|r| <= 0.347, error
// below 1E-17). Below 2^-1020 the result is 0, which drops only values under 1E-307.
// Branch-free, so that it vectorises.
inline double Exp2NonPositive(double y) {
    const double c = y > -1020.0 ? y : -1020.0;
    const double shifted = c + kRoundingShift;
    const double n = shifted - kRoundingShift;
    const double r = (c - n) * kLn2;
    double p = 1.0 / 6227020800.0;
    p = p * r + 1.0 / 479001600.0;
    p = p * r + 1.0 / 39916800.0;
    p = p * r + 1.0 / 3628800.0;
    p = p * r + 1.0 / 362880.0;
    p = p * r + 1.0 / 40320.0;
    p = p * r + 1.0 / 5040.0;
    p = p * r + 1.0 / 720.0;
    p = p * r + 1.0 / 120.0;
    p = p * r + 1.0 / 24.0;
    p = p * r + 1.0 / 6.0;
    p = p * r + 0.5;
    p = p * r + 1.0;
    p = p * r + 1.0;
    // n + 1023 in the exponent field: the low bits of `shifted` hold n.
    const double scale = FromBits((Bits(shifted) - Bits(kRoundingShift) + 1023) << 52);
    const double v = p * scale;
    return y > -1020.0 ? v : 0.0;
}

void Curve(double* __restrict out, int lo, int hi, double d0, double inv_w, double height,
           bool lorentz) {
    if (lorentz) {
        for (int i = lo; i < hi; ++i) {
            const double u = (d0 + i) * inv_w;
            out[i] = height / (1.0 + u * u);
        }
    } else {
        for (int i = lo; i < hi; ++i) {
            const double u = (d0 + i) * inv_w;
            out[i] = height * Exp2NonPositive(-(u * u));
        }
    }
}

void CurveGL(double* __restrict out, int lo, int hi, double d0, const GLCurveTerms& t) {
    const double inv_wg = t.InvWg, ag = t.AGauss, al = t.ALorentz, wl2 = t.Wl2;
    if (t.Gauss && t.Lorentz) {
        for (int i = lo; i < hi; ++i) {
            const double d = d0 + i;
            const double v = d * inv_wg;
            out[i] = ag * Exp2NonPositive(-(v * v)) + al / (wl2 + d * d);
        }
    } else if (t.Gauss) {
        for (int i = lo; i < hi; ++i) {
            const double v = (d0 + i) * inv_wg;
            out[i] = ag * Exp2NonPositive(-(v * v));
        }
    } else {
        for (int i = lo; i < hi; ++i) {
            const double d = d0 + i;
            out[i] = al / (wl2 + d * d);
        }
    }
}

// Magnitudes compare as the integers of their bits (sign cleared), which vectorises; a NaN
// is larger than every number. The minimum of each run of 256 values is kept, so that the
// first value with the smallest magnitude is found without a second pass over everything.
double SmallestMagnitude(const double* __restrict v, int count) {
    constexpr int kRun = 256;
    constexpr int kMaxRuns = 65536 / kRun;
    const int runs = (count + kRun - 1) / kRun;
    std::int64_t run_min[kMaxRuns];
    std::int64_t best = INT64_MAX;
    for (int b = 0; b < runs && b < kMaxRuns; ++b) {
        const int end = b * kRun + kRun < count ? b * kRun + kRun : count;
        std::int64_t m = INT64_MAX;
        for (int i = b * kRun; i < end; ++i) {
            const std::int64_t bits = static_cast<std::int64_t>(Bits(v[i]) & kMagnitudeMask);
            m = bits < m ? bits : m;
        }
        run_min[b] = m;
        best = m < best ? m : best;
    }
    for (int b = 0; b < runs; ++b) {
        if (run_min[b] != best) continue;
        for (int i = b * kRun;; ++i) {
            if (static_cast<std::int64_t>(Bits(v[i]) & kMagnitudeMask) == best) return v[i];
        }
    }
    return v[0];
}

void Rescale(double* __restrict v, int lo, int hi, double m, double factor) {
    for (int i = lo; i < hi; ++i) v[i] = (v[i] - m) * factor;
}

void Columns(double* __restrict pos, double* __restrict width, double* __restrict height, int step,
             int rows, double d0, double inv_w, double pos_factor, bool lorentz) {
    if (lorentz) {
        for (int i = 0; i < rows; ++i) {
            const double u = (d0 + i) * inv_w;
            const double s = 1.0 / (1.0 + u * u);
            const double dpos = pos_factor * u * s * s;
            pos[i * step] = dpos;
            width[i * step] = u * dpos;
            height[i * step] = s;
        }
    } else {
        for (int i = 0; i < rows; ++i) {
            const double u = (d0 + i) * inv_w;
            const double s = Exp2NonPositive(-(u * u));
            const double dpos = pos_factor * u * s;
            pos[i * step] = dpos;
            width[i * step] = u * dpos;
            height[i * step] = s;
        }
    }
}

void ColumnGL(double* __restrict out, int step, int rows, double d0, const GLColumnTerms& t) {
    const double inv_wg = t.InvWg, inv_wl = t.InvWl, cg = t.Cg, cl = t.Cl;
    // G and L at every row; an undefined width has inverse 0 (G = L = 1), and every factor of
    // its term is then 0.
    auto terms = [&](int i, double& v, double& g, double& o, double& l) {
        const double d = d0 + i;
        v = d * inv_wg;
        g = Exp2NonPositive(-(v * v));
        o = d * inv_wl;
        l = 1.0 / (1.0 + o * o);
    };
    switch (t.Kind) {
        case GLColumnKind::kPosition:
            for (int i = 0; i < rows; ++i) {
                double v, g, o, l;
                terms(i, v, g, o, l);
                out[i * step] = t.PosG * g * v + t.PosL * l * l * o;
            }
            break;
        case GLColumnKind::kWidthL:
            for (int i = 0; i < rows; ++i) {
                double v, g, o, l;
                terms(i, v, g, o, l);
                out[i * step] = t.WlA * (2.0 * o * o * l * l - l) + t.WlB * (cg * g + cl * l);
            }
            break;
        case GLColumnKind::kWidthG:
            for (int i = 0; i < rows; ++i) {
                double v, g, o, l;
                terms(i, v, g, o, l);
                out[i * step] = t.WgA * g * (2.0 * kLn2 * v * v - 1.0) + t.WgB * (cg * g + cl * l);
            }
            break;
        case GLColumnKind::kArea:
            for (int i = 0; i < rows; ++i) {
                double v, g, o, l;
                terms(i, v, g, o, l);
                out[i * step] = cg * g + cl * l;
            }
            break;
        case GLColumnKind::kFraction:
            for (int i = 0; i < rows; ++i) {
                double v, g, o, l;
                terms(i, v, g, o, l);
                out[i * step] =
                    t.DAreaF * (cg * g + cl * l) + t.AreaF * (l * t.InvGl - g * t.InvGg);
            }
            break;
    }
}

int ColumnFlags(const double* __restrict c, int step, int rows) {
    std::uint64_t any = 0;
    std::uint64_t not_finite = 0;
    for (int i = 0; i < rows; ++i) {
        const std::uint64_t b = Bits(c[i * step]);
        any |= b & kMagnitudeMask;
        not_finite |= (b & kExponentMask) == kExponentMask ? 1 : 0;
    }
    return (any == 0 ? 1 : 0) | (not_finite != 0 ? 2 : 0);
}

// One tile of the block's products: the columns i0..i0+TI-1 with the columns j0..j0+7, from
// two strips read straight through. Each sum runs over the rows in order in one lane.
template <int TI>
void Tile(const StripPanel& panel, int i0, int j0, const int* live, int count,
          double* __restrict acc, std::size_t acc_stride) {
    constexpr int kStep = StripPanel::kStep;
    const double* __restrict si = panel.Column(i0);
    const double* __restrict sj = panel.Column(j0);
    V4 s[TI][2] = {};
    for (int x = 0; x < panel.Rows; ++x) {
        V4 y0, y1;
        std::memcpy(&y0, sj + kStep * x, sizeof(V4));
        std::memcpy(&y1, sj + kStep * x + 4, sizeof(V4));
        for (int a = 0; a < TI; ++a) {
            const double v = si[kStep * x + a];
            const V4 b = {v, v, v, v};
            s[a][0] += b * y0;
            s[a][1] += b * y1;
        }
    }
    for (int a = 0; a < TI && i0 + a < count; ++a) {
        double* out = acc + static_cast<std::size_t>(live[i0 + a]) * acc_stride;
        for (int l = 0; l < 8 && j0 + l < count; ++l) out[live[j0 + l]] += s[a][l / 4][l % 4];
    }
}

void BlockProducts(const StripPanel& panel, const int* live, int count, double* acc,
                   std::size_t acc_stride) {
    constexpr int kTi = KALVEX_KERNELS_TILE_ROWS;
    static_assert(StripPanel::kStep % kTi == 0, "a tile's rows lie in one strip");
    for (int i0 = 0; i0 < count; i0 += kTi) {
        for (int j0 = i0 - i0 % StripPanel::kStep; j0 < count; j0 += StripPanel::kStep) {
            Tile<kTi>(panel, i0, j0, live, count, acc, acc_stride);
        }
    }
}

void Residuals(const double* __restrict curves, std::size_t stride, int peaks,
               const double* __restrict obs, double bias, double* __restrict r, int lo, int hi) {
    constexpr int kRun = 512;
    double sum[kRun];
    for (int start = lo; start < hi; start += kRun) {
        const int len = hi - start < kRun ? hi - start : kRun;
        for (int i = 0; i < len; ++i) sum[i] = 0.0;
        for (int k = 0; k < peaks; ++k) {
            const double* c = curves + static_cast<std::size_t>(k) * stride + start;
            for (int i = 0; i < len; ++i) sum[i] += c[i];
        }
        for (int i = 0; i < len; ++i) r[start + i] = obs[start + i] - sum[i] - bias;
    }
}

double SquaredSum(const double* r, int n) {
    V4 s = {};
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        V4 v;
        std::memcpy(&v, r + i, sizeof v);
        s += v * v;
    }
    double lane[4] = {s[0], s[1], s[2], s[3]};
    for (; i < n; ++i) lane[i % 4] += r[i] * r[i];
    return (lane[0] + lane[1]) + (lane[2] + lane[3]);
}

}  // namespace

const DoubleKernels& Kernels() {
    static const DoubleKernels kernels{
        KALVEX_KERNELS_LABEL,
        Curve,
        CurveGL,
        SmallestMagnitude,
        Rescale,
        Columns,
        ColumnGL,
        ColumnFlags,
        BlockProducts,
        Residuals,
        SquaredSum,
    };
    return kernels;
}

}  // namespace kalvex::fit::KALVEX_KERNELS_NAMESPACE
