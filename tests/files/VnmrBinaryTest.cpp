// The VnmrJ binary reader: parameters, single and arrayed files, both byte orders, re-reading.
#include <gtest/gtest.h>

#include "core/Error.h"
#include "files/OpenCommand.h"
#include "files/VnmrBinary.h"
#include "support/TempDir.h"
#include "support/SpectrumFileWriters.h"

namespace kalvex::files {
namespace {

using core::Document;
using test::Endian;
using test::TempDir;

// Spectrum k of 1,000 points: a line of height 100 k at point 100 k on a baseline of -7.
std::vector<float> Spectrum(int k, int n = 1000) {
    return test::ToFloats(test::GaussLine(n, 100.0 * k, 5.0, 100.0 * k, -7.0));
}

std::vector<std::vector<float>> Spectra(int count) {
    std::vector<std::vector<float>> s;
    for (int k = 1; k <= count; ++k) s.push_back(Spectrum(k));
    return s;
}

// Many short spectra of 20 points, each with one raised point.
std::vector<std::vector<float>> ShortSpectra(int count) {
    std::vector<std::vector<float>> s(static_cast<std::size_t>(count),
                                      std::vector<float>(20, 1.0f));
    for (int k = 1; k <= count; ++k) s[static_cast<std::size_t>(k - 1)][k % 20] = 2.0f;
    return s;
}

std::string WriteSet(const TempDir& dir, const std::string& name, const std::string& data,
                     const test::ProcparFields& fields = {}) {
    dir.Write(name + ".vnp", test::ProcparText(fields));
    return dir.Write(name + ".vnj", data);
}

int LargestPoint(const Document& doc) {
    for (int p = 1; p <= doc.PointCount; ++p) {
        if (doc.ObsY[static_cast<std::size_t>(p - 1)] == 1.0) return p;
    }
    return 0;
}

TEST(VnmrBinary, SingleSpectrumCalibration) {
    TempDir dir;
    Document previous;
    previous.ArrayIndex = 4;
    previous.ArrayCount = 9;
    const std::string path = WriteSet(dir, "one", test::VnmrDataFile({Spectrum(3)}, Endian::kBig));
    bool asked = false;
    const Document doc = LoadSpectrum(path, previous, core::Options{}, [&](int) {
        asked = true;
        return 1;
    });
    EXPECT_FALSE(asked);
    EXPECT_FALSE(doc.IsArrayed);
    EXPECT_EQ(doc.ArrayIndex, 4);  // a single spectrum leaves the number alone
    EXPECT_EQ(doc.F_Type, static_cast<int>(core::FileType::kVnmrBinary));
    EXPECT_EQ(doc.PointCount, 1000);
    // sw 4000, rfl 100, rfp 20, sfrq 400.
    EXPECT_DOUBLE_EQ(doc.XFirstPpm, (4000.0 - 80.0) / 400.0);
    EXPECT_DOUBLE_EQ(doc.XFirstHz, 3920.0);
    EXPECT_DOUBLE_EQ(doc.XStepPpm, 4000.0 / 400.0 / 999);
    EXPECT_DOUBLE_EQ(doc.XStepHz, 4000.0 / 999);
    EXPECT_DOUBLE_EQ(doc.ObsFreq, 400.0);
    EXPECT_EQ(LargestPoint(doc), 300);
    EXPECT_DOUBLE_EQ(doc.YScale, 300.0);
}

TEST(VnmrBinary, MissingReferencesCountAsZero) {
    TempDir dir;
    test::ProcparFields f;
    f.Rfl = "";
    f.Rfp = "";
    const Document doc =
        LoadSpectrum(WriteSet(dir, "noref", test::VnmrDataFile({Spectrum(1)}, Endian::kBig), f),
                     Document{}, core::Options{}, nullptr);
    EXPECT_DOUBLE_EQ(doc.XFirstPpm, 10.0);
}

TEST(VnmrBinary, ArrayedFileOfFiveSpectraInBothByteOrders) {
    TempDir dir;
    for (const auto& [name, order, x86] :
         {std::tuple{"be", Endian::kBig, false}, std::tuple{"le", Endian::kLittle, true}}) {
        const std::string path = WriteSet(dir, name, test::VnmrDataFile(Spectra(5), order));
        core::Options opts;
        opts.x86cpu = x86;
        int offered = 0;
        const Document doc = LoadSpectrum(path, Document{}, opts, [&](int count) {
            offered = count;
            return 4;
        });
        EXPECT_EQ(offered, 5) << name;
        EXPECT_TRUE(doc.IsArrayed) << name;
        EXPECT_EQ(doc.ArrayCount, 5) << name;
        EXPECT_EQ(doc.ArrayIndex, 4) << name;
        EXPECT_EQ(LargestPoint(doc), 400) << name;
        EXPECT_DOUBLE_EQ(doc.YScale, 400.0) << name;
    }
}

TEST(VnmrBinary, ReadArraySpectrumRenormalisesAndKeepsTheRest) {
    TempDir dir;
    const std::string path = WriteSet(dir, "arr", test::VnmrDataFile(Spectra(5), Endian::kBig));
    Document doc = LoadSpectrum(path, Document{}, core::Options{}, [](int) { return 1; });
    doc.YOffset = 0.1;
    doc.YRange = 0.5;
    doc.SpcExtra = 3.0;
    doc.ViewFirstPoint = 11;
    doc.PeakCount = 1;
    ReadArraySpectrum(doc, 5, core::Options{});
    EXPECT_EQ(doc.ArrayIndex, 5);
    EXPECT_EQ(LargestPoint(doc), 500);
    EXPECT_DOUBLE_EQ(doc.YScale, 500.0);
    EXPECT_EQ(doc.YOffset, 0.0);
    EXPECT_EQ(doc.YRange, 1.0);
    EXPECT_EQ(doc.SpcExtra, 0.0);
    EXPECT_EQ(doc.ViewFirstPoint, 11);
    EXPECT_EQ(doc.PeakCount, 1);
    EXPECT_DOUBLE_EQ(doc.XFirstPpm0, 9.8);

    // Out of range, or a file cut short since the open: an error and nothing changed.
    const std::vector<double> before(doc.ObsY.begin(), doc.ObsY.begin() + 1000);
    EXPECT_THROW(ReadArraySpectrum(doc, 6, core::Options{}), Error);
    EXPECT_THROW(ReadArraySpectrum(doc, 0, core::Options{}), Error);
    const std::string bytes = test::ReadFileBytes(path);
    dir.Write("arr.vnj", bytes.substr(0, bytes.size() - 8));
    EXPECT_THROW(ReadArraySpectrum(doc, 5, core::Options{}), Error);
    EXPECT_EQ(doc.ArrayIndex, 5);
    EXPECT_DOUBLE_EQ(doc.YScale, 500.0);
    EXPECT_EQ(std::vector<double>(doc.ObsY.begin(), doc.ObsY.begin() + 1000), before);
}

TEST(VnmrBinary, ChoiceOutsideTheSpectraIsRefused) {
    TempDir dir;
    const std::string path = WriteSet(dir, "arr", test::VnmrDataFile(Spectra(3), Endian::kBig));
    for (const int bad : {0, 4, -1}) {
        EXPECT_THROW(LoadSpectrum(path, Document{}, core::Options{}, [bad](int) { return bad; }),
                     Error)
            << bad;
    }
}

TEST(VnmrBinary, TwoHundredFiftyFiveSpectraOpenAndTwoHundredFiftySixDoNot) {
    TempDir dir;
    test::ProcparFields f;
    f.Fn = "40";
    const std::string ok =
        WriteSet(dir, "ok", test::VnmrDataFile(ShortSpectra(255), Endian::kBig), f);
    const Document doc = LoadSpectrum(ok, Document{}, core::Options{}, [](int c) { return c; });
    EXPECT_EQ(doc.ArrayCount, 255);
    EXPECT_EQ(doc.ArrayIndex, 255);
    EXPECT_EQ(doc.ObsY[255 % 20], 1.0);

    const std::string over =
        WriteSet(dir, "over", test::VnmrDataFile(ShortSpectra(256), Endian::kBig), f);
    try {
        LoadSpectrum(over, Document{}, core::Options{}, [](int) { return 1; });
        FAIL() << "256 spectra were accepted";
    } catch (const Error& e) {
        EXPECT_NE(e.Reason().find("256 spectra"), std::string::npos) << e.what();
        EXPECT_EQ(e.File(), over);
    }
}

}  // namespace
}  // namespace kalvex::files
