// The Gauss-Newton run: damping rules, stop conditions, refusals, errors and recovery of peaks.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "core/Error.h"
#include "core/NumberFormat.h"
#include "fit/GaussNewton.h"
#include "fit/LineShapes.h"
#include "fit/LuSolver.h"
#include "support/DocumentBuilder.h"

namespace kalvex::fit {
namespace {

using core::Document;
using core::LineType;

struct TruePeak {
    int pos;
    double height;
    double width;
};

// A spectrum synthesised from `peaks` plus `bias` and seeded Gaussian noise of `noise`.
Document Synthetic(int points, const std::vector<TruePeak>& peaks, LineType line, double noise,
                   float bias = 0.0f, unsigned seed = 1) {
    Document doc = test::MakeDocument(points);
    for (const TruePeak& p : peaks) test::AddPeak(doc, p.pos, p.height, p.width);
    SynthesiseModel(doc, line);
    std::mt19937 rng(seed);
    std::normal_distribution<double> gauss(0.0, noise);
    for (int i = 0; i < points; ++i) {
        const std::size_t e = static_cast<std::size_t>(i);
        doc.ObsY[e] = doc.SumY[e] + bias + (noise > 0 ? gauss(rng) : 0.0);
    }
    doc.Bias = bias;
    return doc;
}

// Records every call; stops after `stop_at` iterations when it is not 0.
struct Recorder : FitObserver {
    struct Step {
        double z, z_old;
        std::uint16_t count;
    };
    std::vector<Step> steps;
    std::vector<std::string> warnings;
    int stop_at = 0;
    bool stop_when_worse = false;
    bool OnIteration(double z, double z_old, std::uint16_t count) override {
        steps.push_back({z, z_old, count});
        return (stop_at != 0 && static_cast<int>(steps.size()) >= stop_at) ||
               (stop_when_worse && z > z_old);
    }
    void OnWarning(const std::string& message) override { warnings.push_back(message); }
};

GaussNewtonOptions Opts(LineType line, const char* select, FitMode mode = FitMode::kAuto) {
    GaussNewtonOptions o;
    o.Line = line;
    o.FitSelect = select;
    o.Mode = mode;
    return o;
}

GaussNewtonSummary Fit(Document& doc, const GaussNewtonOptions& o, Recorder& rec,
                       bool preset_stop = false) {
    FitRunState state;
    state.CopyObserved(doc);
    state.FitStop = preset_stop;
    return RunGaussNewton(doc, o, state, rec);
}

TEST(GaussNewton, StartingDampingByMode) {
    // AUTO: 0.1 below a Z of 0.1 unless one kind is fitted; the chosen items otherwise.
    struct Case {
        FitMode Mode;
        int DampItem, ConvItem;
        double Z;
        int Kinds;
        double Factor, Limit;
    };
    for (const Case& c : {Case{FitMode::kAuto, 2, 2, 0.05, 2, 0.1, 0.0001},
                          Case{FitMode::kAuto, 2, 2, 0.05, 1, 1.0, 0.001},
                          Case{FitMode::kAuto, 2, 2, 0.1, 3, 1.0, 0.001},
                          Case{FitMode::kSemiAuto, 4, 6, 5.0, 3, 0.0001, 1E-7},
                          Case{FitMode::kSemiAuto, 2, kConvAutoSetItem, 5.0, 3, 0.01, 0.00001}}) {
        GaussNewtonOptions o;
        o.Mode = c.Mode;
        o.DampItem = c.DampItem;
        o.ConvItem = c.ConvItem;
        const Damping d = StartingDamping(o, c.Z, c.Kinds);
        EXPECT_EQ(d.DampFactor, c.Factor) << c.Z << " " << c.Kinds;
        EXPECT_DOUBLE_EQ(d.ConvLimit, c.Limit) << c.Z << " " << c.Kinds;
    }
    GaussNewtonOptions o;
    o.Mode = FitMode::kManual;
    o.ManualIterations = true;
    EXPECT_EQ(StartingDamping(o, 5.0, 3).ConvLimit, -1.0);
}

TEST(GaussNewton, WorseStepsDampHarderThenTurnTheStepRound) {
    GaussNewtonOptions autom;
    // Four worse steps from 1.0: the products are formed in extended precision, so the second
    // one gives exactly the "0.01" of the table and the third turns the step round.
    Damping d = {1.0, 0.001};
    const double expected[] = {0.1, 0.01, -0.01, 0.01};
    for (double factor : expected) {
        d = DampingAfterWorseStep(autom, d);
        EXPECT_EQ(d.DampFactor, factor);
        EXPECT_EQ(d.ConvLimit, static_cast<double>(std::fabs(0.001L * factor)));
    }

    GaussNewtonOptions semi;
    semi.Mode = FitMode::kSemiAuto;
    semi.ConvItem = 3;
    d = DampingAfterWorseStep(semi, {1.0, 0.0001});
    EXPECT_DOUBLE_EQ(d.DampFactor, 0.1);
    EXPECT_EQ(d.ConvLimit, 0.0001);  // a chosen threshold stays
    semi.ConvItem = kConvAutoSetItem;
    d = DampingAfterWorseStep(semi, {1.0, 0.001});
    EXPECT_DOUBLE_EQ(d.ConvLimit, 0.0001);

    GaussNewtonOptions manual;
    manual.Mode = FitMode::kManual;
    d = DampingAfterWorseStep(manual, {1.0, 0.01});
    EXPECT_EQ(d.DampFactor, -1.0);
    EXPECT_EQ(d.ConvLimit, 0.01);

    autom.ManualIterations = true;  // "Manual Set": only the count ends the run
    d = DampingAfterWorseStep(autom, {1.0, -1.0});
    EXPECT_EQ(d.ConvLimit, -1.0);
}

// One Lorentz peak of half width 8 fitted for width and height from half width 40: the first
// full step overshoots and the second makes the squared sum worse.
Document OvershootingWidth(double height) {
    Document doc = Synthetic(400, {{200, height, 8.0}}, LineType::kLorentz, 0.0);
    doc.PeakHalfWidth[1] = 40.0;
    return doc;
}

TEST(GaussNewton, AutoModeContinuesFromAWorsePointWithTenfoldDamping) {
    Document doc = OvershootingWidth(0.45);  // the rise stays below 1
    Recorder rec;
    rec.stop_when_worse = true;
    const GaussNewtonSummary s = Fit(doc, Opts(LineType::kLorentz, "011"), rec);
    ASSERT_GE(rec.steps.size(), 2u);
    const double rise = rec.steps.back().z - rec.steps.back().z_old;
    ASSERT_GT(rise, 0.0);
    ASSERT_LT(rise, 1.0);
    EXPECT_EQ(s.Reason, FitEnd::kStopped);
    EXPECT_EQ(s.Restarts, 0);
    EXPECT_DOUBLE_EQ(s.DampFactor, 0.1);
    EXPECT_DOUBLE_EQ(s.ConvLimit, 0.0001);
    // The worse point is kept (and, stopped here, written).
    EXPECT_EQ(s.Z, rec.steps.back().z);
}

TEST(GaussNewton, AutoModeRestartsFromTheTableAfterADivergence) {
    Document doc = OvershootingWidth(3.0);  // the rise is about 17
    Recorder rec;
    rec.stop_at = 60;
    const GaussNewtonSummary s = Fit(doc, Opts(LineType::kLorentz, "011"), rec);
    EXPECT_GE(s.Restarts, 1);
    EXPECT_TRUE(rec.warnings.empty());
    // The pass after the restart counts from 1 again and starts from the table's values.
    std::size_t restart = 1;
    while (restart < rec.steps.size() && rec.steps[restart].count != 1) ++restart;
    ASSERT_LT(restart, rec.steps.size());
    EXPECT_GT(rec.steps[restart - 1].z - rec.steps[restart - 1].z_old, 1.0);
    EXPECT_EQ(rec.steps[restart].z_old, s.ZStart);
}

TEST(GaussNewton, SemiAutoWarnsAtADivergenceAndWritesTheLastVector) {
    Document doc = OvershootingWidth(3.0);
    Recorder rec;
    GaussNewtonOptions o = Opts(LineType::kLorentz, "011", FitMode::kSemiAuto);
    o.DampItem = 0;
    FitRunState state;
    state.CopyObserved(doc);
    const GaussNewtonSummary s = RunGaussNewton(doc, o, state, rec);
    EXPECT_EQ(s.Reason, FitEnd::kDiverged);
    ASSERT_EQ(rec.warnings.size(), 1u);
    EXPECT_EQ(rec.warnings[0], "Change Initial Conditions !!!");
    EXPECT_EQ(s.Message, "");  // shown once, through the observer
    EXPECT_TRUE(state.FitStop);
    EXPECT_TRUE(s.ResultsWritten());
    EXPECT_GT(s.Z - s.ZOld, 1.0);
    // The diverged values are in the table, with their errors.
    EXPECT_NE(doc.PeakHalfWidth[1], 40.0);
    EXPECT_NE(doc.PeakHeight[1], 3.0);
    EXPECT_GT(doc.PeakHalfWidthErr[1], 0.0);
    Document check = doc;
    EXPECT_DOUBLE_EQ(SynthesiseModel(check, LineType::kLorentz), s.Z);
}

TEST(GaussNewton, ARiseOfZByMoreThanOneIsADivergence) {
    // Z scales with the square of the heights and the steps do not: scaled so that the worse
    // step raises Z by just under and just over 1.
    auto run = [](double height, Recorder& rec) {
        Document doc = OvershootingWidth(height);
        rec.stop_when_worse = true;
        GaussNewtonOptions o = Opts(LineType::kLorentz, "011", FitMode::kSemiAuto);
        o.DampItem = 0;
        return Fit(doc, o, rec);
    };
    Recorder unit;
    run(1.0, unit);
    const double rise = unit.steps.back().z - unit.steps.back().z_old;
    ASSERT_GT(rise, 0.0);
    for (const auto& [target, end] :
         {std::pair{0.999, FitEnd::kStopped}, std::pair{1.001, FitEnd::kDiverged}}) {
        Recorder rec;
        EXPECT_EQ(run(std::sqrt(target / rise), rec).Reason, end) << target;
        EXPECT_NEAR(rec.steps.back().z - rec.steps.back().z_old, target, 1e-6);
    }
}

TEST(GaussNewton, ManualSetRunsExactlyTheIterationCount) {
    Document doc = Synthetic(500, {{150, 0.5, 6.0}, {330, 0.8, 9.0}}, LineType::kLorentz, 0.0);
    doc.PeakHeight[1] = 0.9;
    doc.PeakHeight[2] = 0.2;
    GaussNewtonOptions o = Opts(LineType::kLorentz, "001", FitMode::kManual);
    o.DampItem = 3;  // 0.001: Z falls a little at every step and never repeats
    o.ManualIterations = true;
    o.IterationCount = 100;
    Recorder rec;
    const GaussNewtonSummary s = Fit(doc, o, rec);
    EXPECT_EQ(s.Reason, FitEnd::kIterationCount);
    EXPECT_EQ(s.Iterations, 100);
    EXPECT_EQ(rec.steps.size(), 100u);
    EXPECT_EQ(s.ConvLimit, -1.0);
    for (const Recorder::Step& st : rec.steps) ASSERT_GT(st.z_old - st.z, 0.0);
}

TEST(GaussNewton, PositionFitMovesWholePointsAndStopsWhenTheSumRepeats) {
    Document doc =
        Synthetic(800, {{200, 0.6, 10.0}, {520, 0.4, 14.0}}, LineType::kGauss, 0.001, 0.0f, 3);
    doc.PeakPos[1] = 203;
    doc.PeakPos[2] = 517;
    Recorder rec;
    const GaussNewtonSummary s = Fit(doc, Opts(LineType::kGauss, "100"), rec);
    EXPECT_EQ(s.Reason, FitEnd::kUnchangedZ);
    EXPECT_EQ(s.LayoutCode, 'E');
    EXPECT_EQ(s.Z, s.ZOld);
    EXPECT_EQ(doc.PeakPos[1], 200);
    EXPECT_EQ(doc.PeakPos[2], 520);
    EXPECT_GT(doc.PeakPosErr[1], 0.0);
    EXPECT_LT(doc.PeakPosErr[1], 0.1);
}

TEST(GaussNewton, GaussLorentzAreaFitWritesHeightAndErrorTimesTheCentreDensity) {
    // With f = 0 the Gauss+Lorentz curve is A times the unit-area Gaussian, so fitting A is the
    // Gauss height fit with H = D * A: the heights and their errors must agree.
    Document data = Synthetic(600, {{200, 0.7, 9.0}, {380, 0.5, 12.0}}, LineType::kGauss, 0.002);
    Document gauss = data;
    gauss.PeakHeight[1] = 0.5;
    gauss.PeakHeight[2] = 0.6;
    Document gl = gauss;
    for (int k = 1; k <= 2; ++k) gl.PeakFractionL[k] = 0.0;
    SynthesiseModel(gl, LineType::kGaussLorentz);

    Recorder r1, r2;
    const GaussNewtonSummary sg = Fit(gauss, Opts(LineType::kGauss, "001"), r1);
    const GaussNewtonSummary sl = Fit(gl, Opts(LineType::kGaussLorentz, "001"), r2);
    ASSERT_TRUE(sg.ResultsWritten());
    ASSERT_TRUE(sl.ResultsWritten());
    EXPECT_EQ(sl.LayoutCode, 'G');
    for (int k = 1; k <= 2; ++k) {
        const double d = CentreDensityGL(gl.PeakHalfWidthG[k], gl.PeakHalfWidthL[k], 0.0);
        EXPECT_NEAR(gl.PeakHeight[k], gauss.PeakHeight[k], 1e-9) << k;
        EXPECT_NEAR(gl.PeakHeightErr[k], gauss.PeakHeightErr[k], 1e-9 * gauss.PeakHeightErr[k])
            << k;
        EXPECT_DOUBLE_EQ(gl.PeakHeight[k], d * gl.PeakAreaGL[k]) << k;
    }
}

TEST(GaussNewton, ErrorsAreTheRootOfTheCovarianceDiagonalTimesZOverDegreesOfFreedom) {
    // A height fit is linear: C = (J^T J)^-1 with J the unit curves, the same at every step.
    const int n = 1000;
    std::vector<TruePeak> peaks;
    for (int k = 1; k <= 10; ++k) peaks.push_back({k * 90, 0.3 + 0.05 * k, 5.0 + k});
    Document doc = Synthetic(n, peaks, LineType::kLorentz, 0.003, 0.0f, 11);
    for (int k = 1; k <= 10; ++k) doc.PeakHeight[k] *= 1.2;
    Recorder rec;
    const GaussNewtonSummary s = Fit(doc, Opts(LineType::kLorentz, "001"), rec);
    ASSERT_TRUE(s.ResultsWritten());

    Matrix90 a;
    for (int i = 1; i <= 10; ++i) {
        for (int j = 1; j <= 10; ++j) {
            long double sum = 0;
            for (int x = 1; x <= n; ++x) {
                const long double ui = (x - peaks[static_cast<std::size_t>(i - 1)].pos) /
                                       static_cast<long double>(doc.PeakHalfWidth[i]);
                const long double uj = (x - peaks[static_cast<std::size_t>(j - 1)].pos) /
                                       static_cast<long double>(doc.PeakHalfWidth[j]);
                sum += 1 / (1 + ui * ui) / (1 + uj * uj);
            }
            a(i, j) = sum;
        }
    }
    Matrix90 c;
    ASSERT_EQ(InvertMatrix(a, 10, c), LuStatus::kOk);
    for (int k = 1; k <= 10; ++k) {
        const double expected = std::sqrt(static_cast<double>(std::fabs(c(k, k))) * s.Z / (n - 10));
        EXPECT_NEAR(doc.PeakHeightErr[k], expected, 1e-9 * expected) << k;
    }
}

TEST(GaussNewton, SingularMatrixEndsTheRunWithTheTableUntouched) {
    // Peak 2 lies so far beyond the displayed points that its Gauss curve is 0 at every one.
    Document doc = Synthetic(1000, {{250, 0.5, 5.0}}, LineType::kGaussLorentz, 0.001);
    test::AddPeak(doc, 990, 0.5, 1.0);
    doc.PeakFractionL[1] = doc.PeakFractionL[2] = 0.0;
    SynthesiseModel(doc, LineType::kGaussLorentz);
    doc.ViewPointCount = 500;
    doc.PeakHeight[1] = 0.4;  // so that a run would change the derived heights
    const Document before = doc;
    Recorder rec;
    FitRunState state;
    state.CopyObserved(doc);
    const GaussNewtonSummary s =
        RunGaussNewton(doc, Opts(LineType::kGaussLorentz, "001"), state, rec);
    EXPECT_EQ(s.Reason, FitEnd::kSingularMatrix);
    EXPECT_EQ(s.Message, "pause in LUDCMP - singular matrix");
    EXPECT_FALSE(s.ResultsWritten());
    EXPECT_TRUE(rec.steps.empty());
    EXPECT_FALSE(state.FitStop);
    EXPECT_EQ(doc.PeakHeight, before.PeakHeight);
    EXPECT_EQ(doc.PeakAreaGL, before.PeakAreaGL);
    EXPECT_EQ(doc.PeakHeightErr, before.PeakHeightErr);
    EXPECT_EQ(doc.PeakPos, before.PeakPos);
}

TEST(GaussNewton, RefusesToRunWithoutPeaksTooFewPointsOrAnImpossibleSelection) {
    Recorder rec;
    Document empty = test::MakeDocument(100);
    GaussNewtonSummary s = Fit(empty, Opts(LineType::kGauss, "111"), rec);
    EXPECT_EQ(s.Reason, FitEnd::kNoPeaks);
    EXPECT_EQ(s.Message, "No Peak Data !!!");

    Document few = test::MakeDocument(6);
    test::AddPeak(few, 2, 0.5, 1.0);
    test::AddPeak(few, 5, 0.5, 1.0);
    const Document before = few;
    s = Fit(few, Opts(LineType::kGauss, "111"), rec);
    EXPECT_EQ(s.Reason, FitEnd::kTooFewPoints);
    EXPECT_EQ(s.Message, "The fit needs more points than parameters: 6 points for 6 parameters");
    EXPECT_EQ(few.PeakHeight, before.PeakHeight);

    s = Fit(few, Opts(LineType::kGauss, "000"), rec);
    EXPECT_EQ(s.Reason, FitEnd::kInvalidSelection);
    GaussNewtonOptions fraction = Opts(LineType::kGauss, "000");
    fraction.FractionL = true;
    s = Fit(few, fraction, rec);
    EXPECT_EQ(s.Reason, FitEnd::kInvalidSelection);
    EXPECT_TRUE(rec.steps.empty());
    EXPECT_FALSE(s.ResultsWritten());
}

TEST(GaussNewton, RefusesToStartWithPeaksOutsideTheSpectrum) {
    struct Case {
        std::vector<int> positions;
        const char* message;  // empty: the run starts
    };
    const Case cases[] = {
        {{1, 250, 500}, ""},
        {{250, 501},
         "Peak 2 (point 501) lies outside the spectrum, points 1 to 500: move or "
         "delete it before fitting"},
        {{0, 250, 65535},
         "Peaks 1 (point 0) and 3 (point 65535) lie outside the spectrum, "
         "points 1 to 500: move or delete them before fitting"},
        {{600, 700, 250, 800},
         "Peaks 1 (point 600), 2 (point 700) and 4 (point 800) lie "
         "outside the spectrum, points 1 to 500: move or delete them "
         "before fitting"},
    };
    for (const Case& c : cases) {
        Document doc = Synthetic(500, {{250, 0.5, 8.0}}, LineType::kLorentz, 0.001);
        doc.PeakCount = 0;
        for (int pos : c.positions) test::AddPeak(doc, pos, 0.4, 6.0);
        const Document before = doc;
        Recorder rec;
        const GaussNewtonSummary s = Fit(doc, Opts(LineType::kLorentz, "111"), rec);
        SCOPED_TRACE(c.positions.back());
        if (*c.message == '\0') {
            EXPECT_TRUE(s.ResultsWritten());
            continue;
        }
        EXPECT_EQ(s.Reason, FitEnd::kPeaksOutside);
        EXPECT_EQ(s.Message, c.message);
        EXPECT_TRUE(rec.steps.empty());
        EXPECT_EQ(doc.PeakPos, before.PeakPos);
        EXPECT_EQ(doc.PeakHeight, before.PeakHeight);
    }
}

TEST(GaussNewton, AStopRequestEndsTheRunAfterTheCurrentIterationWithResults) {
    Document doc = Synthetic(600, {{300, 0.5, 20.0}}, LineType::kLorentz, 0.001);
    doc.PeakPos[1] = 305;
    doc.PeakHeight[1] = 0.7;
    doc.PeakHalfWidth[1] = 14.0;
    Document again = doc;
    Recorder rec;
    rec.stop_at = 1;
    GaussNewtonSummary s = Fit(doc, Opts(LineType::kLorentz, "111"), rec);
    EXPECT_EQ(s.Reason, FitEnd::kStopped);
    EXPECT_EQ(s.Iterations, 1);
    EXPECT_NE(doc.PeakHeight[1], 0.7);

    Recorder rec2;
    s = Fit(again, Opts(LineType::kLorentz, "111"), rec2, /*preset_stop=*/true);
    EXPECT_EQ(s.Iterations, 1);
    EXPECT_EQ(again.PeakHeight[1], doc.PeakHeight[1]);
}

TEST(GaussNewton, ResultsDoNotDependOnTheNumberOfThreads) {
    std::vector<TruePeak> peaks;
    for (int k = 1; k <= 8; ++k) peaks.push_back({k * 450, 0.2 + 0.03 * k, 6.0 + k});
    const Document start = [&] {
        Document d = Synthetic(4096, peaks, LineType::kLorentz, 0.002, 0.01f, 5);
        for (int k = 1; k <= 8; ++k) {
            d.PeakPos[k] = static_cast<std::uint16_t>(d.PeakPos[k] + (k % 3) - 1);
            d.PeakHeight[k] *= 1.15;
            d.PeakHalfWidth[k] *= 0.85;
        }
        return d;
    }();
    std::vector<Document> results;
    for (int threads : {1, 2, 3}) {
        Document d = start;
        GaussNewtonOptions o = Opts(LineType::kLorentz, "111");
        o.Threads = threads;
        Recorder rec;
        Fit(d, o, rec);
        results.push_back(d);
    }
    for (std::size_t i = 1; i < results.size(); ++i) {
        EXPECT_EQ(results[i].PeakPos, results[0].PeakPos);
        EXPECT_EQ(results[i].PeakHeight, results[0].PeakHeight);
        EXPECT_EQ(results[i].PeakHalfWidth, results[0].PeakHalfWidth);
        EXPECT_EQ(results[i].PeakHeightErr, results[0].PeakHeightErr);
        EXPECT_EQ(results[i].PeakHalfWidthErr, results[0].PeakHalfWidthErr);
    }
}

// Fitted values must come back within 5 of the fit's own standard errors: the noise is the
// only source of error, the errors estimate its effect, and 5 sigma leaves no room for a
// chance failure while a wrong derivative or step would miss by far more. They must also be
// within 2 % of the truth, so that a wildly inflated error cannot hide a bad fit.
void ExpectRecovered(const Document& doc, const std::vector<TruePeak>& truth) {
    for (std::size_t i = 0; i < truth.size(); ++i) {
        const int k = static_cast<int>(i) + 1;
        SCOPED_TRACE(k);
        EXPECT_EQ(doc.PeakPos[k], truth[i].pos);
        EXPECT_NEAR(doc.PeakHeight[k], truth[i].height, 5 * doc.PeakHeightErr[k]);
        EXPECT_NEAR(doc.PeakHalfWidth[k], truth[i].width, 5 * doc.PeakHalfWidthErr[k]);
        EXPECT_NEAR(doc.PeakHeight[k], truth[i].height, 0.02 * truth[i].height);
        EXPECT_NEAR(doc.PeakHalfWidth[k], truth[i].width, 0.02 * truth[i].width);
    }
}

TEST(GaussNewton, RecoversNoisyLorentzAndGaussPeaksFromPerturbedStarts) {
    for (LineType line : {LineType::kLorentz, LineType::kGauss}) {
        SCOPED_TRACE(line == LineType::kGauss ? "Gauss" : "Lorentz");
        const std::vector<TruePeak> truth = {{600, 0.5, 8.0},
                                             {1300, 0.8, 12.0},
                                             {2000, 0.3, 6.0},
                                             {2900, 0.6, 15.0},
                                             {3500, 0.4, 10.0}};
        Document doc = Synthetic(4096, truth, line, 0.003, 0.02f, 9);
        const int shift[] = {3, -2, 2, -3, 1};
        const double scale[] = {1.25, 0.8, 1.1, 0.75, 1.3};
        for (int k = 1; k <= 5; ++k) {
            doc.PeakPos[k] = static_cast<std::uint16_t>(doc.PeakPos[k] + shift[k - 1]);
            doc.PeakHeight[k] *= scale[k - 1];
            doc.PeakHalfWidth[k] *= 2.0 - scale[k - 1];
        }
        Recorder rec;
        const GaussNewtonSummary s = Fit(doc, Opts(line, "111"), rec);
        EXPECT_EQ(s.Reason, FitEnd::kConverged);
        ExpectRecovered(doc, truth);
    }
}

TEST(GaussNewton, AWidthMayPassThroughZeroAndTheTableGetsItsMagnitude) {
    // Eight overlapping Gauss lines fitted with the full step: a first step takes a width
    // through zero. Held at a tiny floor instead, that peak's derivatives vanish and the next
    // step ends in NaN; passing through, the run converges.
    std::mt19937 rng(51);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    Document doc = test::MakeDocument(600);
    for (int k = 0; k < 8; ++k) {
        const int pos = 150 + k * 40 + static_cast<int>(unit(rng) * 10);
        const double height = 0.2 + 0.6 * unit(rng);
        test::AddPeak(doc, pos, height, 8 + 10 * unit(rng));
    }
    SynthesiseModel(doc, LineType::kGauss);
    std::normal_distribution<double> noise(0.0, 0.01);
    for (std::size_t i = 0; i < 600; ++i) doc.ObsY[i] = doc.SumY[i] + noise(rng);
    for (int k = 1; k <= 8; ++k) {
        doc.PeakPos[k] =
            static_cast<std::uint16_t>(doc.PeakPos[k] + static_cast<int>(unit(rng) * 8) - 4);
        doc.PeakHeight[k] *= 0.6 + 0.8 * unit(rng);
        doc.PeakHalfWidth[k] *= 0.5 + 1.0 * unit(rng);
    }
    GaussNewtonOptions o = Opts(LineType::kGauss, "111", FitMode::kManual);
    o.DampItem = 0;  // 1.00
    Recorder rec;
    const GaussNewtonSummary s = Fit(doc, o, rec);
    EXPECT_EQ(s.Reason, FitEnd::kConverged);
    EXPECT_LT(s.Z, 0.07);  // 600 points of noise 0.01: 0.06
    for (int k = 1; k <= 8; ++k) EXPECT_GT(doc.PeakHalfWidth[k], 1.0) << k;
}

TEST(GaussNewton, FractionsMoveFreelyAndOnesOutsideZeroToOneAreReported) {
    // Two overlapping lines, mostly Lorentzian: the second one's best fraction lies above 1.
    // Held at 1, the other fraction's step overshoots at every iteration and the run never
    // converges.
    std::mt19937 rng(8);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    Document doc = test::MakeDocument(400);
    const double separation = 2 + 6 * unit(rng);
    for (int k = 0; k < 2; ++k) {
        const int pos = static_cast<int>(200 + k * separation);
        const double height = 0.5 + 0.5 * unit(rng);
        const double width = 5 + 5 * unit(rng);
        const int p = test::AddPeak(doc, pos, height, width);
        doc.PeakHalfWidthL[p] = width * (0.7 + 0.6 * unit(rng));
        doc.PeakFractionL[p] = 0.93 + 0.1 * unit(rng);
    }
    SynthesiseModel(doc, LineType::kGaussLorentz);
    std::normal_distribution<double> noise(0.0, 0.01);
    for (std::size_t i = 0; i < 400; ++i) doc.ObsY[i] = doc.SumY[i] + noise(rng);
    doc.PeakFractionL[1] = doc.PeakFractionL[2] = 0.5;
    SynthesiseModel(doc, LineType::kGaussLorentz);
    GaussNewtonOptions o = Opts(LineType::kGaussLorentz, "000");
    o.FractionL = true;
    Recorder rec;
    rec.stop_at = 200;
    const GaussNewtonSummary s = Fit(doc, o, rec);
    EXPECT_EQ(s.Reason, FitEnd::kConverged);
    EXPECT_EQ(s.TotalIterations, 3);
    EXPECT_GT(doc.PeakFractionL[2], 1.0);
    ASSERT_EQ(s.Warnings.size(), 1u);
    EXPECT_EQ(s.Warnings[0], "Fraction L of peak 2 is " +
                                 core::FormatFixed(doc.PeakFractionL[2], 15, 3) + ", outside 0..1");

    // The rule itself, at both limits and past them.
    Document table = test::MakeDocument(10);
    for (double f : {0.0, 1.0, -0.0004, 1.0006, 1.163, 1.000004}) {
        test::AddPeak(table, 5, 0.5, 2.0);
        table.PeakFractionL[table.PeakCount] = f;
    }
    table.PeakFractionL[7] = std::nan("");
    table.PeakCount = 7;
    EXPECT_EQ(FractionWarnings(table),
              (std::vector<std::string>{"Fraction L of peak 3 is -0.0004, outside 0..1",
                                        "Fraction L of peak 4 is 1.001, outside 0..1",
                                        "Fraction L of peak 5 is 1.163, outside 0..1",
                                        "Fraction L of peak 6 is 1.000004, outside 0..1",
                                        "Fraction L of peak 7 is NAN, outside 0..1"}));
}

TEST(GaussNewton, RecoversGaussLorentzWidthsAreasAndFractions) {
    // One kind at a time, as the dialog allows, each from a perturbed start.
    Document data = test::MakeDocument(2000);
    const double wg[] = {6.0, 9.0}, wl[] = {8.0, 5.0}, f[] = {0.3, 0.7}, h[] = {0.6, 0.4};
    const int pos[] = {700, 1300};
    for (int k = 1; k <= 2; ++k) {
        test::AddPeak(data, pos[k - 1], h[k - 1], wg[k - 1]);
        data.PeakHalfWidthL[k] = wl[k - 1];
        data.PeakFractionL[k] = f[k - 1];
    }
    SynthesiseModel(data, LineType::kGaussLorentz);
    std::mt19937 rng(21);
    std::normal_distribution<double> noise(0.0, 0.002);
    for (int i = 0; i < 2000; ++i)
        data.ObsY[static_cast<std::size_t>(i)] =
            data.SumY[static_cast<std::size_t>(i)] + noise(rng);
    const Document truth = data;

    Document width = data;
    width.PeakHalfWidthL[1] = 10.0;
    width.PeakHalfWidthL[2] = 3.5;
    Recorder r1;
    EXPECT_TRUE(Fit(width, Opts(LineType::kGaussLorentz, "010"), r1).ResultsWritten());
    Document area = data;
    area.PeakHeight[1] = 0.8;
    area.PeakHeight[2] = 0.3;
    SynthesiseModel(area, LineType::kGaussLorentz);
    Recorder r2;
    EXPECT_TRUE(Fit(area, Opts(LineType::kGaussLorentz, "001"), r2).ResultsWritten());
    Document fraction = data;
    fraction.PeakFractionL[1] = 0.5;
    fraction.PeakFractionL[2] = 0.5;
    GaussNewtonOptions fo = Opts(LineType::kGaussLorentz, "000");
    fo.FractionL = true;
    Recorder r3;
    EXPECT_TRUE(Fit(fraction, fo, r3).ResultsWritten());
    for (int k = 1; k <= 2; ++k) {
        SCOPED_TRACE(k);
        EXPECT_NEAR(width.PeakHalfWidthL[k], wl[k - 1], 5 * width.PeakHalfWidthLErr[k]);
        EXPECT_NEAR(width.PeakHalfWidthL[k], wl[k - 1], 0.02 * wl[k - 1]);
        EXPECT_NEAR(area.PeakAreaGL[k], truth.PeakAreaGL[k], 0.02 * truth.PeakAreaGL[k]);
        EXPECT_NEAR(area.PeakHeight[k], h[k - 1], 5 * area.PeakHeightErr[k]);
        EXPECT_NEAR(fraction.PeakFractionL[k], f[k - 1], 5 * fraction.PeakFractionLErr[k]);
        EXPECT_NEAR(fraction.PeakFractionL[k], f[k - 1], 0.03);
    }
}

TEST(GaussNewton, ANarrowedViewFitsTheDisplayedPoints) {
    // A strong peak at 500 lies outside the view 1800..2499, whose two peaks are fitted.
    Document doc = Synthetic(3000, {{500, 2.0, 10.0}, {2000, 0.6, 9.0}, {2300, 0.4, 12.0}},
                             LineType::kLorentz, 0.002, 0.0f, 13);
    doc.ViewFirstPoint = 1800;
    doc.ViewPointCount = 700;
    doc.PeakCount = 0;
    test::AddPeak(doc, 2003, 0.5, 7.0);
    test::AddPeak(doc, 2298, 0.5, 14.0);
    FitRunState state;
    state.CopyObserved(doc);
    ASSERT_EQ(state.FitObsY.size(), 700u);
    EXPECT_EQ(state.FitObsY[0], doc.ObsY[1799]);
    EXPECT_EQ(state.FitObsY[699], doc.ObsY[2498]);
    Recorder rec;
    const GaussNewtonSummary s = RunGaussNewton(doc, Opts(LineType::kLorentz, "111"), state, rec);
    ASSERT_TRUE(s.ResultsWritten());
    // The tail of the peak at 500 reaches into the view slightly, so 5 % rather than 2 %.
    EXPECT_EQ(doc.PeakPos[1], 2000);
    EXPECT_EQ(doc.PeakPos[2], 2300);
    EXPECT_NEAR(doc.PeakHeight[1], 0.6, 0.05 * 0.6);
    EXPECT_NEAR(doc.PeakHalfWidth[2], 12.0, 0.05 * 12.0);
}

TEST(GaussNewton, OptionsComeFromTheOptionsDialogDocumentAndWidthBoxes) {
    core::Options opts;
    Document doc = test::MakeDocument(10);
    doc.FitSelect = "010";
    opts.LGselect = 2;
    opts.AutoOK = false;
    opts.Manu1 = true;
    opts.DampVal = 4;
    opts.ConvVal = 8;
    opts.Set_Ite = 1;
    opts.Manu_ITE = "250";
    GaussNewtonOptions o = MakeGaussNewtonOptions(opts, doc, false, true);
    EXPECT_EQ(o.FitSelect, "010");
    EXPECT_EQ(o.Line, LineType::kGaussLorentz);
    EXPECT_FALSE(o.WidthIsLorentzian);
    EXPECT_EQ(o.Mode, FitMode::kSemiAuto);
    EXPECT_EQ(o.DampItem, 4);
    EXPECT_EQ(o.ConvItem, 8);
    EXPECT_TRUE(o.ManualIterations);
    EXPECT_EQ(o.IterationCount, 250);
    EXPECT_TRUE(MakeGaussNewtonOptions(opts, doc, true, false).WidthIsLorentzian);

    for (const auto& [text, count] :
         {std::pair{"1", 1}, {"65535", 65535}, {"65536", 0}, {"0", 0}, {"x", 0}}) {
        opts.Manu_ITE = text;
        if (count == 0) {
            EXPECT_THROW(MakeGaussNewtonOptions(opts, doc, true, false), Error) << text;
        } else {
            EXPECT_EQ(MakeGaussNewtonOptions(opts, doc, true, false).IterationCount, count);
        }
    }
    opts.Set_Ite = 0;  // the count is not read without "Manual Set"
    EXPECT_NO_THROW(MakeGaussNewtonOptions(opts, doc, true, false));
    opts.DampVal = 6;
    EXPECT_THROW(MakeGaussNewtonOptions(opts, doc, true, false), Error);
}

}  // namespace
}  // namespace kalvex::fit
