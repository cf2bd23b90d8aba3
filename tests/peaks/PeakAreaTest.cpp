// Peak areas, their errors by line type and integral type, and the area, share and total texts.
#include "peaks/PeakArea.h"

#include <gtest/gtest.h>

#include "support/DocumentBuilder.h"

#include <cmath>

namespace kalvex::peaks {
namespace {

using core::LineType;

TEST(PeakArea, ExponentIsTheTruncatedLogAboveOneAndOneLessBelow) {
    const struct {
        double A;
        int Exponent;
    } cases[] = {
        {0.05, -2}, {1234.0, 3}, {-1234.0, 3}, {0.5, -1}, {12.3, 1},
        {10.0, 1},  {9.99, 0},   {1.0, -1},    {0.1, -2}, {3e-130, -130},
    };
    for (const auto& c : cases) EXPECT_EQ(AreaExponent(c.A), c.Exponent) << c.A;
}

TEST(PeakArea, AreaTextCarriesMantissaErrorAndPowerOfTen) {
    EXPECT_EQ(IntegAreaText(0.05, 0.001), " ( 5.000 \xB1 0.1000 )*10^-2");
    EXPECT_EQ(IntegAreaText(1234.0, 5.0), " ( 1.234 \xB1 0.0050 )*10^3");
    EXPECT_EQ(IntegAreaText(-21.289, 0.4342), " ( -2.129 \xB1 0.0434 )*10^1");
    // Beyond a signed byte the true exponent is shown, not a wrapped one.
    EXPECT_EQ(IntegAreaText(2.5e200, 1e199), " ( 2.500 \xB1 0.1000 )*10^200");
}

TEST(PeakArea, ZeroAreaHasNoExponentAndZeroTotalNoShare) {
    EXPECT_EQ(IntegAreaText(0.0, 0.0), " ( 0 \xB1 0 )");
    EXPECT_EQ(IntegAreaText(0.0, 0.01234), " ( 0 \xB1 1.234E-02 )");
    EXPECT_EQ(PercentText(5.0, 0.0), "");
    EXPECT_EQ(PercentText(-1.0, 4.0), "25.00%");
    EXPECT_EQ(TotalAreaText(1234.5), "1.235E+03");
    EXPECT_EQ(TotalAreaText(0.0), "0.000E+00");
}

// One peak at point 101: height 0.5, half width 5 points, 4 Hz per point, YScale 2.
core::Document OnePeak() {
    core::Document doc = test::MakeDocument(1000);
    doc.YScale = 2.0;
    test::AddPeak(doc, 101, 0.5, 5.0);
    doc.PeakHeightErr[1] = 0.002;
    doc.PeakHalfWidthErr[1] = 0.1;
    return doc;
}

TEST(PeakArea, CompatibleErrorAddsMagnitudesSoANegativePeakGetsTheSameBar) {
    core::Document doc = OnePeak();
    const AreaWithError up = AreaOfPeak(doc, LineType::kGauss, 1, 1);
    EXPECT_NEAR(up.E, (0.002 * 5.0 + 0.1 * 0.5) * 4.0 * 2.0 * 2.0, 1e-12);
    doc.PeakHeight[1] = -0.5;
    const AreaWithError down = AreaOfPeak(doc, LineType::kGauss, 1, 1);
    EXPECT_NEAR(down.A, -up.A, 1e-12);
    EXPECT_NEAR(down.E, up.E, 1e-12);
}

TEST(PeakArea, GaussLorentzErrorLeavesOutTheTermOfAZeroWidth) {
    core::Document doc = OnePeak();
    doc.PeakHalfWidthG[1] = 5.0;
    doc.PeakHalfWidthGErr[1] = 0.1;
    doc.PeakHalfWidthL[1] = 0.0;
    doc.PeakHalfWidthLErr[1] = 0.06;
    doc.PeakFractionLErr[1] = 0.01;
    doc.PeakAreaGL[1] = 7.5;
    // Fraction error absolute, height and Gaussian width relative: 0.01, 0.004, 0.02.
    const double rel = std::sqrt(0.01 * 0.01 + 0.004 * 0.004 + 0.02 * 0.02);
    const AreaWithError a = AreaOfPeak(doc, LineType::kGaussLorentz, 1, 1);
    EXPECT_NEAR(a.A, 15.0, 1e-12);
    EXPECT_NEAR(a.E, 15.0 * rel, 1e-12);
}

}  // namespace
}  // namespace kalvex::peaks
