// The fast (double) precision against the exact one: same iterations, same minimum.
#include <gtest/gtest.h>

#include <cmath>

#include "core/Error.h"
#include "fit/GaussNewton.h"
#include "fit/LineShapes.h"
#include "support/DocumentBuilder.h"
#include "support/StandardCases.h"

namespace kalvex::fit {
namespace {

using core::Document;
using core::LineType;

struct Quiet : FitObserver {
    bool OnIteration(double, double, std::uint16_t) override { return false; }
    void OnWarning(const std::string&) override {}
};

GaussNewtonSummary FitIn(Document& doc, GaussNewtonOptions o, Precision precision, int threads = 0,
                         SimdPath simd = SimdPath::kBest) {
    o.Arithmetic = precision;
    o.Threads = threads;
    o.Simd = simd;
    FitRunState state;
    state.CopyObserved(doc);
    Quiet quiet;
    return RunGaussNewton(doc, o, state, quiet);
}

void ExpectSameFit(const Document& exact, const GaussNewtonSummary& se, const Document& fast,
                   const GaussNewtonSummary& sf) {
    EXPECT_EQ(sf.Reason, se.Reason);
    EXPECT_EQ(sf.TotalIterations, se.TotalIterations);
    EXPECT_NEAR(sf.Z, se.Z, 1e-9 * se.Z);
    for (int k = 1; k <= exact.PeakCount; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(fast.PeakPos[k], exact.PeakPos[k]);
        EXPECT_NEAR(fast.PeakHeight[k], exact.PeakHeight[k], 1e-7 * std::fabs(exact.PeakHeight[k]));
        EXPECT_NEAR(fast.PeakHalfWidth[k], exact.PeakHalfWidth[k], 1e-7 * exact.PeakHalfWidth[k]);
        EXPECT_NEAR(fast.PeakHeightErr[k], exact.PeakHeightErr[k], 1e-6 * exact.PeakHeightErr[k]);
    }
}

TEST(Precision, BothPrecisionsReachTheSameMinimumOnTheStandardCases) {
    for (const test::StandardCase& c : test::StandardCases()) {
        SCOPED_TRACE(c.Name);
        const Document start = test::GenerateCase(c).Doc;
        GaussNewtonOptions o;
        o.Line = c.Line;
        Document exact = start;
        Document fast = start;
        const GaussNewtonSummary se = FitIn(exact, o, Precision::kExtended);
        const GaussNewtonSummary sf = FitIn(fast, o, Precision::kDouble);
        ASSERT_EQ(se.Reason, FitEnd::kConverged);
        ExpectSameFit(exact, se, fast, sf);
    }
}

TEST(Precision, GaussLorentzKindsAgreeToo) {
    Document start = test::MakeDocument(3000);
    for (int k = 1; k <= 3; ++k) {
        test::AddPeak(start, 600 * k, 0.3 + 0.2 * k, 4.0 + 2 * k);  // wG
        start.PeakHalfWidthL[k] = 10.0 - k;
        start.PeakFractionL[k] = 0.2 * k;
    }
    SynthesiseModel(start, LineType::kGaussLorentz);
    start.ObsY = start.SumY;
    for (int k = 1; k <= 3; ++k) {
        start.PeakPos[k] = static_cast<std::uint16_t>(start.PeakPos[k] + 2);
        start.PeakHeight[k] *= 0.8;
        start.PeakHalfWidthL[k] *= 1.2;
        start.PeakHalfWidthG[k] *= 0.9;
        start.PeakFractionL[k] = 0.5;
    }
    SynthesiseModel(start, LineType::kGaussLorentz);
    // Position, Lorentzian width, Gaussian width, area, fraction: one kind at a time.
    const char* selects[] = {"100", "010", "010", "001", "000"};
    for (int kind = 0; kind < 5; ++kind) {
        SCOPED_TRACE(kind);
        GaussNewtonOptions o;
        o.Line = LineType::kGaussLorentz;
        o.FitSelect = selects[kind];
        o.WidthIsLorentzian = kind != 2;
        o.FractionL = kind == 4;
        Document exact = start;
        Document fast = start;
        const GaussNewtonSummary se = FitIn(exact, o, Precision::kExtended);
        ASSERT_TRUE(se.ResultsWritten());
        ExpectSameFit(exact, se, fast, FitIn(fast, o, Precision::kDouble));
        for (int k = 1; k <= 3; ++k) {
            EXPECT_NEAR(fast.PeakAreaGL[k], exact.PeakAreaGL[k], 1e-7 * exact.PeakAreaGL[k]);
            EXPECT_NEAR(fast.PeakFractionL[k], exact.PeakFractionL[k], 1e-7);
            EXPECT_NEAR(fast.PeakHalfWidthG[k], exact.PeakHalfWidthG[k], 1e-6);
            EXPECT_NEAR(fast.PeakHalfWidthL[k], exact.PeakHalfWidthL[k], 1e-6);
        }
    }
}

TEST(Precision, FastResultsDoNotDependOnTheThreadCountAndBothBuildsAgree) {
    // Gauss peaks leave whole blocks of columns at 0: the threads skip different products.
    const test::StandardCase gauss{"gauss", 20000, 12, LineType::kGauss};
    const Document start = test::GenerateCase(gauss).Doc;
    GaussNewtonOptions o;
    o.Line = LineType::kGauss;
    for (SimdPath simd : {SimdPath::kPortable, SimdPath::kBest}) {
        std::vector<Document> results;
        std::vector<double> zs;
        for (int threads : {1, 2, 3}) {
            Document d = start;
            zs.push_back(FitIn(d, o, Precision::kDouble, threads, simd).Z);
            results.push_back(d);
        }
        for (std::size_t i = 1; i < results.size(); ++i) {
            EXPECT_EQ(zs[i], zs[0]);
            EXPECT_EQ(results[i].PeakPos, results[0].PeakPos);
            EXPECT_EQ(results[i].PeakHeight, results[0].PeakHeight);
            EXPECT_EQ(results[i].PeakHalfWidth, results[0].PeakHalfWidth);
            EXPECT_EQ(results[i].PeakHalfWidthErr, results[0].PeakHalfWidthErr);
        }
    }
    Document portable = start;
    Document best = start;
    const GaussNewtonSummary sp = FitIn(portable, o, Precision::kDouble, 0, SimdPath::kPortable);
    const GaussNewtonSummary sb = FitIn(best, o, Precision::kDouble, 0, SimdPath::kBest);
    ExpectSameFit(portable, sp, best, sb);
}

TEST(Precision, ComesFromTheOptionsPrecisionItem) {
    core::Options opts;
    const Document doc = test::MakeDocument(10);
    EXPECT_EQ(MakeGaussNewtonOptions(opts, doc, true, false).Arithmetic, Precision::kExtended);
    opts.Precision = 1;
    EXPECT_EQ(MakeGaussNewtonOptions(opts, doc, true, false).Arithmetic, Precision::kDouble);
    for (int item : {-1, 2}) {
        opts.Precision = item;
        EXPECT_THROW(MakeGaussNewtonOptions(opts, doc, true, false), Error) << item;
    }
}

}  // namespace
}  // namespace kalvex::fit
