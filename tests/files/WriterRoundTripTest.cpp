// Every writer's output reads back to the same document: random documents of every size, both
// .spc layouts, negative values and the extremes of the 23-character reals.
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <random>

#include "core/NumberReader.h"
#include "files/OpenCommand.h"
#include "files/PeakLines.h"
#include "files/SpcFile.h"
#include "files/XyText.h"
#include "support/DocumentBuilder.h"
#include "support/TempDir.h"

namespace kalvex::files {
namespace {

using core::Document;

// Values that stress the format: both ends of the doubles (the largest is written rounded
// down), negative zero, three- and four-digit exponents.
const double kExtremes[] = {0.0,
                            -0.0,
                            DBL_MAX,
                            -DBL_MAX,
                            DBL_MIN,
                            -DBL_MIN,
                            4.9e-324,
                            1e-300,
                            -1e300,
                            1e100,
                            9.99999999999999e-100,
                            -1.0,
                            0.5,
                            123456789012345.0};

class RandomDocuments {
public:
    explicit RandomDocuments(unsigned seed) : rng_(seed) {}

    // A number of magnitude 10^lo..10^hi with a random sign, now and then an extreme within
    // that range.
    double Number(double lo, double hi) {
        if (Chance(0.1)) {
            const double e = kExtremes[Uniform(0, std::size(kExtremes) - 1)];
            if (e == 0.0 ||
                (std::fabs(e) >= std::pow(10.0, lo) && std::fabs(e) <= std::pow(10.0, hi)))
                return e;
        }
        const double magnitude =
            std::pow(10.0, std::uniform_real_distribution<double>(lo, hi)(rng_));
        return Chance(0.5) ? -magnitude : magnitude;
    }
    // Any double a file may hold, the largest ones included.
    double Any() {
        return Chance(0.1) ? kExtremes[Uniform(0, std::size(kExtremes) - 1)] : Number(-300, 300);
    }

    Document Make() {
        const std::int32_t n = Chance(0.05)   ? core::kMaxPoints
                               : Chance(0.05) ? 1
                                              : static_cast<std::int32_t>(Uniform(2, 1500));
        Document doc = test::MakeDocument(n);
        doc.F_Type = Chance(0.5) ? 0 : 1;
        // The axis stays finite to its last point, and Hz = ppm * a frequency.
        const double freq = std::pow(10.0, std::uniform_real_distribution<double>(-2, 4)(rng_));
        doc.XFirstPpm = Number(-300, 290);
        doc.XStepPpm = Number(-300, 290 - std::log10(n));
        doc.XFirstHz = doc.XFirstPpm * freq;
        doc.XStepHz = doc.XStepPpm * freq;
        doc.SpcExtra = Any();
        // Stored values fit a single, the bias's type; absolute values stay finite.
        const double top =
            Chance(0.5) ? 1.0 : std::uniform_real_distribution<double>(-300, 38)(rng_);
        for (std::int32_t i = 0; i < n; ++i) {
            doc.ObsY[static_cast<std::size_t>(i)] = Chance(0.02) ? 0.0 : Number(top - 20, top);
        }
        doc.YScale = Chance(0.05) ? 0.0 : Number(-300, 300 - std::max(top, 0.0) - 1);
        doc.PeakCount = static_cast<std::uint8_t>(Chance(0.2) ? 0 : Uniform(1, core::kMaxPeaks));
        for (int k = 1; k <= doc.PeakCount; ++k) {
            doc.PeakPos[k] = static_cast<std::uint16_t>(Uniform(1, static_cast<std::size_t>(n)));
            doc.PeakHeight[k] = Any();
            doc.PeakHalfWidth[k] = Any();
            doc.PeakPosErr[k] = Any();
            doc.PeakHeightErr[k] = Any();
            doc.PeakHalfWidthErr[k] = Any();
        }
        doc.Bias = static_cast<float>(Chance(0.2) ? 0.0 : Number(-37, 38));
        doc.PeakKindLorentz = Chance(0.5);
        return doc;
    }

private:
    bool Chance(double p) { return std::bernoulli_distribution(p)(rng_); }
    std::size_t Uniform(std::size_t lo, std::size_t hi) {
        return std::uniform_int_distribution<std::size_t>(lo, hi)(rng_);
    }
    std::mt19937_64 rng_;
};

// Equal but for the rounding to 15 significant digits.
void ExpectClose(double back, double written, const std::string& what) {
    EXPECT_LE(std::fabs(back - written), 1e-14 * std::fabs(written)) << what;
}

Document Load(const std::string& path) {
    core::Options opts;
    opts.magnify_enable = false;
    return LoadSpectrum(path, Document{}, opts, nullptr);
}

void ExpectSpcReadsBack(const Document& doc, const std::string& path) {
    const std::string text = SpcFileText(doc);
    SaveSpectrum(path, doc);
    const Document back = Load(path);
    ASSERT_EQ(back.PointCount, doc.PointCount);
    // One value on its line is the "col" layout also when it was written as "seq".
    if (doc.PointCount > 1) {
        EXPECT_EQ(back.F_Type, doc.F_Type);
    }
    for (std::int32_t i = 0; i < doc.PointCount; ++i) {
        const auto e = static_cast<std::size_t>(i);
        ExpectClose(back.ObsY[e], doc.ObsY[e], "point " + std::to_string(i + 1));
    }
    ExpectClose(back.XFirstPpm, doc.XFirstPpm, "XFirstPpm");
    ExpectClose(back.XStepHz, doc.XStepHz, "XStepHz");
    ExpectClose(back.YScale, doc.YScale, "YScale");
    ExpectClose(back.SpcExtra, doc.SpcExtra, "SpcExtra");
    EXPECT_EQ(back.PeakCount, doc.PeakCount);
    // Saved again, the file is the same byte for byte.
    EXPECT_EQ(SpcFileText(back), text);
}

void ExpectPeaksReadBack(const Document& doc) {
    if (doc.PeakCount == 0) return;
    const std::string text = PeakFileText(doc);
    Document back;
    core::NumberReader in(text, "t.sp2");
    ReadPeakLines(in, back);
    ASSERT_EQ(back.PeakCount, doc.PeakCount);
    EXPECT_EQ(back.Bias, doc.Bias);
    EXPECT_EQ(back.BiasFromFile, true);
    EXPECT_EQ(back.PeakKindLorentz, doc.PeakKindLorentz);
    for (int k = 1; k <= doc.PeakCount; ++k) {
        EXPECT_EQ(back.PeakPos[k], doc.PeakPos[k]);
        ExpectClose(back.PeakHeight[k], doc.PeakHeight[k], "height");
        ExpectClose(back.PeakHalfWidth[k], doc.PeakHalfWidth[k], "width");
        ExpectClose(back.PeakPosErr[k], doc.PeakPosErr[k], "position error");
        ExpectClose(back.PeakHeightErr[k], doc.PeakHeightErr[k], "height error");
        ExpectClose(back.PeakHalfWidthErr[k], doc.PeakHalfWidthErr[k], "width error");
    }
    EXPECT_EQ(PeakFileText(back), text);
}

// A .dat file holds absolute intensities; reading it normalises them again to 0..1 with
// YScale the range and drops their minimum.
void ExpectDatReadsBack(const Document& doc, const std::string& path) {
    const std::int32_t n = doc.PointCount;
    std::vector<double> x(static_cast<std::size_t>(n));
    std::vector<double> y(static_cast<std::size_t>(n));
    core::NumberReader in(XyTextFileText(doc), path);
    for (std::size_t e = 0; e < x.size(); ++e) {
        x[e] = in.ReadReal();
        y[e] = in.ReadReal();
    }
    const auto [lowest, highest] = std::minmax_element(y.begin(), y.end());
    const double lo = *lowest;
    const double range = *highest - lo;
    if (n < 2 || !(range > 0.0) || !std::isfinite(range)) return;  // the import's own limits
    WriteXyTextFile(path, doc);
    const Document back = Load(path);
    ASSERT_EQ(back.PointCount, n);
    EXPECT_EQ(back.YScale, range);
    // X rising through the file: point 1 is its last line.
    const bool rising = x[1] > x[0];
    EXPECT_EQ(back.XFirstPpm, rising ? x.back() : x[0]);
    if (rising) std::reverse(y.begin(), y.end());
    for (std::size_t e = 0; e < y.size(); ++e) {
        EXPECT_LE(std::fabs(back.ObsY[e] * back.YScale - (y[e] - lo)), 1e-15 * range)
            << "point " << e + 1;
    }
}

TEST(WriterRoundTrip, EveryWritersOutputReadsBackToTheSameDocument) {
    test::TempDir dir;
    RandomDocuments docs(20240611);
    for (int run = 0; run < 40; ++run) {
        const Document doc = docs.Make();
        SCOPED_TRACE("document " + std::to_string(run) + ", " + std::to_string(doc.PointCount) +
                     " points");
        ExpectSpcReadsBack(doc, dir.File("r.spc"));
        ExpectPeaksReadBack(doc);
        ExpectDatReadsBack(doc, dir.File("r.dat"));
        if (HasFatalFailure()) return;
    }
}

}  // namespace
}  // namespace kalvex::files
