// A fit that meets NaN or infinity stops with the table as it was; a finite result that means
// nothing ends with a warning naming the peak. Both precisions.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "fit/FitModel.h"
#include "fit/FitSafety.h"
#include "fit/GaussNewton.h"
#include "fit/LineShapes.h"
#include "support/DocumentBuilder.h"

namespace kalvex::fit {
namespace {

using core::Document;
using core::LineType;

struct Recorder : FitObserver {
    std::vector<double> zs;
    bool OnIteration(double z, double z_old, std::uint16_t) override {
        zs.push_back(z);
        zs.push_back(z_old);
        return zs.size() > 2000;
    }
    void OnWarning(const std::string&) override {}
};

GaussNewtonSummary FitIn(Document& doc, const char* select, Precision precision, Recorder& rec,
                         LineType line = LineType::kGauss) {
    GaussNewtonOptions o;
    o.Line = line;
    o.FitSelect = select;
    o.Arithmetic = precision;
    FitRunState state;
    state.CopyObserved(doc);
    return RunGaussNewton(doc, o, state, rec);
}

Document TwoLines() {
    Document doc = test::MakeDocument(400);
    test::AddPeak(doc, 150, 0.8, 6.0);
    test::AddPeak(doc, 260, 0.5, 9.0);
    SynthesiseModel(doc, LineType::kGauss);
    for (int i = 0; i < doc.PointCount; ++i) {
        const std::size_t e = static_cast<std::size_t>(i);
        doc.ObsY[e] = doc.SumY[e] + 0.001 * std::sin(i * 0.7);
    }
    return doc;
}

void ExpectSameTable(const Document& doc, const Document& before) {
    EXPECT_EQ(doc.PeakPos, before.PeakPos);
    EXPECT_EQ(doc.PeakHeight, before.PeakHeight);
    EXPECT_EQ(doc.PeakHalfWidth, before.PeakHalfWidth);
    EXPECT_EQ(doc.PeakAreaGL, before.PeakAreaGL);
    EXPECT_EQ(doc.PeakPosErr, before.PeakPosErr);
    EXPECT_EQ(doc.PeakHeightErr, before.PeakHeightErr);
    EXPECT_EQ(doc.PeakHalfWidthErr, before.PeakHalfWidthErr);
}

// Starting values that drive the run past the doubles: it stops with a message saying where,
// the table as it was, and no NaN or infinity ever shown as Z. Gauss and Lorentz, 111.
TEST(FitSafety, ARunThatMeetsNaNOrInfinityStopsWithTheTableAsItWas) {
    struct Case {
        const char* what;
        LineType line;
        double height, width;       // of peak 1
        const char* message_start;  // of the extended run; nullptr: any message
    };
    const Case cases[] = {
        {"a height whose square overflows", LineType::kGauss, 1e200, 6.0,
         "The fit cannot start: the squared sum is not a finite number"},
        // The NaN step: a step whose values leave the doubles, which unguarded made Z
        // and the positions NaN.
        {"a width the steps blow up", LineType::kGauss, 0.8, 1e100,
         "The fit stopped in iteration 2: the step made the half width of peak 1 overflow"},
        {"a Lorentz width whose square underflows", LineType::kLorentz, 0.8, 1e-170, nullptr},
        {"a height the steps blow up", LineType::kGauss, 1e150, 6.0, nullptr},
        {"a starting half width of -1E308", LineType::kGauss, 0.8, -1e308, nullptr},
        {"an infinite starting width", LineType::kGauss, 0.8, HUGE_VAL,
         "The fit cannot start: the peak table holds a value that is not finite"},
    };
    for (const Case& c : cases) {
        for (const Precision pr : {Precision::kExtended, Precision::kDouble}) {
            SCOPED_TRACE(std::string(c.what) + ", " + PrecisionCaption(pr));
            Document doc = TwoLines();
            doc.PeakHeight[1] = c.height;
            doc.PeakHalfWidth[1] = c.width;
            const Document before = doc;
            Recorder rec;
            const GaussNewtonSummary s = FitIn(doc, "111", pr, rec, c.line);
            EXPECT_FALSE(s.ResultsWritten());
            ASSERT_FALSE(s.Message.empty());
            if (c.message_start != nullptr && pr == Precision::kExtended) {
                EXPECT_EQ(s.Message.rfind(c.message_start, 0), 0u) << s.Message;
            }
            if (s.Reason == FitEnd::kNotFinite) {
                EXPECT_NE(s.Message.find("The peak table is unchanged."), std::string::npos);
            } else {
                EXPECT_EQ(s.Reason, FitEnd::kSingularMatrix);
            }
            ExpectSameTable(doc, before);
            for (const double z : rec.zs) EXPECT_TRUE(std::isfinite(z)) << z;
        }
    }
}

// Two identical peaks: the run ends with finite results, and a warning names the second.
TEST(FitSafety, IdenticalPeaksEndWithAWarningNamingThePeak) {
    for (const Precision pr : {Precision::kExtended, Precision::kDouble}) {
        SCOPED_TRACE(PrecisionCaption(pr));
        Document doc = TwoLines();
        test::AddPeak(doc, 150, 0.8, 6.0);
        GaussNewtonOptions o;
        o.Arithmetic = pr;
        o.ManualIterations = true;  // AUTO would restart from the table for ever
        o.IterationCount = 3;
        FitRunState state;
        state.CopyObserved(doc);
        Recorder rec;
        const GaussNewtonSummary s = RunGaussNewton(doc, o, state, rec);
        ASSERT_TRUE(s.ResultsWritten()) << s.Message;
        EXPECT_TRUE(PeakTableFinite(doc));
        bool named = false;
        for (const std::string& w : s.Warnings) {
            named = named || w.rfind("Peak 3 cannot be told apart", 0) == 0;
        }
        // The extended matrix of two identical peaks always needs the substitute pivot; the
        // double one only where its rounding (the build's vector loops) makes the pivot
        // exactly 0, and otherwise ends with finite values that nothing flags.
        if (pr == Precision::kExtended) {
            EXPECT_TRUE(named);
        }
    }
}

// The rule on its own: each case sets the written results of peak 2 (of two, fitted "111"
// over points 51..150 of 200) and names the warning expected, or none.
TEST(FitSafety, MeaninglessResultsAreNamedPeakByPeak) {
    const double big_error = kMeaninglessErrorRatio * 0.5;
    struct Case {
        const char* what;
        std::uint16_t start_pos, end_pos;
        double width, height, height_error;
        int tiny_pivot_entry;
        const char* warning;  // nullptr: none
    };
    const Case cases[] = {
        {"sound", 100, 100, 5.0, 0.5, 0.01, 0, nullptr},
        {"width at the length", 100, 100, 200.0, 0.5, 0.01, 0, nullptr},
        {"width past the length", 100, 100, std::nextafter(200.0, 300.0), 0.5, 0.01, 0,
         "The half width of peak 2 is 200 points, longer than the spectrum's 200"},
        {"error at the ratio", 100, 100, 5.0, 0.5, big_error, 0, nullptr},
        {"error past the ratio", 100, 100, 5.0, 0.5, std::nextafter(big_error, 1e300), 0,
         "The error of the height of peak 2, 5000000000, is more than 1E+10 times its value, "
         "0.5"},
        {"error of a zero height", 100, 100, 5.0, 0.0, 1e-300, 0,
         "The error of the height of peak 2, 1E-300, is more than 1E+10 times its value, 0"},
        {"moved to the last fitted point", 100, 150, 5.0, 0.5, 0.01, 0, nullptr},
        {"moved past it", 100, 151, 5.0, 0.5, 0.01, 0,
         "Peak 2 moved to point 151, outside the fitted points 51 to 150"},
        {"started outside and stayed", 170, 170, 5.0, 0.5, 0.01, 0, nullptr},
        {"the substitute pivot", 100, 100, 5.0, 0.5, 0.01, 5,
         "Peak 2 cannot be told apart from the peaks before it (its normal matrix needed the "
         "1E-200 pivot): its values and errors mean nothing"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Document doc = test::MakeDocument(200);
        test::AddPeak(doc, 80, 1.0, 4.0);
        test::AddPeak(doc, c.start_pos, 1.0, 4.0);
        doc.ViewFirstPoint = 51;
        doc.ViewPointCount = 100;
        FitRunState state;
        state.CopyObserved(doc);
        FitModel model(doc, FitLayoutChoice{}, state.FitObsY.data(), 100, 51);
        const core::PeakArray<std::uint16_t> start = doc.PeakPos;
        doc.PeakPos[2] = c.end_pos;
        doc.PeakHalfWidth[2] = c.width;
        doc.PeakHeight[2] = c.height;
        doc.PeakHeightErr[2] = c.height_error;
        const std::vector<std::string> w =
            MeaninglessResultWarnings(model, doc, start, c.tiny_pivot_entry);
        if (c.warning == nullptr) {
            EXPECT_TRUE(w.empty()) << w.front();
        } else {
            ASSERT_EQ(w.size(), 1u);
            EXPECT_EQ(w[0], c.warning);
        }
    }
}

}  // namespace
}  // namespace kalvex::fit
