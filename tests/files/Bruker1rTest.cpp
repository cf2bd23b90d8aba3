// The Bruker 1r reader: parameter passes, byte orders, DTYPP 2, the NC_proc scale, "1r" names.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "core/Error.h"
#include "files/Bruker1r.h"
#include "files/OpenCommand.h"
#include "support/SpectrumFileWriters.h"
#include "support/TempDir.h"

namespace kalvex::files {
namespace {

using core::Document;
using test::Endian;
using test::ProcsFields;
using test::TempDir;

// 1,000 points: a line of height 5,000,000 at point 300 on a baseline of -1,000.
std::vector<double> Spectrum(int n = 1000) { return test::GaussLine(n, 300, 4, 5e6, -1000); }

std::string WriteSet(const TempDir& dir, const std::string& name, const ProcsFields& fields,
                     const std::string& data) {
    dir.Write(name + ".1rp", test::ProcsText(fields));
    return dir.Write(name + ".1rd", data);
}

Document Load(const std::string& path, bool x86cpu = false) {
    core::Options opts;
    opts.x86cpu = x86cpu;
    return LoadSpectrum(path, Document{}, opts, nullptr);
}

int LargestPoint(const Document& doc) {
    for (int p = 1; p <= doc.PointCount; ++p) {
        if (doc.ObsY[static_cast<std::size_t>(p - 1)] == 1.0) return p;
    }
    return 0;
}

TEST(Bruker1r, CalibratesFromTheParameterFile) {
    TempDir dir;
    ProcsFields f;
    f.NcProc = "-3";
    const std::string data = test::Words(test::ToInts(Spectrum()), Endian::kLittle);
    const Document doc = Load(WriteSet(dir, "a", f, data));
    EXPECT_EQ(doc.F_Type, static_cast<int>(core::FileType::kBruker1r));
    EXPECT_EQ(doc.PointCount, 1000);
    EXPECT_DOUBLE_EQ(doc.XFirstPpm, 12.5);
    EXPECT_DOUBLE_EQ(doc.XFirstPpm0, 12.5);
    EXPECT_DOUBLE_EQ(doc.XFirstHz, 12.5 * 400.13);
    EXPECT_DOUBLE_EQ(doc.XStepHz, 4000.0 / 999);
    EXPECT_DOUBLE_EQ(doc.XStepPpm, 4000.0 / 400.13 / 999);
    EXPECT_NEAR(doc.ObsFreq, 400.13, 1e-9);
    EXPECT_EQ(LargestPoint(doc), 300);
    // (max - min) times (ln 10)^NC_proc: neither 2^-3 nor 10^-3; up to 32 either way.
    EXPECT_NEAR(doc.YScale, 5e6 * std::pow(std::log(10.0), -3), 1e-6);
    for (const char* nc : {"32", "-32"}) {
        f.NcProc = nc;
        const double want = 5e6 * std::pow(std::log(10.0), std::stod(nc));
        EXPECT_NEAR(Load(WriteSet(dir, "nc", f, data)).YScale, want, 1e-12 * want) << nc;
    }
}

TEST(Bruker1r, ByteOrderFromOptionParameterOrTheFirstSixWords) {
    TempDir dir;
    const std::vector<std::int32_t> plain = test::ToInts(Spectrum());
    std::vector<std::int32_t> quiet = plain;
    std::vector<std::int32_t> loud = plain;
    for (int i = 0; i < 6; ++i) quiet[i] = 0;          // big-endian zeros look little-endian
    for (int i = 0; i < 6; ++i) loud[i] = -300000000;  // large little-endian values look swapped
    // Absolute values adding up to exactly 1,000,000,000 still read little-endian; one more
    // reads swapped.
    std::vector<std::int32_t> at_limit = quiet, past_limit = quiet;
    at_limit[0] = -1000000000;
    past_limit[0] = -1000000001;
    struct Case {
        const char* Name;
        const std::vector<std::int32_t>& Values;
        Endian Order;
        const char* Bytordp;
        bool X86;
        bool ReadRight;
    };
    for (const Case& c : {
             Case{"le", loud, Endian::kLittle, "0", false, true},
             Case{"le-guessed-wrong", loud, Endian::kLittle, "", false, false},
             Case{"be", quiet, Endian::kBig, "1", false, true},
             Case{"be-guessed-wrong", quiet, Endian::kBig, "", false, false},
             Case{"be-guessed", plain, Endian::kBig, "", false, true},
             Case{"le-guessed", plain, Endian::kLittle, "", false, true},
             Case{"x86-over-bytordp", loud, Endian::kLittle, "1", true, true},
             Case{"le-at-limit", at_limit, Endian::kLittle, "", false, true},
             Case{"le-past-limit", past_limit, Endian::kLittle, "", false, false},
         }) {
        ProcsFields f;
        f.Bytordp = c.Bytordp;
        const Document doc = Load(WriteSet(dir, c.Name, f, test::Words(c.Values, c.Order)), c.X86);
        const double lo = *std::min_element(c.Values.begin(), c.Values.end());
        if (c.ReadRight) {
            EXPECT_EQ(LargestPoint(doc), 300) << c.Name;
            EXPECT_DOUBLE_EQ(doc.YScale, 5e6 - 1000 - lo) << c.Name;
        } else {
            EXPECT_NE(doc.YScale, 5e6 - 1000 - lo) << c.Name;
        }
    }
}

TEST(Bruker1r, DtypTwoIsReadAsDoubles) {
    TempDir dir;
    ProcsFields f;
    f.Dtypp = "2";
    const std::vector<double> plain = Spectrum();
    // Zeros look right in both orders: a tie in the first six words reads little-endian.
    std::vector<double> tie = plain;
    std::fill(tie.begin(), tie.begin() + 6, 0.0);
    for (const auto& [name, values, order, bytordp] :
         {std::tuple{"d-le", plain, Endian::kLittle, ""},
          std::tuple{"d-le-tie", tie, Endian::kLittle, ""},
          std::tuple{"d-be", plain, Endian::kBig, "1"},
          std::tuple{"d-be-guessed", plain, Endian::kBig, ""}}) {
        f.Bytordp = bytordp;
        const Document doc = Load(WriteSet(dir, name, f, test::Words(values, order)));
        EXPECT_EQ(LargestPoint(doc), 300) << name;
        EXPECT_NEAR(doc.YScale, 5e6, 1e-3) << name;
        EXPECT_DOUBLE_EQ(doc.ObsY[0], (values[0] + 1000) / 5e6) << name;
    }
}

TEST(Bruker1r, PointCountFromSiWhenFtsizeIsZeroOrLate) {
    TempDir dir;
    const std::string data = test::Words(test::ToInts(Spectrum(1024)), Endian::kLittle);
    ProcsFields zero;
    zero.Ftsize = "0";
    EXPECT_EQ(Load(WriteSet(dir, "zero", zero, data)).PointCount, 1024);
    // FTSIZE after OFFSET comes too late: SI counts.
    std::string late = test::ProcsText(ProcsFields{});
    late.erase(late.find("##$FTSIZE= 1000\n"), 16);
    late.insert(late.find("##$PHC0"), "##$FTSIZE= 1000\n");
    dir.Write("late.1rp", late);
    EXPECT_EQ(Load(dir.Write("late.1rd", data)).PointCount, 1024);
    // A non-zero FTSIZE before OFFSET wins over SI.
    EXPECT_EQ(Load(WriteSet(dir, "normal", ProcsFields{}, data)).PointCount, 1000);
}

TEST(Bruker1r, FileNamed1rReadsProcsBeside) {
    TempDir dir;
    std::filesystem::create_directories(dir.File("pdata/1"));
    ProcsFields f;
    f.Offset = "3.25";
    dir.Write("pdata/1/procs", test::ProcsText(f));
    const std::string path =
        dir.Write("pdata/1/1r", test::Words(test::ToInts(Spectrum()), Endian::kLittle));
    ASSERT_NE(FindReader(path), nullptr);
    EXPECT_STREQ(FindReader(path)->Extension, ".1rd");
    const Document doc = Load(path);
    EXPECT_DOUBLE_EQ(doc.XFirstPpm, 3.25);
    EXPECT_EQ(LargestPoint(doc), 300);
    EXPECT_EQ(BrukerParameterPath("/d/x.1rd"), "/d/x.1rp");
    EXPECT_EQ(BrukerParameterPath("1r"), "procs");
    // Only the exact name: "1r.bak" or "x1r" are not Bruker data.
    EXPECT_EQ(FindReader("/d/x1r"), nullptr);
}

}  // namespace
}  // namespace kalvex::files
