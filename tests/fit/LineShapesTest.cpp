// Curve generators, edge rescale, Gauss+Lorentz area relation, model sum, integrals, fast exp.
#include "fit/LineShapes.h"

#include <gtest/gtest.h>

#include "fit/FastExp.h"
#include "support/DocumentBuilder.h"

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace kalvex::fit {
namespace {

using core::LineType;

const long double kLn2 = std::log(2.0L);
const long double kPi = 3.14159265358979324L;

// Buffer of `count` points plus a sentinel element the generators must never touch.
struct Curve {
    explicit Curve(std::int32_t count) : values(static_cast<std::size_t>(count) + 1, -7.0) {}
    double* data() { return values.data(); }
    double at(int x) const { return values[static_cast<std::size_t>(x - 1)]; }
    double sentinel() const { return values.back(); }
    std::vector<double> values;
};

double RelDiff(long double a, long double b) {
    return static_cast<double>(std::fabs(a - b) / std::fmax(std::fabs(a), std::fabs(b)));
}

TEST(LineShapes, GaussExampleKeepsCentreAndHalfHeightPoints) {
    Curve c(1000);
    FillPeakCurve(c.data(), 500, 1000, 10.0, 1.0, false);
    EXPECT_EQ(c.at(500), 1.0);
    EXPECT_EQ(c.at(510), 0.5);
    EXPECT_EQ(c.at(490), 0.5);
    EXPECT_EQ(c.at(1000), 0.0);
    EXPECT_NEAR(c.at(520), 0.0625, 1e-16);
    EXPECT_EQ(c.sentinel(), -7.0);
}

TEST(LineShapes, WideGaussIsRescaledSoTheFarEndIsZeroAndTheCentreKeepsItsHeight) {
    // Half width 300 over 1000 points: both ends are about 0.15, point 1000 slightly lower.
    Curve c(1000);
    const double h = 2.5;
    FillPeakCurve(c.data(), 500, 1000, 300.0, h, false);
    auto raw = [&](int x) {
        const long double u = (x - 500) / 300.0L;
        return h * std::exp(-kLn2 * u * u);
    };
    const long double m = static_cast<double>(raw(1000));
    EXPECT_EQ(c.at(1000), 0.0);
    EXPECT_EQ(c.at(500), h);
    for (int x : {1, 200, 450, 510, 800}) {
        const long double expected = (static_cast<double>(raw(x)) - m) * h / (h - m);
        EXPECT_LT(RelDiff(c.at(x), expected), 1e-15) << x;
    }
    EXPECT_GT(c.at(1), 0.0);
}

TEST(LineShapes, LorentzWithLargeTailsShiftsDownByTheSmallerEnd) {
    Curve c(1000);
    FillPeakCurve(c.data(), 300, 1000, 100.0, 1.0, true);
    const long double v1 = 1.0L / (1.0L + 2.99L * 2.99L);
    const long double vn = 1.0L / (1.0L + 7.0L * 7.0L);
    EXPECT_EQ(c.at(1000), 0.0);
    EXPECT_EQ(c.at(300), 1.0);
    EXPECT_LT(RelDiff(c.at(1), (v1 - vn) / (1.0L - vn)), 1e-15);
    EXPECT_LT(RelDiff(c.at(400), (0.5L - vn) / (1.0L - vn)), 1e-15);
}

TEST(LineShapes, RescaleUsesMagnitudeSoNegativePeaksKeepTheirDepth) {
    // A smallest-value search would pick the centre (-1) and destroy the curve.
    Curve c(500);
    FillPeakCurve(c.data(), 200, 500, 50.0, -1.0, true);
    EXPECT_EQ(c.at(200), -1.0);
    EXPECT_EQ(c.at(500), 0.0);
    EXPECT_LT(c.at(1), 0.0);
    EXPECT_LT(c.at(250), -0.4);
}

TEST(LineShapes, CentreBeyondTheRangeGivesAMonotonicCurveZeroAtTheFarEnd) {
    Curve c(1000);
    FillPeakCurve(c.data(), 1500, 1000, 200.0, 1.0, true);
    EXPECT_EQ(c.at(1), 0.0);
    for (int x = 2; x <= 1000; ++x) ASSERT_GT(c.at(x), c.at(x - 1)) << x;
    EXPECT_LT(c.at(1000), 1.0);
}

TEST(LineShapes, DegenerateCurvesAreAllZero) {
    Curve c(300);
    FillPeakCurve(c.data(), 100, 300, 0.0, 1.0, false);  // zero half width
    for (int x = 1; x <= 300; ++x) ASSERT_EQ(c.at(x), 0.0);
    Curve z(300);
    FillPeakCurve(z.data(), 100, 300, 5.0, 0.0, true);  // zero height
    for (int x = 1; x <= 300; ++x) ASSERT_EQ(z.at(x), 0.0);
    Curve one(1);
    FillPeakCurve(one.data(), 1, 1, 5.0, 0.75, false);  // one point: m = height
    EXPECT_EQ(one.at(1), 0.0);
    EXPECT_EQ(one.sentinel(), -7.0);
    Curve gl(300);
    FillPeakCurveGL(gl.data(), 100, 300, 0.0, 4.0, 1.0, 2.0, 0.5);  // weighted zero width
    for (int x = 1; x <= 300; ++x) ASSERT_EQ(gl.at(x), 0.0);
}

TEST(LineShapes, FullSpectrumOf65536PointsIsEvaluatedToTheLastPoint) {
    // 65,536 does not fit 16 bits: a narrowed count type would make this curve empty.
    Curve c(65536);
    FillPeakCurve(c.data(), 65535, 65536, 4000.0, 1.0, true);
    EXPECT_EQ(c.at(65535), 1.0);
    EXPECT_GT(c.at(65536), 0.99);
    EXPECT_EQ(c.at(1), 0.0);
    EXPECT_GT(c.at(2), 0.0);
    EXPECT_EQ(c.sentinel(), -7.0);
}

TEST(LineShapes, ARangeFromALaterPointIsEvaluatedAndRescaledOverItself) {
    // Points 101..200 of a Gauss peak at 150: element 0 is point 101, and point 200, the
    // farthest in the range, becomes 0 even though the whole spectrum goes farther.
    Curve c(100);
    FillPeakCurveRange(c.data(), 150, 101, 100, 10.0, 1.0, false);
    EXPECT_EQ(c.at(50), 1.0);   // point 150
    EXPECT_EQ(c.at(100), 0.0);  // point 200
    const long double m = std::exp(-kLn2 * 25.0L);
    EXPECT_LT(RelDiff(c.at(60), (0.5L - m) / (1.0L - m)), 1e-15);  // point 160
    EXPECT_EQ(c.sentinel(), -7.0);
    Curve whole(100), from_one(100);
    FillPeakCurveGLRange(whole.data(), 40, 1, 100, 5.0, 6.0, 0.8, 2.0, 0.4);
    FillPeakCurveGL(from_one.data(), 40, 100, 5.0, 6.0, 0.8, 2.0, 0.4);
    EXPECT_EQ(whole.values, from_one.values);
}

// The curve formulas and the edge rescale evaluated point by point, with nothing shared
// between points: what every generated curve must equal to the last bit.
std::vector<double> LiteralCurve(int kind, int centre, int first, int count, double w, double wl,
                                 double height, double area, double f) {
    std::vector<double> v(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const int d = first + i - centre;
        long double value;
        if (kind == 0 || kind == 1) {
            const long double u = static_cast<long double>(d) / w;
            value = kind == 1 ? height / (1.0L + u * u) : height * ExpExtended(-kLn2 * (u * u));
        } else {
            const long double vg = static_cast<long double>(d) / w;
            const long double gauss = (1.0L - f) /
                                      (static_cast<long double>(w) * std::sqrt(kPi / kLn2)) *
                                      ExpExtended(-kLn2 * (vg * vg));
            const long double wl2 = static_cast<long double>(wl) * wl;
            const long double lorentz =
                f * static_cast<long double>(wl) / kPi /
                (wl2 + static_cast<long double>(static_cast<std::int64_t>(d) * d));
            value = area * (gauss + lorentz);
        }
        v[static_cast<std::size_t>(i)] = static_cast<double>(value);
    }
    double m = v[0];
    for (double x : v) {
        if (std::fabs(x) < std::fabs(m)) m = x;
    }
    if (m != 0.0) {
        for (double& x : v) {
            x = static_cast<double>((static_cast<long double>(x) - m) * height /
                                    (static_cast<long double>(height) - m));
        }
    }
    return v;
}

TEST(LineShapes, EveryPointEqualsItsOwnEvaluationWhereverTheCentreLies) {
    // The generators copy one side of the centre from the other; centres left and right of
    // the middle, in the middle, at both ends, next to them and outside must all give the
    // values of the formulas evaluated point by point.
    for (int first : {1, 37}) {
        const int count = 301;
        for (int offset : {-30, -1, 0, 1, 2, 80, 150, 151, 220, 298, 299, 300, 340}) {
            const int centre = first + offset;
            if (centre < 0) continue;  // centres are unsigned
            SCOPED_TRACE(testing::Message() << "first " << first << " centre " << centre);
            for (int kind : {0, 1, 2}) {
                Curve c(count);
                if (kind == 2) {
                    FillPeakCurveGLRange(c.data(), static_cast<std::uint16_t>(centre), first, count,
                                         9.0, 14.0, 0.7, 12.0, 0.35);
                } else {
                    FillPeakCurveRange(c.data(), static_cast<std::uint16_t>(centre), first, count,
                                       23.0, 0.8, kind == 1);
                }
                const std::vector<double> expected =
                    LiteralCurve(kind, centre, first, count, kind == 2 ? 9.0 : 23.0, 14.0,
                                 kind == 2 ? 0.7 : 0.8, 12.0, 0.35);
                for (int i = 0; i < count; ++i) {
                    ASSERT_EQ(c.values[static_cast<std::size_t>(i)],
                              expected[static_cast<std::size_t>(i)])
                        << "kind " << kind << " element " << i;
                }
                EXPECT_EQ(c.sentinel(), -7.0);
            }
        }
    }
}

TEST(LineShapes, GaussLorentzWithFractionZeroIsTheUnitAreaGaussianTimesTheArea) {
    Curve c(200);
    const double wg = 5.0, area = 3.0;
    const double h = area * CentreDensityGL(wg, 7.0, 0.0);
    FillPeakCurveGL(c.data(), 100, 200, wg, 7.0, h, area, 0.0);
    for (int x = 85; x <= 115; ++x) {
        const long double v = (x - 100) / wg;
        const long double expected = area * std::exp(-kLn2 * v * v) / (wg * std::sqrt(kPi / kLn2));
        ASSERT_LT(RelDiff(c.at(x), expected), 1e-14) << x;
    }
}

TEST(LineShapes, GaussLorentzWithFractionOneIsTheUnitAreaLorentzianTimesTheArea) {
    // f = 1 needs no Gaussian width at all: the zero-weight term is left out.
    Curve c(400);
    const double wl = 8.0, area = 0.5;
    const double h = area * CentreDensityGL(0.0, wl, 1.0);
    FillPeakCurveGL(c.data(), 150, 400, 0.0, wl, h, area, 1.0);
    auto raw = [&](int x) {
        const long double d = x - 150;
        return static_cast<double>(area * (wl / kPi) / (wl * wl + d * d));
    };
    const long double m = raw(400);
    EXPECT_EQ(c.at(400), 0.0);
    for (int x : {1, 100, 150, 151, 170, 399}) {
        const long double expected = (raw(x) - m) * h / (h - m);
        EXPECT_LT(RelDiff(c.at(x), expected), 1e-14) << x;
    }
}

TEST(LineShapes, GaussLorentzCentreIsTheHeightForAnyFraction) {
    for (double f : {0.0, 0.2, 0.5, 0.8, 1.0}) {
        Curve c(1000);
        const double h = 0.8, wg = 6.0, wl = 12.0;
        const double area = h / CentreDensityGL(wg, wl, f);
        FillPeakCurveGL(c.data(), 400, 1000, wg, wl, h, area, f);
        EXPECT_LT(RelDiff(c.at(400), h), 2e-16) << f;
        EXPECT_EQ(c.at(1000), 0.0) << f;
    }
}

TEST(LineShapes, CentreDensityCombinesBothUnitAreaCentres) {
    const long double g = 1.0L / (4.0L * std::sqrt(kPi / kLn2));
    const long double l = 1.0L / (kPi * 10.0L);
    EXPECT_LT(RelDiff(CentreDensityGL(4.0, 10.0, 0.25), 0.75L * g + 0.25L * l), 1e-15);
    EXPECT_LT(RelDiff(CentreDensityGL(4.0, 0.0, 0.0), g), 1e-15);
    EXPECT_EQ(CentreDensityGL(0.0, 10.0, 0.5), std::numeric_limits<double>::infinity());
}

TEST(LineShapes, SynthesisFillsEachPeakCurveTheSumAndTheResidualSum) {
    core::Document doc =
        test::MakeDocument(600, 10.0, 0.01, 400.0, [](int p) { return 0.1 + 0.001 * (p % 7); });
    test::AddPeak(doc, 150, 0.6, 8.0);
    test::AddPeak(doc, 400, 0.3, 20.0);
    doc.Bias = 0.05f;
    doc.PeakCurve(2)[600] = 42.0;  // past PointCount: not the model's business
    const double z = SynthesiseModel(doc, LineType::kLorentz);

    Curve one(600), two(600);
    FillPeakCurve(one.data(), 150, 600, 8.0, 0.6, true);
    FillPeakCurve(two.data(), 400, 600, 20.0, 0.3, true);
    double expected_z = 0.0;
    for (int x = 1; x <= 600; ++x) {
        const std::size_t e = static_cast<std::size_t>(x - 1);
        ASSERT_EQ(doc.PeakCurve(1)[e], one.at(x));
        ASSERT_EQ(doc.PeakCurve(2)[e], two.at(x));
        ASSERT_EQ(doc.SumY[e], one.at(x) + two.at(x));
        const double r = doc.ObsY[e] - doc.SumY[e] - static_cast<double>(doc.Bias);
        expected_z += r * r;
    }
    EXPECT_EQ(z, expected_z);
    EXPECT_EQ(doc.PeakCurve(2)[600], 42.0);
}

TEST(LineShapes, SynthesisInGaussLorentzModeStoresTheAreaFirst) {
    core::Document doc = test::MakeDocument(300);
    test::AddPeak(doc, 100, 0.9, 5.0);
    doc.PeakHalfWidthL[1] = 9.0;
    doc.PeakFractionL[1] = 0.3;
    doc.PeakAreaGL[1] = -1.0;
    SynthesiseModel(doc, LineType::kGaussLorentz);
    const double area = 0.9 / CentreDensityGL(5.0, 9.0, 0.3);
    EXPECT_EQ(doc.PeakAreaGL[1], area);
    Curve c(300);
    FillPeakCurveGL(c.data(), 100, 300, 5.0, 9.0, 0.9, area, 0.3);
    for (int x = 1; x <= 300; ++x) ASSERT_EQ(doc.PeakCurve(1)[x - 1], c.at(x));
}

TEST(LineShapes, SynthesisWithoutPeaksClearsTheSum) {
    core::Document doc = test::MakeDocument(10, 10.0, 0.01, 400.0, [](int) { return 0.5; });
    doc.SumY[3] = 9.0;
    EXPECT_DOUBLE_EQ(SynthesiseModel(doc, LineType::kGauss), 10 * 0.25);
    EXPECT_EQ(doc.SumY[3], 0.0);
}

TEST(LineShapes, IntegralsFollowLineAndIntegralType) {
    core::Document doc = test::MakeDocument(1000, 10.0, 0.01, 400.0);  // XStepHz = 4
    doc.YScale = 250.0;
    test::AddPeak(doc, 500, 0.4, 20.0);
    doc.PeakAreaGL[1] = 7.0;
    const double lor_area = PeakIntegral(doc, LineType::kLorentz, 0, 1);
    const double lor_comp = PeakIntegral(doc, LineType::kLorentz, 1, 1);
    const double gau_area = PeakIntegral(doc, LineType::kGauss, 0, 1);
    const double gau_comp = PeakIntegral(doc, LineType::kGauss, 1, 1);
    EXPECT_DOUBLE_EQ(lor_comp, 2 * 0.4 * 20.0 * 4.0 * 250.0);
    EXPECT_DOUBLE_EQ(gau_comp, lor_comp);
    EXPECT_DOUBLE_EQ(lor_area / lor_comp, M_PI / 2);
    EXPECT_NEAR(gau_area / gau_comp, 1.0644670194312262, 1e-15);
    EXPECT_DOUBLE_EQ(PeakIntegral(doc, LineType::kGaussLorentz, 1, 1), 7.0 * 250.0);

    // The Gauss "Area" is the integral of the sampled curve (a wide peak sums like its integral).
    Curve c(1000);
    FillPeakCurve(c.data(), 500, 1000, 20.0, 0.4, false);
    double sum = 0.0;
    for (int x = 1; x <= 1000; ++x) sum += c.at(x);
    EXPECT_NEAR(gau_area, sum * 4.0 * 250.0, gau_area * 1e-12);
}

TEST(FastExp, MatchesExplToTheLastBitsOverTheWholeRange) {
    std::mt19937_64 rng(12345);
    double worst = 0.0;
    auto check = [&](long double x) {
        const long double ref = std::exp(x);
        const double rel = static_cast<double>(std::fabs(ExpExtended(x) - ref) / ref);
        if (rel > worst) worst = rel;
    };
    std::uniform_real_distribution<double> wide(-11350.0, 11350.0), narrow(-1.0, 1.0);
    for (int i = 0; i < 200000; ++i) {
        check(static_cast<long double>(wide(rng)) + narrow(rng) * 1e-7L);
        check(static_cast<long double>(narrow(rng)) * 40.0L);
        check(static_cast<long double>(narrow(rng)) * 1e-3L);
    }
    for (long double x : {0.0L, -0.0L, 1e-30L, -1e-30L, 1.0L, -kLn2, kLn2 / 128, -11355.0L})
        check(x);
    EXPECT_LT(worst, 1e-18);
    EXPECT_EQ(ExpExtended(0.0L), 1.0L);
}

TEST(FastExp, EdgesOfTheRange) {
    EXPECT_EQ(ExpExtended(-11398.0L), 0.0L);
    EXPECT_EQ(ExpExtended(-1e30L), 0.0L);
    EXPECT_EQ(ExpExtended(-std::numeric_limits<long double>::infinity()), 0.0L);
    EXPECT_TRUE(std::isinf(ExpExtended(11357.0L)));
    EXPECT_TRUE(std::isnan(ExpExtended(std::numeric_limits<long double>::quiet_NaN())));
    // Subnormal results are right to the last subnormal step.
    for (long double x : {-11360.0L, -11380.5L, -11395.0L}) {
        EXPECT_LE(std::fabs(ExpExtended(x) - std::exp(x)),
                  std::numeric_limits<long double>::denorm_min())
            << static_cast<double>(x);
    }
}

}  // namespace
}  // namespace kalvex::fit
