// Layout codes, analytic derivatives against finite differences, evaluation and step limits.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

#include "fit/FitModel.h"
#include "fit/LineShapes.h"
#include "support/DocumentBuilder.h"

namespace kalvex::fit {
namespace {

using core::Extended;
using core::LineType;

const Extended kLn2 = std::log(2.0L);
const Extended kPi = 3.14159265358979324L;

FitLayoutChoice Choice(const char* select, LineType line, bool fraction = false,
                       bool width_l = true) {
    FitLayoutChoice c;
    c.FitSelect = select;
    c.Line = line;
    c.FractionL = fraction;
    c.WidthIsLorentzian = width_l;
    return c;
}

TEST(FitModel, LayoutCodesFollowTheSelection) {
    const LineType g = LineType::kGauss;
    const LineType gl = LineType::kGaussLorentz;
    EXPECT_EQ(LayoutCodeOf(Choice("111", g)), 'A');
    EXPECT_EQ(LayoutCodeOf(Choice("011", g)), 'B');
    EXPECT_EQ(LayoutCodeOf(Choice("101", g)), 'C');
    EXPECT_EQ(LayoutCodeOf(Choice("110", g)), 'D');
    EXPECT_EQ(LayoutCodeOf(Choice("100", g)), 'E');
    EXPECT_EQ(LayoutCodeOf(Choice("010", gl)), 'F');
    EXPECT_EQ(LayoutCodeOf(Choice("001", gl)), 'G');
    EXPECT_EQ(LayoutCodeOf(Choice("000", gl, true)), 'G');

    std::string why;
    EXPECT_EQ(LayoutCodeOf(Choice("000", g), &why), '\0');
    EXPECT_EQ(why, "No parameter kind is selected for the fit");
    EXPECT_EQ(LayoutCodeOf(Choice("100", gl, true), &why), '\0');
    EXPECT_EQ(LayoutCodeOf(Choice("000", LineType::kLorentz, true), &why), '\0');
    EXPECT_EQ(why, "The Lorentzian fraction is fitted only in Gauss+Lorentz mode");
    EXPECT_EQ(LayoutCodeOf(Choice("110", gl), &why), '\0');
    EXPECT_EQ(LayoutCodeOf(Choice("1x1", g), &why), '\0');
}

TEST(FitModel, VectorHoldsTheSelectedKindsInPeakOrder) {
    core::Document doc = test::MakeDocument(100);
    test::AddPeak(doc, 20, 0.5, 3.0);
    test::AddPeak(doc, 70, 0.25, 4.0);
    FitModel c(doc, Choice("101", LineType::kGauss), doc.ObsY.data(), 100);
    ASSERT_EQ(c.ParameterCount(), 4);
    EXPECT_EQ(c.Params()[1], 20.0L);
    EXPECT_EQ(c.Params()[2], 0.5L);
    EXPECT_EQ(c.Params()[3], 70.0L);
    EXPECT_EQ(c.Params()[4], 0.25L);
    EXPECT_EQ(c.KindOf(3), ParamKind::kPosition);
    EXPECT_EQ(c.PeakOf(4), 2);

    doc.PeakHalfWidthG[2] = 6.0;
    doc.PeakHalfWidthL[2] = 9.0;
    FitModel fg(doc, Choice("010", LineType::kGaussLorentz, false, false), doc.ObsY.data(), 100);
    EXPECT_EQ(fg.KindOf(1), ParamKind::kWidthG);
    EXPECT_EQ(fg.Params()[2], 6.0L);
    FitModel fl(doc, Choice("010", LineType::kGaussLorentz, false, true), doc.ObsY.data(), 100);
    EXPECT_EQ(fl.Params()[2], 9.0L);
}

// The unrescaled curve of one peak, written out from the line-shape formulas.
struct PeakFormula {
    LineType line;
    Extended c, w, h;          // Gauss, Lorentz
    Extended wg, wl, f, area;  // Gauss+Lorentz
    bool height_kept = false;  // area follows the height: A = h / D

    Extended operator()(Extended x) const {
        const Extended d = x - c;
        if (line == LineType::kGauss) return h * std::exp(-kLn2 * (d / w) * (d / w));
        if (line == LineType::kLorentz) return h / (1.0L + (d / w) * (d / w));
        const Extended gg = wg * std::sqrt(kPi / kLn2);
        const Extended gl = kPi * wl;
        const Extended s =
            (1 - f) * std::exp(-kLn2 * (d / wg) * (d / wg)) / gg + f * wl / kPi / (wl * wl + d * d);
        const Extended a = height_kept ? h / ((1 - f) / gg + f / gl) : area;
        return a * s;
    }
};

// Compares every column of the analytic Jacobian with central differences of the formula.
void ExpectDerivativesMatch(core::Document& doc, const FitLayoutChoice& choice,
                            const std::function<PeakFormula(const FitModel&, int)>& formula,
                            const std::function<Extended&(PeakFormula&, ParamKind)>& param) {
    const std::int32_t n = 120;
    FitModel model(doc, choice, doc.ObsY.data(), n);
    model.EvaluateFit();  // derived Gauss+Lorentz values as a run has them
    const int p = model.ParameterCount();
    std::vector<Extended> jac(static_cast<std::size_t>(p) * n);
    model.BuildJacobianBlock(1, n, 1, doc.PeakCount, jac.data(), n);
    for (int e = 1; e <= p; ++e) {
        const PeakFormula base = formula(model, model.PeakOf(e));
        Extended scale = 0;
        for (int x = 1; x <= n; ++x) {
            scale = std::fmax(scale, std::fabs(jac[static_cast<std::size_t>((e - 1) * n + x - 1)]));
        }
        ASSERT_GT(scale, 0.0L) << e;
        for (int x = 1; x <= n; ++x) {
            PeakFormula up = base, down = base;
            Extended& vu = param(up, model.KindOf(e));
            Extended& vd = param(down, model.KindOf(e));
            const Extended step = 1e-6L * std::fmax(1.0L, std::fabs(vu));
            vu += step;
            vd -= step;
            const Extended numeric = (up(x) - down(x)) / (2 * step);
            const Extended analytic = jac[static_cast<std::size_t>((e - 1) * n + x - 1)];
            ASSERT_NEAR(static_cast<double>(analytic), static_cast<double>(numeric),
                        static_cast<double>(scale) * 1e-8)
                << "entry " << e << " point " << x;
        }
    }
}

Extended& GaussLorentzParam(PeakFormula& f, ParamKind kind) {
    switch (kind) {
        case ParamKind::kPosition:
            return f.c;
        case ParamKind::kWidth:
            return f.w;
        case ParamKind::kHeight:
            return f.h;
        case ParamKind::kWidthL:
            return f.wl;
        case ParamKind::kWidthG:
            return f.wg;
        case ParamKind::kArea:
            return f.area;
        case ParamKind::kFraction:
            break;
    }
    return f.f;
}

TEST(FitModel, GaussAndLorentzDerivativesMatchFiniteDifferences) {
    for (LineType line : {LineType::kGauss, LineType::kLorentz}) {
        core::Document doc = test::MakeDocument(120);
        test::AddPeak(doc, 40, 0.8, 6.5);
        test::AddPeak(doc, 85, -0.3, 11.0);
        ExpectDerivativesMatch(
            doc, Choice("111", line),
            [&](const FitModel& m, int k) {
                const int e = (k - 1) * 3 + 1;
                return PeakFormula{
                    line, m.Params()[e], m.Params()[e + 1], m.Params()[e + 2], 0, 0, 0, 0};
            },
            GaussLorentzParam);
    }
}

TEST(FitModel, GaussLorentzDerivativesMatchFiniteDifferences) {
    struct Case {
        const char* select;
        bool fraction;
        bool width_l;
    };
    for (const Case& cs :
         {Case{"100", false, true}, Case{"010", false, true}, Case{"010", false, false},
          Case{"001", false, true}, Case{"000", true, true}}) {
        core::Document doc = test::MakeDocument(120);
        test::AddPeak(doc, 50, 0.7, 5.0);
        doc.PeakHalfWidthG[1] = 5.0;
        doc.PeakHalfWidthL[1] = 8.0;
        doc.PeakFractionL[1] = 0.35;
        SynthesiseModel(doc, LineType::kGaussLorentz);  // PeakAreaGL from the height
        const FitLayoutChoice choice =
            Choice(cs.select, LineType::kGaussLorentz, cs.fraction, cs.width_l);
        ExpectDerivativesMatch(
            doc, choice,
            [&](const FitModel& m, int k) {
                PeakFormula f{LineType::kGaussLorentz,
                              static_cast<Extended>(doc.PeakPos[k]),
                              0,
                              doc.PeakHeight[k],
                              doc.PeakHalfWidthG[k],
                              doc.PeakHalfWidthL[k],
                              doc.PeakFractionL[k],
                              doc.PeakAreaGL[k]};
                const Extended v = m.Params()[k];
                switch (m.KindOf(k)) {
                    case ParamKind::kPosition:
                        f.c = v;
                        break;
                    case ParamKind::kWidthL:
                        f.wl = v;
                        f.height_kept = true;
                        break;
                    case ParamKind::kWidthG:
                        f.wg = v;
                        f.height_kept = true;
                        break;
                    case ParamKind::kArea:
                        f.area = v;
                        break;
                    default:
                        f.f = v;
                        f.height_kept = true;
                        break;
                }
                return f;
            },
            GaussLorentzParam);
    }
}

TEST(FitModel, EvaluationIsTheResidualSumOfTheGeneratedCurves) {
    core::Document doc =
        test::MakeDocument(300, 10.0, 0.01, 400.0, [](int p) { return 0.2 + 0.0005 * (p % 11); });
    test::AddPeak(doc, 100, 0.5, 7.0);
    test::AddPeak(doc, 210, 0.4, 12.0);
    doc.Bias = 0.125f;
    FitModel model(doc, Choice("111", LineType::kLorentz), doc.ObsY.data(), 250);
    const double z = model.EvaluateFit();
    std::vector<double> c1(250), c2(250);
    FillPeakCurve(c1.data(), 100, 250, 7.0, 0.5, true);
    FillPeakCurve(c2.data(), 210, 250, 12.0, 0.4, true);
    long double expected = 0;
    for (int i = 0; i < 250; ++i) {
        // The model sum is a double array: the sum of the curves is rounded to double before
        // the residual is formed in extended precision.
        const double sum = c1[static_cast<std::size_t>(i)] + c2[static_cast<std::size_t>(i)];
        const long double r =
            static_cast<long double>(doc.ObsY[static_cast<std::size_t>(i)]) - sum - 0.125L;
        ASSERT_EQ(model.Residuals()[static_cast<std::size_t>(i)], r) << i;
        expected += r * r;
    }
    EXPECT_NEAR(z, static_cast<double>(expected), 1e-15 * z);
}

TEST(FitModel, ThreadedEvaluationIsBitIdentical) {
    // Large enough for the threaded path: every curve apart, then the sums in peak order.
    for (LineType line : {LineType::kLorentz, LineType::kGaussLorentz}) {
        core::Document doc =
            test::MakeDocument(20000, 10.0, 0.01, 400.0, [](int p) { return 0.001 * (p % 23); });
        for (int k = 1; k <= 12; ++k) {
            test::AddPeak(doc, 1500 * k, 0.1 * k, 5.0 + k);
            doc.PeakFractionL[k] = 0.05 * k;
        }
        SynthesiseModel(doc, line);
        const char* select = line == LineType::kGaussLorentz ? "001" : "111";
        std::vector<std::vector<Extended>> residuals;
        std::vector<double> sums;
        std::vector<core::PeakArray<double>> heights;
        for (int threads : {1, 2, 3}) {
            core::Document d = doc;
            FitModel model(d, Choice(select, line), d.ObsY.data(), 20000);
            model.Params()[2] *= 1.1L;  // not the table's values
            model.SetThreads(threads);
            sums.push_back(model.EvaluateFit());
            residuals.push_back(model.Residuals());
            heights.push_back(d.PeakHeight);
        }
        for (std::size_t t = 1; t < sums.size(); ++t) {
            EXPECT_EQ(sums[t], sums[0]);
            for (std::size_t i = 0; i < residuals[0].size(); ++i) {
                // The 10 bytes of the 80-bit value; the padding of its 16-byte slot is not data.
                ASSERT_EQ(std::memcmp(&residuals[t][i], &residuals[0][i], 10), 0) << i;
            }
            EXPECT_EQ(heights[t], heights[0]);
        }
    }
}

TEST(FitModel, EvaluationsOnARunsPoolMatchTheSingleThreadEvaluation) {
    // A run's pool serves evaluation after evaluation of a model just above the size from
    // which it is split: the sums and residuals stay those of one thread, step after step.
    for (LineType line : {LineType::kLorentz, LineType::kGaussLorentz}) {
        core::Document doc =
            test::MakeDocument(4096, 10.0, 0.01, 400.0, [](int p) { return 0.002 * (p % 31); });
        for (int k = 1; k <= 5; ++k) {
            test::AddPeak(doc, 700 * k, 0.15 * k, 4.0 + 3 * k);
            doc.PeakFractionL[k] = 0.15 * k;
        }
        SynthesiseModel(doc, line);
        const char* select = line == LineType::kGaussLorentz ? "010" : "111";
        core::Document alone_doc = doc;
        core::Document pooled_doc = doc;
        FitModel alone(alone_doc, Choice(select, line), alone_doc.ObsY.data(), 4096);
        FitModel pooled(pooled_doc, Choice(select, line), pooled_doc.ObsY.data(), 4096);
        WorkerPool pool(3);
        pooled.SetThreads(3);
        pooled.SetPool(&pool);
        for (int step = 0; step < 4; ++step) {
            SCOPED_TRACE(step);
            for (FitModel* m : {&alone, &pooled}) m->Params()[2] *= 1.0L + 0.05L * step;
            ASSERT_EQ(pooled.EvaluateFit(), alone.EvaluateFit());
            for (std::size_t i = 0; i < 4096; ++i) {
                ASSERT_EQ(std::memcmp(&pooled.Residuals()[i], &alone.Residuals()[i], 10), 0) << i;
            }
            ASSERT_EQ(pooled_doc.PeakAreaGL, alone_doc.PeakAreaGL);
        }
    }
}

TEST(FitModel, GaussLorentzEvaluationKeepsTheDerivedValueInTheTable) {
    core::Document doc = test::MakeDocument(200);
    test::AddPeak(doc, 100, 0.6, 5.0);
    doc.PeakHalfWidthL[1] = 7.0;
    doc.PeakFractionL[1] = 0.4;
    SynthesiseModel(doc, LineType::kGaussLorentz);
    FitModel area(doc, Choice("001", LineType::kGaussLorentz), doc.ObsY.data(), 200);
    area.Params()[1] = 10.0L;  // the vector holds the area: the height follows D * A
    area.EvaluateFit();
    EXPECT_DOUBLE_EQ(doc.PeakHeight[1], 10.0 * CentreDensityGL(5.0, 7.0, 0.4));

    FitModel width(doc, Choice("010", LineType::kGaussLorentz), doc.ObsY.data(), 200);
    const double height = doc.PeakHeight[1];
    width.Params()[1] = 9.0L;  // wL: the height stays, the area follows
    width.EvaluateFit();
    EXPECT_EQ(doc.PeakHeight[1], height);
    EXPECT_DOUBLE_EQ(doc.PeakAreaGL[1], height / CentreDensityGL(5.0, 9.0, 0.4));
}

TEST(FitModel, StepsRoundAndHoldPositionsAndMoveEveryOtherKindFreely) {
    core::Document doc = test::MakeDocument(500);
    test::AddPeak(doc, 10, 0.5, 3.0);
    test::AddPeak(doc, 490, 0.5, 3.0);
    FitModel model(doc, Choice("111", LineType::kLorentz), doc.ObsY.data(), 500);
    Vector90 delta;
    delta[1] = 2.5;    // 10 -> 12.5 -> 13 (halves away from zero)
    delta[2] = -10.0;  // width 3 -> -7: through zero, the same curve
    delta[3] = -2.0;   // heights may go negative
    delta[4] = 400.0;  // 490 -> 890: held at the last point
    delta[5] = 0.25;
    model.ApplyStep(delta, 1.0);
    EXPECT_EQ(model.Params()[1], 13.0L);
    EXPECT_EQ(model.Params()[2], -7.0L);
    EXPECT_EQ(model.Params()[3], -1.5L);
    EXPECT_EQ(model.Params()[4], 500.0L);
    EXPECT_EQ(model.Params()[5], 3.25L);
    delta = Vector90{};
    delta[1] = -30.0;
    model.ApplyStep(delta, 1.0);
    EXPECT_EQ(model.Params()[1], 1.0L);
    delta[1] = -0.5;  // -0.5 rounds away from zero: 1 - 0.5 = 0.5 -> 1
    model.ApplyStep(delta, 1.0);
    EXPECT_EQ(model.Params()[1], 1.0L);
    // The table gets the width's magnitude, whatever its sign in the vector.
    Vector90 sigma;
    sigma[2] = 0.25L;
    model.WriteBack(sigma);
    EXPECT_EQ(doc.PeakHalfWidth[1], 7.0);
    EXPECT_EQ(doc.PeakHalfWidthErr[1], 0.25);

    core::Document gl = test::MakeDocument(100);
    test::AddPeak(gl, 50, 0.5, 3.0);
    FitModel fraction(gl, Choice("000", LineType::kGaussLorentz, true), gl.ObsY.data(), 100);
    delta = Vector90{};
    delta[1] = 0.75;  // fractions move freely: 0.5 -> 1.25 -> -3.75
    fraction.ApplyStep(delta, 1.0);
    EXPECT_EQ(fraction.Params()[1], 1.25L);
    delta[1] = -5.0;
    fraction.ApplyStep(delta, 1.0);
    EXPECT_EQ(fraction.Params()[1], -3.75L);
}

TEST(FitModel, APeakStartingOutsideTheSpectrumMayStayButNotGoFarther) {
    core::Document doc = test::MakeDocument(100);
    test::AddPeak(doc, 0, 0.5, 3.0);
    FitModel model(doc, Choice("100", LineType::kLorentz), doc.ObsY.data(), 100);
    Vector90 delta;
    delta[1] = -3.0;
    model.ApplyStep(delta, 1.0);
    EXPECT_EQ(model.Params()[1], 0.0L);
    delta[1] = 40.0;
    model.ApplyStep(delta, 1.0);
    EXPECT_EQ(model.Params()[1], 40.0L);
}

TEST(FitModel, WriteBackOfAGaussLorentzAreaFitWritesHeightAndItsError) {
    core::Document doc = test::MakeDocument(200);
    test::AddPeak(doc, 100, 0.6, 5.0);
    doc.PeakHalfWidthL[1] = 7.0;
    doc.PeakFractionL[1] = 0.4;
    FitModel model(doc, Choice("001", LineType::kGaussLorentz), doc.ObsY.data(), 200);
    model.Params()[1] = 12.0L;
    Vector90 sigma;
    sigma[1] = 0.5L;
    model.WriteBack(sigma);
    const double d = CentreDensityGL(5.0, 7.0, 0.4);
    EXPECT_DOUBLE_EQ(doc.PeakHeight[1], d * 12.0);
    EXPECT_DOUBLE_EQ(doc.PeakHeightErr[1], d * 0.5);
    EXPECT_EQ(doc.PeakAreaGL[1], 12.0);
}

}  // namespace
}  // namespace kalvex::fit
