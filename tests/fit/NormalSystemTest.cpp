// The blocked, threaded normal matrix equals the plain triple loop bit for bit.
#include "fit/NormalSystem.h"

#include <gtest/gtest.h>

#include "fit/LineShapes.h"
#include "support/DocumentBuilder.h"

#include <cstring>
#include <vector>

namespace kalvex::fit {
namespace {

using core::Extended;
using core::LineType;

bool SameBits(Extended a, Extended b) { return std::memcmp(&a, &b, 10) == 0; }

// The literal definition: A[i][j] = sum over x of J[x][i] J[x][j], g[i] = sum of J[x][i] r[x].
void PlainNormalSystem(const FitModel& model, Matrix90& a, Vector90& g) {
    const int p = model.ParameterCount();
    const std::int32_t n = model.PointCount();
    std::vector<Extended> jac(static_cast<std::size_t>(p) * static_cast<std::size_t>(n));
    model.BuildJacobianBlock(1, n, 1, p / model.KindCount(), jac.data(),
                             static_cast<std::size_t>(n));
    auto j_at = [&](int x, int i) {
        return jac[static_cast<std::size_t>(i - 1) * static_cast<std::size_t>(n) +
                   static_cast<std::size_t>(x - 1)];
    };
    for (int i = 1; i <= p; ++i) {
        for (int j = 1; j <= p; ++j) {
            Extended s = 0;
            for (int x = 1; x <= n; ++x) s += j_at(x, i) * j_at(x, j);
            a(i, j) = s;
        }
        Extended s = 0;
        for (int x = 1; x <= n; ++x)
            s += j_at(x, i) * model.Residuals()[static_cast<std::size_t>(x - 1)];
        g[static_cast<std::size_t>(i)] = s;
    }
}

void ExpectIdentical(const Matrix90& a, const Vector90& g, const Matrix90& b, const Vector90& h,
                     int p) {
    for (int i = 1; i <= p; ++i) {
        for (int j = 1; j <= p; ++j) ASSERT_TRUE(SameBits(a(i, j), b(i, j))) << i << "," << j;
        ASSERT_TRUE(SameBits(g[static_cast<std::size_t>(i)], h[static_cast<std::size_t>(i)])) << i;
    }
}

struct Scenario {
    LineType line;
    const char* select;
    int points;
    int peaks;
    double width;
};

TEST(NormalSystem, BlockedThreadedProductEqualsThePlainLoopBitForBit) {
    // Narrow Gauss peaks far apart give Jacobian values far below the double range (the blocks
    // then take the extended path); wide Lorentz peaks fill every entry; an odd column count
    // and a last partial block exercise the edges of the tiling.
    for (const Scenario& s : {Scenario{LineType::kGauss, "111", 3000, 7, 4.0},
                              Scenario{LineType::kLorentz, "111", 1000, 5, 40.0},
                              Scenario{LineType::kLorentz, "101", 777, 3, 9.0},
                              Scenario{LineType::kGauss, "010", 2049, 4, 60.0}}) {
        core::Document doc =
            test::MakeDocument(s.points, 10.0, 0.01, 400.0, [](int p) { return 0.01 * (p % 17); });
        for (int k = 1; k <= s.peaks; ++k) {
            test::AddPeak(doc, k * s.points / (s.peaks + 1), 0.2 + 0.1 * k, s.width + k);
        }
        FitLayoutChoice choice;
        choice.FitSelect = s.select;
        choice.Line = s.line;
        FitModel model(doc, choice, doc.ObsY.data(), s.points);
        model.EvaluateFit();
        Matrix90 plain, one, two, three;
        Vector90 gp, g1, g2, g3;
        PlainNormalSystem(model, plain, gp);
        BuildNormalSystem(model, 1, one, g1);
        BuildNormalSystem(model, 2, two, g2);
        BuildNormalSystem(model, 3, three, g3);
        const int p = model.ParameterCount();
        SCOPED_TRACE(s.points);
        ExpectIdentical(plain, gp, one, g1, p);
        ExpectIdentical(plain, gp, two, g2, p);
        ExpectIdentical(plain, gp, three, g3, p);
    }
}

TEST(NormalSystem, ValuesAtTheEdgesOfTheDoubleRangeStillSumExactly) {
    // Heights near 2^-1000 and near 2^1023 put whole blocks of derivatives just inside and
    // just outside the range where a value splits exactly into two doubles; every block must
    // still give the plain loop's sums, however its columns are held.
    for (double height : {3e-298, 2e-299, 1e-300, 4e-301, 1e-303, 2e307, 9e307, 1.7e308}) {
        core::Document doc = test::MakeDocument(2000, 10.0, 0.01, 400.0,
                                                [height](int p) { return height * (p % 5); });
        test::AddPeak(doc, 700, height, 0.6);
        test::AddPeak(doc, 1300, height / 3, 40.0);
        FitLayoutChoice choice;
        choice.Line = LineType::kLorentz;
        FitModel model(doc, choice, doc.ObsY.data(), 2000);
        model.EvaluateFit();
        Matrix90 plain, one, two;
        Vector90 gp, g1, g2;
        PlainNormalSystem(model, plain, gp);
        BuildNormalSystem(model, 1, one, g1);
        BuildNormalSystem(model, 2, two, g2);
        SCOPED_TRACE(height);
        ExpectIdentical(plain, gp, one, g1, model.ParameterCount());
        ExpectIdentical(plain, gp, two, g2, model.ParameterCount());
    }
}

TEST(NormalSystem, OnePoolForManySystemsWithFewOrManyBlocksPerThread) {
    // Each worker takes whole blocks and hands every row of sums on to the next block's
    // worker: two blocks for three threads, four with a short last one, twenty with columns
    // that are 0 in some blocks (30 narrow Gauss peaks of one kind). One pool serves every
    // call, as in a run.
    WorkerPool pool(3);
    for (const Scenario& s : {Scenario{LineType::kLorentz, "111", 300, 2, 5.0},
                              Scenario{LineType::kLorentz, "111", 900, 1, 12.0},
                              Scenario{LineType::kLorentz, "110", 1500, 2, 6.0},
                              Scenario{LineType::kGauss, "001", 5000, 30, 20.0},
                              Scenario{LineType::kLorentz, "111", 4096, 5, 8.0}}) {
        core::Document doc =
            test::MakeDocument(s.points, 10.0, 0.01, 400.0, [](int p) { return 0.02 * (p % 13); });
        for (int k = 1; k <= s.peaks; ++k) {
            test::AddPeak(doc, k * s.points / (s.peaks + 1), 0.3 + 0.05 * k, s.width + k % 5);
        }
        FitLayoutChoice choice;
        choice.FitSelect = s.select;
        choice.Line = s.line;
        FitModel model(doc, choice, doc.ObsY.data(), s.points);
        model.EvaluateFit();
        Matrix90 plain;
        Vector90 gp;
        PlainNormalSystem(model, plain, gp);
        SCOPED_TRACE(s.points);
        for (int threads : {3, 2, 1, 3}) {
            Matrix90 a;
            Vector90 g;
            BuildNormalSystem(model, threads, pool, a, g);
            SCOPED_TRACE(threads);
            ExpectIdentical(plain, gp, a, g, model.ParameterCount());
        }
    }
}

}  // namespace
}  // namespace kalvex::fit
