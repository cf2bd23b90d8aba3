// The fast fit's loops, every build this processor runs, against the extended-precision code.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "fit/DoubleKernels.h"
#include "fit/FastLineShapes.h"
#include "fit/LineShapes.h"

namespace kalvex::fit {
namespace {

// The builds to check: the portable one always, the AVX2/FMA one where it runs.
std::vector<const DoubleKernels*> Builds() {
    std::vector<const DoubleKernels*> builds = {KernelsFor(SimdPath::kPortable)};
    if (const DoubleKernels* avx2 = KernelsFor(SimdPath::kAvx2)) builds.push_back(avx2);
    return builds;
}

TEST(DoubleKernels, TheBestBuildIsAvx2ExactlyWhereTheProcessorHasIt) {
    ASSERT_NE(KernelsFor(SimdPath::kPortable), nullptr);
    EXPECT_EQ(KernelsFor(SimdPath::kAvx2) != nullptr, CpuHasAvx2Fma());
    EXPECT_EQ(KernelsFor(SimdPath::kBest),
              CpuHasAvx2Fma() ? KernelsFor(SimdPath::kAvx2) : KernelsFor(SimdPath::kPortable));
    if (!CpuHasAvx2Fma()) GTEST_SKIP() << "no AVX2/FMA here: only the portable build ran";
}

TEST(DoubleKernels, CurvesMatchTheExtendedGeneratorsWithTheSameEdgeRescale) {
    struct Case {
        const char* name;
        int centre, first, count;
        double wg, wl, height, fraction;  // fraction < 0: Gauss (wl < 0) or Lorentz (wg < 0)
    };
    const Case cases[] = {
        {"gauss inside", 500, 1, 1000, 10.0, -1.0, 1.0, -1.0},
        {"gauss beyond the range", 1400, 1, 1000, 120.0, -1.0, 0.7, -1.0},
        {"gauss narrower than a point", 300, 1, 600, 0.2, -1.0, 0.5, -1.0},
        {"lorentz wide tails", 200, 1, 1000, -1.0, 300.0, 2.0, -1.0},
        {"lorentz negative, later range", 1800, 1500, 700, -1.0, 6.0, -0.4, -1.0},
        {"negative width", 400, 1, 800, -1.0, -8.0, 0.9, -1.0},
        {"gauss+lorentz", 700, 1, 2000, 6.0, 9.0, 0.6, 0.3},
        {"gauss+lorentz fraction above 1", 700, 1, 2000, 6.0, 9.0, 0.6, 1.2},
        {"gauss+lorentz pure lorentz", 700, 1, 2000, 0.0, 9.0, 0.6, 1.0},
        {"gauss+lorentz pure gauss", 100, 1, 2000, 6.0, 0.0, 0.6, 0.0},
    };
    for (const DoubleKernels* k : Builds()) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(k->Name) + ": " + c.name);
            std::vector<double> exact(static_cast<std::size_t>(c.count), 9.0);
            std::vector<double> fast(static_cast<std::size_t>(c.count), 9.0);
            const auto centre = static_cast<std::uint16_t>(c.centre);
            if (c.fraction >= 0.0) {
                const double area = c.height / CentreDensityGL(c.wg, c.wl, c.fraction);
                FillPeakCurveGLRange(exact.data(), centre, c.first, c.count, c.wg, c.wl, c.height,
                                     area, c.fraction);
                FillPeakCurveGLFast(*k, fast.data(), centre, c.first, c.count, c.wg, c.wl, c.height,
                                    area, c.fraction);
            } else {
                const bool lorentz = c.wg < 0.0;
                const double w = lorentz ? c.wl : c.wg;
                FillPeakCurveRange(exact.data(), centre, c.first, c.count, w, c.height, lorentz);
                FillPeakCurveFast(*k, fast.data(), centre, c.first, c.count, w, c.height, lorentz);
            }
            for (std::size_t i = 0; i < exact.size(); ++i) {
                ASSERT_NEAR(fast[i], exact[i], 1e-14 * std::fabs(c.height)) << i;
                // The point the rescale makes 0 is 0 in both.
                if (exact[i] == 0.0) {
                    ASSERT_LE(std::fabs(fast[i]), 1e-300) << i;
                }
            }
        }
    }
}

TEST(DoubleKernels, DegenerateCurvesAreAllZero) {
    for (const DoubleKernels* k : Builds()) {
        SCOPED_TRACE(k->Name);
        std::vector<double> v(100, 5.0);
        FillPeakCurveFast(*k, v.data(), 50, 1, 100, 0.0, 1.0, false);  // zero width
        for (double x : v) ASSERT_EQ(x, 0.0);
        v.assign(100, 5.0);
        FillPeakCurveFast(*k, v.data(), 50, 1, 100, std::nan(""), 1.0, true);  // NaN width
        for (double x : v) ASSERT_EQ(x, 0.0);
        v.assign(1, 5.0);
        FillPeakCurveFast(*k, v.data(), 1, 1, 1, 3.0, 1.0, true);  // one point: height - m = 0
        EXPECT_EQ(v[0], 0.0);
        v.assign(100, 5.0);
        FillPeakCurveGLFast(*k, v.data(), 50, 1, 100, 0.0, 4.0, 1.0, 1.0, 0.5);  // no wG
        for (double x : v) ASSERT_EQ(x, 0.0);
    }
}

TEST(DoubleKernels, TheSmallestMagnitudeIsTheFirstOfItsKind) {
    struct Case {
        const char* name;
        std::vector<std::pair<int, double>> set;  // index, value; the rest is 1.0
        int count;
        double expected;
    };
    const Case cases[] = {
        {"at the start", {{0, 0.25}}, 300, 0.25},
        {"at the end", {{299, -0.25}}, 300, -0.25},
        {"ties: the lower index wins", {{10, -0.5}, {700, 0.5}}, 1000, -0.5},
        {"ties in one run of 256", {{300, 0.5}, {260, -0.5}}, 1000, -0.5},
        {"zero of either sign", {{5, -0.0}, {6, 0.0}}, 10, -0.0},
        {"NaN is never the smallest", {{0, std::nan("")}, {3, 2.0}}, 4, 1.0},
        {"one value", {}, 1, 1.0},
        {"the whole capacity", {{65535, 1e-300}}, 65536, 1e-300},
    };
    for (const DoubleKernels* k : Builds()) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(k->Name) + ": " + c.name);
            std::vector<double> v(static_cast<std::size_t>(c.count), 1.0);
            for (const auto& [i, x] : c.set) v[static_cast<std::size_t>(i)] = x;
            const double m = k->SmallestMagnitude(v.data(), c.count);
            EXPECT_EQ(m, c.expected);
            EXPECT_EQ(std::signbit(m), std::signbit(c.expected));
        }
    }
}

TEST(DoubleKernels, GaussDerivativesFollowTwoToTheMinusUSquaredDownToZero) {
    for (const DoubleKernels* k : Builds()) {
        SCOPED_TRACE(k->Name);
        // inv_w = 1, pos_factor = 1: the height column is 2^-u^2 for u = d0 + row.
        const int rows = 80;
        std::vector<double> pos(8 * rows), width(8 * rows), height(8 * rows);
        k->Columns(pos.data(), width.data(), height.data(), 8, rows, -40.0, 1.0, 1.0, false);
        for (int i = 0; i < rows; ++i) {
            const long double u = -40 + i;
            const long double want = std::exp2l(-u * u);
            const double got = height[static_cast<std::size_t>(8 * i)];
            if (u * u > 1020) {
                EXPECT_EQ(got, 0.0) << u;  // below 2^-1020 the curve is 0
            } else {
                EXPECT_NEAR(got, static_cast<double>(want), 4e-16 * static_cast<double>(want)) << u;
                EXPECT_EQ(pos[static_cast<std::size_t>(8 * i)], static_cast<double>(u) * got);
            }
        }
    }
}

// Sums of products by a plain loop in extended precision.
long double Dot(const std::vector<double>& a, const std::vector<double>& b) {
    long double s = 0;
    for (std::size_t i = 0; i < a.size(); ++i) s += static_cast<long double>(a[i]) * b[i];
    return s;
}

TEST(DoubleKernels, BlockProductsAreThePairwiseSumsOfTheLiveColumns) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    for (const DoubleKernels* k : Builds()) {
        for (int rows : {1, 7, 64, 131}) {
            for (int count : {1, 8, 13, 30}) {
                SCOPED_TRACE(std::string(k->Name) + " rows " + std::to_string(rows) + " columns " +
                             std::to_string(count));
                std::vector<std::vector<double>> cols(static_cast<std::size_t>(count));
                std::vector<double> data(static_cast<std::size_t>((count + 8) * rows), 7.0);
                const StripPanel panel{data.data(), rows};
                std::vector<int> live;
                for (int c = 0; c < count; ++c) {
                    live.push_back(2 * c + 1);  // columns of the matrix, not of the panel
                    for (int x = 0; x < rows; ++x) {
                        const double v = unit(rng);
                        cols[static_cast<std::size_t>(c)].push_back(v);
                        panel.Column(c)[8 * x] = v;
                    }
                }
                for (int c = count; c % 8 != 0; ++c) {
                    for (int x = 0; x < rows; ++x) panel.Column(c)[8 * x] = 0.0;
                }
                const std::size_t stride = static_cast<std::size_t>(2 * count + 2);
                std::vector<double> acc(stride * stride, 0.5);
                k->BlockProducts(panel, live.data(), count, acc.data(), stride);
                for (int a = 0; a < count; ++a) {
                    for (int b = a; b < count; ++b) {
                        const long double want = 0.5L + Dot(cols[static_cast<std::size_t>(a)],
                                                            cols[static_cast<std::size_t>(b)]);
                        const double got = acc[static_cast<std::size_t>(live[a]) * stride +
                                               static_cast<std::size_t>(live[b])];
                        ASSERT_NEAR(got, static_cast<double>(want), 1e-14 * rows) << a << "," << b;
                    }
                }
                // Nothing outside the live pairs is touched.
                EXPECT_EQ(acc[0], 0.5);
                EXPECT_EQ(acc[stride * stride - 1], 0.5);
            }
        }
    }
}

TEST(DoubleKernels, ColumnFlagsSeeZerosAndValuesThatAreNotFinite) {
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        std::vector<double> column;
        int flags;
    };
    const Case cases[] = {
        {{0.0, -0.0, 0.0}, 1},    {{0.0, 1e-310, 0.0}, 0},         {{0.0, inf}, 2},
        {{std::nan(""), 0.0}, 2}, {{-inf, 1.0, 3.0, 4.0, 5.0}, 2},
    };
    for (const DoubleKernels* k : Builds()) {
        for (const Case& c : cases) {
            std::vector<double> strided(c.column.size() * 2, 99.0);  // step 2: every other
            for (std::size_t i = 0; i < c.column.size(); ++i) strided[2 * i] = c.column[i];
            EXPECT_EQ(k->ColumnFlags(strided.data(), 2, static_cast<int>(c.column.size())), c.flags)
                << k->Name << " " << c.column.size();
        }
    }
}

TEST(DoubleKernels, ResidualsSumThePeaksInOrderAndTheSquaredSumAddsThem) {
    for (const DoubleKernels* k : Builds()) {
        SCOPED_TRACE(k->Name);
        const int n = 1030;  // runs of 512 and a remainder
        std::vector<double> curves(3 * n), obs(n), r(n, 9.0);
        for (int i = 0; i < n; ++i) {
            curves[i] = 1.0 + i;
            curves[n + i] = 1e-17 * i;  // lost in the double sum unless added in order
            curves[2 * n + i] = -1.0 - i;
            obs[i] = 0.25 * i;
        }
        k->Residuals(curves.data(), n, 3, obs.data(), 0.125, r.data(), 2, n);
        EXPECT_EQ(r[0], 9.0);  // outside [lo, hi)
        for (int i = 2; i < n; ++i) {
            const double sum = ((0.0 + curves[i]) + curves[n + i]) + curves[2 * n + i];
            ASSERT_EQ(r[i], obs[i] - sum - 0.125) << i;
        }
        long double want = 0;
        for (int i = 0; i < n; ++i) want += static_cast<long double>(r[i]) * r[i];
        EXPECT_NEAR(k->SquaredSum(r.data(), n), static_cast<double>(want),
                    1e-15 * static_cast<double>(want));
        EXPECT_EQ(k->SquaredSum(r.data(), 0), 0.0);
        EXPECT_EQ(k->SquaredSum(r.data(), 3), 81.0 + 81.0 + r[2] * r[2]);
    }
}

}  // namespace
}  // namespace kalvex::fit
