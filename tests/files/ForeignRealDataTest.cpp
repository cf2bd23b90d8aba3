// The readers on real spectra: every file of the shared data opens as an independent reading says.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/Error.h"
#include "files/OpenCommand.h"
#include "files/VnmrBinary.h"
#include "support/SharedData.h"
#include "support/TempDir.h"

namespace kalvex::files {
namespace {

using core::Document;

// What an independent reader written from the same rules finds in each file (the table of the
// shared data's derived/README.md): point count, spectra (0: not arrayed), X of point 1 and
// step in ppm, observe frequency, YScale, and the ppm and number of the first point at 1.
struct RealFile {
    const char* Path;  // under derived/
    bool X86;
    int Points;
    int Spectra;
    double FirstPpm;
    double StepPpm;
    double ObsFreq;
    double YScale;
    double LargestPpm;
    int LargestPoint;
};

const RealFile kRealFiles[] = {
    {"varian/nmrpy-varian-array.vnj", false, 16384, 24, 29.99901343, 0.00366224479, 161.8947806,
     311913.955, 0.56555, 8038},
    {"varian/ssnake-satrec-array.vnj", false, 16384, 12, 621.20117055, 0.0597839477, 196.3444528,
     268361.891, -39.77016, 11057},
    {"varian/nmrpy-varian-single.vnj", false, 16384, 0, 19.99914785, 0.00305181853, 242.8758083,
     27934266.4, 2.75637, 5651},
    {"varian/pnnl-toluene-varian.vnj", false, 32768, 0, 14.00899967, 0.0004888509, 500.2329727,
     1.66889374e+09, 2.51318, 23517},
    {"varian/pnnl-toluene-varian-le.vnj", true, 32768, 0, 14.00899967, 0.0004888509, 500.2329727,
     1.66889374e+09, 2.51318, 23517},
    {"vdt/pnnl-toluene-varian.vdt", false, 32768, 0, 14.00899967, 0.0004888509, 1.0000000,
     1.66889374e+09, 2.51318, 23517},
    {"vdt/nmrpy-varian-single.vdt", false, 16384, 0, 19.99914785, 0.00305181853, 1.0000000,
     27934266.4, 2.75637, 5651},
    // X rises in both X-Y files: point 1 is the last line, and the largest point keeps the X
    // of its own line (1272 and 20777).
    {"xy/nmrdatafiles-ascii-xy-1D_TAB_XR.dat", false, 2048, 0, 24975.5859375, 24.4140625, 1.0000000,
     74.8890008, 6030.2734375, 777},
    {"xy/nmrrr-xy-mestrenova-29.dat", false, 65536, 0, 16.1772, 0.000305565575646601, 1.0000000,
     100, 2.50039, 44760},
    {"bruker/cheminfo-bruker-1H-500.1rd", false, 32768, 0, 16.49938000, 0.000630144424, 500.3200000,
     14080742.1, 1.05517, 24510},
    {"bruker/dnplab-topspin-lowfield-pdata1.1rd", false, 16384, 0, 2534.75400000, 0.309437106,
     14.8314133, 8238.13368, 3.86791, 8180},
    {"bruker/dnplab-topspin-lowfield-pdata999.1rd", false, 16384, 0, 2534.75400000, 0.309437106,
     14.8314133, 13397.9571, 1644.81288, 2877},
    {"bruker/jtutils-29Si-cpmg-pdata1.1rd", false, 16384, 0, 219.09390000, 0.0383930353, 79.4921282,
     6526.49987, -118.95678, 8806},
    {"bruker/nmrdatafiles-ethanol-1H-400.1rd", false, 32768, 0, 16.47148000, 0.000631386439,
     400.1300193, 4882879.74, 1.20961, 24173},
    {"bruker/nmrpy-bruker2-series-1.1rd", false, 32768, 0, 200.54700000, 0.00612847317, 150.9027277,
     288248450, 76.62314, 20222},
    {"bruker/nmrpy-bruker2-series-2.1rd", false, 65536, 0, 31.47019000, 0.000918284384, 242.9368497,
     65553303.1, 2.77656, 31248},
    {"bruker/nmrpy-bruker2-series-3.1rd", false, 16384, 0, 9.68501600, 0.000611234554, 600.1300165,
     36888106, 1.29338, 13730},
    {"bruker/nmrpy-bruker2-series-5.1rd", false, 65536, 0, 31.47019000, 0.000918284384, 242.9368497,
     28221445.9, 0.43769, 33795},
    {"bruker/nmrpy-bruker2-series-14.1rd", false, 65536, 0, 31.47019000, 0.000918284384,
     242.9368497, 27806503.1, 2.59749, 31443},
    {"bruker/rnmrfit-2H-vanillin-20.1rd", false, 65536, 0, 16.26355000, 0.000305121739, 76.7960978,
     283586.591, 1.99911, 46751},
    {"bruker/rnmrfit-2H-vanillin-21.1rd", false, 65536, 0, 16.26442000, 0.00030512174, 76.7960977,
     282260.174, 1.99937, 46753},
    {"bruker/scp-topspin-1d.1rd", false, 16384, 0, 253.09090000, 0.0305150739, 500.0715539,
     7154633.27, 0.79227, 8269},
};

// Spectra of the arrayed files (the first, the last and those where the largest point moves):
// YScale and the largest point.
struct RealSpectrum {
    const char* Path;
    int Index;
    double YScale;
    double LargestPpm;
    int LargestPoint;
};

const RealSpectrum kRealSpectra[] = {
    {"varian/nmrpy-varian-array.vnj", 1, 311913.955, 0.56555, 8038},
    {"varian/nmrpy-varian-array.vnj", 2, 325382.255, 0.56555, 8038},
    {"varian/nmrpy-varian-array.vnj", 8, 311220.788, 0.56555, 8038},
    {"varian/nmrpy-varian-array.vnj", 9, 311063.368, 0.56921, 8037},
    {"varian/nmrpy-varian-array.vnj", 24, 343519.008, 0.56921, 8037},
    {"varian/ssnake-satrec-array.vnj", 1, 268361.891, -39.77016, 11057},
    {"varian/ssnake-satrec-array.vnj", 2, 282385.805, 434.19698, 3129},
    {"varian/ssnake-satrec-array.vnj", 3, 311174.906, 147.59274, 7923},
    {"varian/ssnake-satrec-array.vnj", 6, 624170.422, 130.37496, 8211},
    {"varian/ssnake-satrec-array.vnj", 12, 2479031.55, 129.95647, 8218},
};

int LargestPoint(const Document& doc) {
    for (int p = 1; p <= doc.PointCount; ++p) {
        if (doc.ObsY[static_cast<std::size_t>(p - 1)] == 1.0) return p;
    }
    return 0;
}

double PpmOf(const Document& doc, int p) { return doc.XFirstPpm - (p - 1) * doc.XStepPpm; }

Document Open(const std::string& path, bool x86 = false, int spectrum = 1) {
    core::Options opts;
    opts.x86cpu = x86;
    return LoadSpectrum(path, Document{}, opts, [spectrum](int) { return spectrum; });
}

// The number after `key` in a parameter file's text.
double KeyValue(const std::string& text, const std::string& key) {
    const std::size_t at = text.find("\n" + key);
    EXPECT_NE(at, std::string::npos) << key;
    return at == std::string::npos ? 0.0 : std::strtod(text.c_str() + at + 1 + key.size(), nullptr);
}

class RealFiles : public ::testing::TestWithParam<RealFile> {};

TEST_P(RealFiles, OpensWithTheCalibrationAndPeakOfTheIndependentReading) {
    const RealFile& f = GetParam();
    KALVEX_REQUIRE_SHARED_FILE(path, std::string("derived/") + f.Path);
    const Document doc = Open(path, f.X86);
    EXPECT_EQ(doc.PointCount, f.Points);
    EXPECT_EQ(doc.ViewPointCount, f.Points);
    EXPECT_EQ(doc.IsArrayed, f.Spectra > 0);
    if (f.Spectra > 0) {
        EXPECT_EQ(doc.ArrayCount, f.Spectra);
    }
    EXPECT_NEAR(doc.XFirstPpm, f.FirstPpm, 1e-8);
    EXPECT_NEAR(doc.XStepPpm, f.StepPpm, 1e-8 * f.StepPpm);
    EXPECT_NEAR(doc.ObsFreq, f.ObsFreq, 1e-8 * f.ObsFreq);
    EXPECT_NEAR(doc.YScale, f.YScale, 1e-8 * f.YScale);
    EXPECT_EQ(LargestPoint(doc), f.LargestPoint);
    EXPECT_NEAR(PpmOf(doc, f.LargestPoint), f.LargestPpm, 1e-5);
    EXPECT_EQ(*std::min_element(doc.ObsY.begin(), doc.ObsY.begin() + doc.PointCount), 0.0);

    // Bruker sets: the axis comes straight from the parameter file's own numbers.
    if (std::string(f.Path).ends_with(".1rd")) {
        const std::string procs = test::ReadFileBytes(path.substr(0, path.size() - 1) + "p");
        EXPECT_EQ(doc.XFirstPpm, KeyValue(procs, "##$OFFSET= "));
        EXPECT_NEAR(doc.ObsFreq, KeyValue(procs, "##$SF= "), 1e-12 * doc.ObsFreq);
        EXPECT_NEAR(doc.XStepHz * (doc.PointCount - 1), KeyValue(procs, "##$SW_p= "),
                    1e-9 * doc.XStepHz * doc.PointCount);
    }
}

std::string TestName(const ::testing::TestParamInfo<RealFile>& info) {
    std::string name =
        std::string(info.param.Path).substr(std::string(info.param.Path).find('/') + 1);
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(SharedData, RealFiles, ::testing::ValuesIn(kRealFiles), TestName);

TEST(RealArrayedFiles, EachSpectrumReadsAsTheIndependentReadingSays) {
    for (const char* file : {"varian/nmrpy-varian-array.vnj", "varian/ssnake-satrec-array.vnj"}) {
        const std::string path = test::SharedDataFile(std::string("derived/") + file);
        if (path.empty()) GTEST_SKIP() << "shared data file not present: " << file;
        Document doc = Open(path);
        for (const RealSpectrum& s : kRealSpectra) {
            if (std::string(s.Path) != file) continue;
            ReadArraySpectrum(doc, s.Index, core::Options{});
            EXPECT_EQ(doc.ArrayIndex, s.Index);
            EXPECT_NEAR(doc.YScale, s.YScale, 1e-8 * s.YScale) << file << " #" << s.Index;
            EXPECT_EQ(LargestPoint(doc), s.LargestPoint) << file << " #" << s.Index;
            EXPECT_NEAR(PpmOf(doc, s.LargestPoint), s.LargestPpm, 1e-5) << file << " #" << s.Index;
        }
        // Choosing the last spectrum at the open reads the same as stepping to it.
        const Document last = Open(path, false, doc.ArrayCount);
        EXPECT_EQ(last.YScale, doc.YScale) << file;
        EXPECT_EQ(LargestPoint(last), LargestPoint(doc)) << file;
    }
}

TEST(RealBrukerFolders, AFileNamed1rOpensWithProcsBesideIt) {
    for (const auto& [real, derived] : {
             std::pair{"cheminfo-bruker-1H-500/1r", "cheminfo-bruker-1H-500.1rd"},
             std::pair{"dnplab-topspin-lowfield/pdata999/1r",
                       "dnplab-topspin-lowfield-pdata999.1rd"},
             std::pair{"nmrpy-bruker2-series/7/1r", "nmrpy-bruker2-series-7.1rd"},
             std::pair{"rnmrfit-2H-vanillin/21/1r", "rnmrfit-2H-vanillin-21.1rd"},
         }) {
        const std::string a = test::SharedDataFile(std::string("real/") + real);
        const std::string b = test::SharedDataFile(std::string("derived/bruker/") + derived);
        if (a.empty() || b.empty()) GTEST_SKIP() << "shared data file not present: " << real;
        const Document from_folder = Open(a);
        const Document renamed = Open(b);
        EXPECT_EQ(from_folder.PointCount, renamed.PointCount) << real;
        EXPECT_EQ(from_folder.XFirstPpm, renamed.XFirstPpm) << real;
        EXPECT_EQ(from_folder.ObsFreq, renamed.ObsFreq) << real;
        EXPECT_EQ(from_folder.YScale, renamed.YScale) << real;
        EXPECT_TRUE(std::equal(renamed.ObsY.begin(), renamed.ObsY.begin() + renamed.PointCount,
                               from_folder.ObsY.begin()))
            << real;
    }
}

TEST(RealBadFiles, ShortBrukerDataIsRefusedNamingBothCounts) {
    KALVEX_REQUIRE_SHARED_FILE(path, "derived/bruker/jtutils-29Si-cpmg-pdata998-short-file.1rd");
    try {
        Open(path);
        FAIL() << "a 1r file shorter than FTSIZE opened";
    } catch (const Error& e) {
        EXPECT_EQ(e.File(), path);
        EXPECT_NE(e.Reason().find("41706"), std::string::npos) << e.what();
        EXPECT_NE(e.Reason().find("65536"), std::string::npos) << e.what();
    }
}

TEST(RealBadFiles, LittleEndianVnmrDataNeedsTheX86Option) {
    // Read big-endian, the floats of this file include values that are not numbers.
    KALVEX_REQUIRE_SHARED_FILE(path, "derived/varian/pnnl-toluene-varian-le.vnj");
    try {
        Open(path, false);
        FAIL() << "byte-swapped floats opened";
    } catch (const Error& e) {
        EXPECT_EQ(e.File(), path);
        EXPECT_NE(e.Reason().find("byte order"), std::string::npos) << e.what();
    }
}

}  // namespace
}  // namespace kalvex::files
