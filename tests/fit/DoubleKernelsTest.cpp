// The fast fit's loops, every build this processor runs, against the extended-precision code.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "fit/DoubleKernels.h"
#include "fit/FastLineShapes.h"
#include "fit/LineShapes.h"

namespace kalvex::fit {
namespace {

// The portable build always; the AVX2/FMA one where it runs.
std::vector<const DoubleKernels*> Builds() {
    std::vector<const DoubleKernels*> builds = {KernelsFor(SimdPath::kPortable)};
    if (const DoubleKernels* avx2 = KernelsFor(SimdPath::kAvx2)) builds.push_back(avx2);
    EXPECT_EQ(builds.size() == 2, CpuHasAvx2Fma());
    return builds;
}

TEST(DoubleKernels, CurvesMatchTheExtendedGeneratorsWithTheSameEdgeRescale) {
    struct Case {
        const char* name;
        int centre, first, count;
        double wg, wl, height, fraction;  // fraction < 0: Gauss (wl < 0) or Lorentz (wg < 0)
    };
    const double nan = std::nan("");
    const Case cases[] = {
        {"gauss inside", 500, 1, 1000, 10.0, -1.0, 1.0, -1.0},
        {"gauss beyond the range", 1400, 1, 1000, 120.0, -1.0, 0.7, -1.0},
        {"gauss narrower than a point", 300, 1, 600, 0.2, -1.0, 0.5, -1.0},
        {"lorentz wide tails", 200, 1, 1000, -1.0, 300.0, 2.0, -1.0},
        {"lorentz negative, later range", 1800, 1500, 700, -1.0, 6.0, -0.4, -1.0},
        {"negative width", 400, 1, 800, -1.0, -8.0, 0.9, -1.0},
        {"zero width: no curve", 50, 1, 100, 0.0, -1.0, 1.0, -1.0},
        {"NaN width: no curve", 50, 1, 100, -1.0, nan, 1.0, -1.0},
        {"one point: no curve", 1, 1, 1, -1.0, 3.0, 1.0, -1.0},
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

TEST(DoubleKernels, BlockProductsAreThePairwiseSumsOfTheLiveColumns) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    for (const DoubleKernels* k : Builds()) {
        for (int rows : {1, 7, 131}) {
            for (int count : {1, 8, 13, 30}) {
                SCOPED_TRACE(std::string(k->Name) + " rows " + std::to_string(rows) + " columns " +
                             std::to_string(count));
                std::vector<double> data(static_cast<std::size_t>((count + 8) * rows), 0.0);
                const StripPanel panel{data.data(), rows};
                std::vector<int> live;
                for (int c = 0; c < count; ++c) {
                    live.push_back(2 * c + 1);  // columns of the matrix, not of the panel
                    for (int x = 0; x < rows; ++x) panel.Column(c)[8 * x] = unit(rng);
                }
                const std::size_t stride = static_cast<std::size_t>(2 * count + 2);
                std::vector<double> acc(stride * stride, 0.5);
                k->BlockProducts(panel, live.data(), count, acc.data(), stride);
                for (int a = 0; a < count; ++a) {
                    for (int b = a; b < count; ++b) {
                        long double want = 0.5L;
                        for (int x = 0; x < rows; ++x) {
                            want += static_cast<long double>(panel.Column(a)[8 * x]) *
                                    panel.Column(b)[8 * x];
                        }
                        const double got = acc[static_cast<std::size_t>(live[a]) * stride +
                                               static_cast<std::size_t>(live[b])];
                        ASSERT_NEAR(got, static_cast<double>(want), 1e-14 * rows) << a << "," << b;
                    }
                }
                EXPECT_EQ(acc[0], 0.5);  // nothing outside the live pairs is touched
                EXPECT_EQ(acc[stride * stride - 1], 0.5);
            }
        }
    }
}

}  // namespace
}  // namespace kalvex::fit
