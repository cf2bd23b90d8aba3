// What a user types into a dialog field, as a number or as a message naming the text.
#include <gtest/gtest.h>

#include "core/Error.h"
#include "core/TextToNumber.h"

namespace kalvex::core {
namespace {

TEST(TextToNumber, AcceptsDecimalNumbersWithBlanksAround) {
    EXPECT_DOUBLE_EQ(TextToFloat(" 1.5 "), 1.5);
    EXPECT_DOUBLE_EQ(TextToFloat("-2E-3"), -0.002);
    EXPECT_DOUBLE_EQ(TextToFloat("+.5"), 0.5);
    EXPECT_EQ(TextToInt(" 65535"), 65535);
    EXPECT_EQ(TextToInt("-12"), -12);
    EXPECT_TRUE(IsBlank("  \t"));
    EXPECT_FALSE(IsBlank(" 0"));
}

TEST(TextToNumber, RefusesAnythingElseNamingTheText) {
    for (const char* bad : {"", "abc", "1,5", "1.5.2", "inf", "nan", "1e999"}) {
        try {
            TextToFloat(bad);
            ADD_FAILURE() << "accepted " << bad;
        } catch (const kalvex::Error& e) {
            EXPECT_EQ(e.Reason(), std::string("'") + bad + "' is not a valid floating point value");
        }
    }
    for (const char* bad : {"12.0", "x", "99999999999", ""}) {
        try {
            TextToInt(bad);
            ADD_FAILURE() << "accepted " << bad;
        } catch (const kalvex::Error& e) {
            EXPECT_EQ(e.Reason(), std::string("'") + bad + "' is not a valid integer value");
        }
    }
}

}  // namespace
}  // namespace kalvex::core
