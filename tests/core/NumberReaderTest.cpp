// Reading numbers, lines and characters from the text formats.
#include <gtest/gtest.h>

#include <cmath>

#include "core/Error.h"
#include "core/NumberFormat.h"
#include "core/NumberReader.h"

namespace kalvex::core {
namespace {

TEST(NumberReader, WhiteSpaceAndLineEndsSeparateNumbers) {
    NumberReader in(" 12\t-3.5e2\r\n\r\n  .25\n7", "t.txt");
    EXPECT_EQ(in.ReadInteger(), 12);
    EXPECT_DOUBLE_EQ(in.ReadReal(), -350.0);
    EXPECT_TRUE(in.Eoln());
    EXPECT_DOUBLE_EQ(in.ReadReal(), 0.25);
    EXPECT_EQ(in.LineNumber(), 3);
    EXPECT_EQ(in.ReadInteger(), 7);
    EXPECT_TRUE(in.Eof());
    // At the end a number reads as 0.
    EXPECT_EQ(in.ReadInteger(), 0);
    EXPECT_DOUBLE_EQ(in.ReadReal(), 0.0);
}

TEST(NumberReader, EolnIsTrueAtLineEndsCtrlZAndTheEndAndSkipsNothing) {
    NumberReader in(
        "1 \r\n2\n3\x1A"
        "4",
        "t.txt");
    in.ReadInteger();
    EXPECT_FALSE(in.Eoln());  // a blank before the line end
    EXPECT_TRUE(in.SeekEoln());
    in.SkipLine();
    EXPECT_EQ(in.ReadInteger(), 2);
    EXPECT_TRUE(in.Eoln());
    in.SkipLine();
    EXPECT_EQ(in.ReadInteger(), 3);
    EXPECT_TRUE(in.Eoln());  // Ctrl-Z ends the data
    EXPECT_TRUE(in.Eof());
    EXPECT_EQ(in.ReadInteger(), 0);
}

TEST(NumberReader, TouchingTwentyThreeCharacterRealsAreSplitAtTheMinus) {
    const std::string line = FormatReal23(1.5) + FormatReal23(-0.00125) + FormatReal23(-2.0) +
                             FormatReal23(3.0) + "\r\n";
    NumberReader in(line, "seq.spc");
    EXPECT_DOUBLE_EQ(in.ReadReal(), 1.5);
    EXPECT_DOUBLE_EQ(in.ReadReal(), -0.00125);
    EXPECT_DOUBLE_EQ(in.ReadReal(), -2.0);
    EXPECT_DOUBLE_EQ(in.ReadReal(), 3.0);
    EXPECT_TRUE(in.Eoln());
}

TEST(NumberReader, BadTokensNameTheFileAndLine) {
    auto failure = [](const std::string& text, bool integer) {
        NumberReader in(text, "bad.txt");
        try {
            if (integer) {
                in.ReadInteger();
                in.ReadInteger();
            } else {
                in.ReadReal();
                in.ReadReal();
            }
        } catch (const InvalidNumericInput& e) {
            return e.File() + ":" + std::to_string(e.Line());
        }
        return std::string("accepted");
    };
    EXPECT_EQ(failure("1.0\n\n1.5x", false), "bad.txt:3");
    EXPECT_EQ(failure("1\n12.5", true), "bad.txt:2");
    EXPECT_EQ(failure("1,5", false), "bad.txt:1");  // the comma is not a decimal separator
    EXPECT_EQ(failure("1 -", false), "bad.txt:1");
    EXPECT_EQ(failure("1 1e", false), "bad.txt:1");
    EXPECT_EQ(failure("1 1.5-2", false), "bad.txt:1");  // only reals with exponents touch
    EXPECT_EQ(failure("1 99999999999", true), "bad.txt:1");
    // Tokens of up to 64 characters.
    for (bool integer : {true, false}) {
        EXPECT_EQ(failure("1 " + std::string(63, '0') + "1", integer), "accepted");
        EXPECT_EQ(failure("1 " + std::string(64, '0') + "1", integer), "bad.txt:1");
    }
    EXPECT_EQ(failure("1 2", false), "accepted");
}

TEST(NumberReader, OnlyFiniteNumbersAreReadAndARefusalNamesTheValueAndLine) {
    struct Case {
        std::string Text;
        const char* Says;  // nullptr: the last number reads
    };
    const std::string nan = FormatReal23(std::nan(""));
    for (const Case& c : {
             Case{"1\nNAN", "\"NAN\" is not a finite number"},
             Case{"1\n inf", "\"inf\" is not a finite number"},
             Case{"1\n+INF", "\"+INF\" is not a finite number"},
             Case{"1\n" + FormatReal23(-INFINITY), "\"-INF\" is not a finite number"},
             // As the seq layout writes them: the special value ends at the touching minus.
             Case{"1\n" + nan + FormatReal23(-2.0), "\"NAN\" is not a finite number"},
             Case{"1\n1E309", "\"1E309\" is too large"},
             Case{"1\n-1.8e+308", "\"-1.8e+308\" is too large"},
             Case{"1\n1E-400", "\"1E-400\" is too small"},
             Case{"1\n" + FormatReal23(1.7976931348623157e308), nullptr},
             Case{"1\n" + FormatReal23(-1.7976931348623157e308), nullptr},
             Case{"1\n" + FormatReal23(4.9406564584124654e-324), nullptr},
         }) {
        NumberReader in(c.Text, "v.spc");
        in.ReadReal();
        if (c.Says == nullptr) {
            const double v = in.ReadReal();
            EXPECT_TRUE(std::isfinite(v) && v != 0.0) << c.Text;
            continue;
        }
        try {
            in.ReadReal();
            ADD_FAILURE() << c.Text << ": read";
        } catch (const kalvex::Error& e) {
            EXPECT_NE(e.Reason().find(c.Says), std::string::npos) << e.what();
            EXPECT_EQ(e.File(), "v.spc");
            EXPECT_EQ(e.Line(), 2) << c.Text;
        }
    }
    // A reader of one line of a larger file counts from that line.
    NumberReader line("NAN", "procs", 17);
    try {
        line.ReadReal();
        ADD_FAILURE() << "read";
    } catch (const kalvex::Error& e) {
        EXPECT_EQ(e.Line(), 17);
    }
}

TEST(NumberReader, LinesAndCharacters) {
    NumberReader in("##$SI= 16384\r\nab\rc\n", "procs");
    EXPECT_EQ(in.ReadLine(), "##$SI= 16384");
    EXPECT_EQ(in.ReadChar(), 'a');
    EXPECT_EQ(in.ReadLine(), "b");
    EXPECT_EQ(in.LineNumber(), 3);  // a lone CR ends a line too
    EXPECT_EQ(in.ReadLine(), "c");
    EXPECT_TRUE(in.Eof());
    EXPECT_EQ(in.ReadChar(), 0x1A);
    EXPECT_TRUE(in.SeekEof());
}

TEST(NumberReader, MissingFileIsFileNotFound) {
    EXPECT_THROW(NumberReader::Open("/nonexistent/kalvex/x.spc"), FileNotFound);
    EXPECT_THROW(NumberReader::Open("/"), FileNotFound);
}

}  // namespace
}  // namespace kalvex::core
