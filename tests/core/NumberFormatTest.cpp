// The number formats of dialogs, read-outs and files, value by value.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/NumberFormat.h"

namespace kalvex::core {
namespace {

struct FixedCase {
    double Value;
    int Precision;
    int Decimals;
    const char* Text;
};

TEST(NumberFormat, FixedRoundsToSignificantDigitsThenPadsDecimals) {
    const FixedCase cases[] = {
        {0.05, 10, 8, "0.05000000"},  // the fit dialog's squared sum
        {1.23456789, 5, 3, "1.235"},  // fewer decimals than significant digits
        {123.456, 6, 4, "123.4560"},  // more decimals than the value has
        {0.000123456, 10, 8, "0.00012346"},
        {0.125, 3, 2, "0.13"},  // an exact half goes away from zero
        {-0.125, 3, 2, "-0.13"},
        {0.375, 2, 2, "0.38"},
        {2.5, 3, 0, "3"},
        {1.5, 7, 5, "1.50000"},
        {0.0, 7, 5, "0.00000"},
        {-0.0001, 4, 2, "0.00"},  // rounds to zero: no minus sign
        {0.0004, 5, 3, "0.000"},
        {0.0005, 5, 3, "0.001"},
        {9.9996, 4, 3, "10.000"},      // carry into a new integer digit
        {12345.67, 5, 2, "12346.00"},  // an axis label before it is cut to 7 characters
        {1234.5, 3, 1, "1.23E3"},      // integer part longer than the precision
        {999.96, 3, 1, "1E3"},
        {-98765.4, 4, 2, "-9.877E4"},
        {3.3333333333, 4, 3, "3.333"},  // P_gain of a 0.3 range
    };
    for (const FixedCase& c : cases) {
        EXPECT_EQ(FormatFixed(c.Value, c.Precision, c.Decimals), c.Text)
            << "fixed(" << c.Precision << "," << c.Decimals << ") of " << c.Value;
    }
}

TEST(NumberFormat, SciHasPrecisionDigitsAndAtLeastTheExponentDigits) {
    EXPECT_EQ(FormatSci(1234.5, 4, 2), "1.235E+03");
    EXPECT_EQ(FormatSci(0.0, 4, 2), "0.000E+00");
    EXPECT_EQ(FormatSci(-9.9999, 3, 2), "-1.00E+01");
    EXPECT_EQ(FormatSci(5e-7, 4, 2), "5.000E-07");
    EXPECT_EQ(FormatSci(1.5e123, 4, 2), "1.500E+123");   // more digits than asked when needed
    EXPECT_EQ(FormatSci(2500.0, 5, 5), "2.5000E+0003");  // four exponent digits at most
}

TEST(NumberFormat, GeneralIsTheShortestFormUpToFifteenDigits) {
    EXPECT_EQ(FormatGeneral(0.5), "0.5");
    EXPECT_EQ(FormatGeneral(-2.0), "-2");
    EXPECT_EQ(FormatGeneral(0.0), "0");
    EXPECT_EQ(FormatGeneral(1234.5), "1234.5");
    EXPECT_EQ(FormatGeneral(0.1 + 0.2), "0.3");
    EXPECT_EQ(FormatGeneral(0.0001), "0.0001");
    EXPECT_EQ(FormatGeneral(0.00001), "1E-5");
    EXPECT_EQ(FormatGeneral(1.5e-6), "1.5E-6");
    EXPECT_EQ(FormatGeneral(1e20), "1E20");
    EXPECT_EQ(FormatGeneral(123456789012345678.0), "1.23456789012346E17");
    EXPECT_EQ(FormatGeneral(999999999999999.0), "999999999999999");
    EXPECT_EQ(FormatGeneral(1.234), "1.234");
}

TEST(NumberFormat, Real23IsTwentyThreeCharactersWithASignPosition) {
    EXPECT_EQ(FormatReal23(1.5), " 1.50000000000000E+0000");
    EXPECT_EQ(FormatReal23(-0.00125), "-1.25000000000000E-0003");
    EXPECT_EQ(FormatReal23(0.0), " 0.00000000000000E+0000");
    EXPECT_EQ(FormatReal23(-0.0), " 0.00000000000000E+0000");
    EXPECT_EQ(FormatReal23(1.0 / 3.0), " 3.33333333333333E-0001");
    EXPECT_EQ(FormatReal23(2.0 / 3.0), " 6.66666666666667E-0001");
    EXPECT_EQ(FormatReal23(-1e300), "-1.00000000000000E+0300");
    EXPECT_EQ(FormatReal23(4.9e-324), " 4.94065645841247E-0324");
    const std::string nan = FormatReal23(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(nan.size(), 23u);
    EXPECT_EQ(nan.substr(20), "NAN");
    EXPECT_EQ(nan[0], ' ');
}

TEST(NumberFormat, NearestRoundsHalvesAwayFromZeroAndTruncCutsTowardZero) {
    EXPECT_EQ(Nearest(2.5), 3);
    EXPECT_EQ(Nearest(-2.5), -3);
    EXPECT_EQ(Nearest(2.4999999), 2);
    EXPECT_EQ(Nearest(-0.4), 0);
    EXPECT_EQ(Trunc(-2.7), -2.0);
    EXPECT_EQ(Trunc(2.7), 2.0);
}

}  // namespace
}  // namespace kalvex::core
