// Bad foreign input: every refusal names the file and the problem, and the shown document stays.
#include <gtest/gtest.h>

#include <functional>

#include "core/Error.h"
#include "files/OpenCommand.h"
#include "support/DocumentBuilder.h"
#include "support/SpectrumFileWriters.h"
#include "support/TempDir.h"

namespace kalvex::files {
namespace {

using core::Document;
using test::Endian;
using test::TempDir;
// Field values as std::string: assigning literals to the fields trips a false GCC 12 warning.
using namespace std::string_literals;

std::string BrukerData(int n) {
    return test::Words(test::ToInts(test::GaussLine(n, n / 3.0, 3, 1e5)), Endian::kLittle);
}

std::string VnmrData(int n, int spectra = 1) {
    return test::VnmrDataFile(
        std::vector<std::vector<float>>(static_cast<std::size_t>(spectra),
                                        test::ToFloats(test::GaussLine(n, n / 3.0, 3, 1e5))),
        Endian::kBig);
}

// A Bruker set a.1rd + a.1rp of 1,000 points whose procs text is changed by `edit`.
std::string Bruker(const TempDir& dir, const std::function<void(test::ProcsFields&)>& edit,
                   const std::string& data = BrukerData(1000)) {
    test::ProcsFields f;
    edit(f);
    dir.Write("a.1rp", test::ProcsText(f));
    return dir.Write("a.1rd", data);
}

// A VnmrJ set v.vnj + v.vnp of 1,000 points per spectrum.
std::string Vnmr(const TempDir& dir, const std::function<void(test::ProcparFields&)>& edit,
                 const std::string& data = VnmrData(1000)) {
    test::ProcparFields f;
    edit(f);
    dir.Write("v.vnp", test::ProcparText(f));
    return dir.Write("v.vnj", data);
}

// Writes one bad file set into the folder; returns the path to open and sets `named` to the
// file the message must name.
using Maker = std::function<std::string(const TempDir&, std::string& named)>;

// A Bruker or VnmrJ set whose parameter file is at fault.
Maker BadProcs(const std::function<void(test::ProcsFields&)>& edit) {
    return [edit](const TempDir& d, std::string& named) {
        named = d.File("a.1rp");
        return Bruker(d, edit);
    };
}
Maker BadProcpar(const std::function<void(test::ProcparFields&)>& edit) {
    return [edit](const TempDir& d, std::string& named) {
        named = d.File("v.vnp");
        return Vnmr(d, edit);
    };
}
// A file at fault by itself.
Maker BadFile(const std::string& name, const std::string& text) {
    return [=](const TempDir& d, std::string& named) { return named = d.Write(name, text); };
}

struct BadCase {
    const char* Name;
    Maker Make;
    const char* Says;  // part of the reason
    int Line = -1;     // the line named (0: none); -1: not checked
};

std::string TooManyValues() {
    std::string text = "5\n-5\n";
    for (int i = 0; i <= 65536; ++i) text += i % 2 ? "1\n" : "2\n";
    return text;
}

const std::vector<BadCase>& Cases() {
    static const std::vector<BadCase> cases = {
        {"truncated 1r data",
         [](const TempDir& d, std::string& n) {
             return n = Bruker(
                        d, [](auto&) {}, BrukerData(1000).substr(0, 3996));
         },
         "holds 999 values"},
        {"truncated single vnj",
         [](const TempDir& d, std::string& n) {
             return n = Vnmr(
                        d, [](auto&) {}, VnmrData(1000).substr(0, 4000));
         },
         "fewer than one spectrum"},
        {"vnj cut inside its last spectrum",
         [](const TempDir& d, std::string& n) {
             const std::string data = VnmrData(1000, 3);
             return n = Vnmr(
                        d, [](auto&) {}, data.substr(0, data.size() - 400));
         },
         "not that of whole spectra"},
        {"missing 1rp",
         [](const TempDir& d, std::string& n) {
             n = d.File("a.1rp");
             return d.Write("a.1rd", BrukerData(1000));
         },
         "File not found"},
        {"missing vnp",
         [](const TempDir& d, std::string& n) {
             n = d.File("v.vnp");
             return d.Write("v.vnj", VnmrData(1000));
         },
         "File not found"},
        {"missing OFFSET", BadProcs([](auto& f) { f.Offset = ""s; }), "##$OFFSET= "},
        {"missing SI after FTSIZE 0", BadProcs([](auto& f) {
             f.Ftsize = "0"s;
             f.Si = ""s;
         }),
         "##$SI= "},
        {"missing SW_p", BadProcs([](auto& f) { f.SwP = ""s; }), "##$SW_p= "},
        {"missing NC_proc", BadProcs([](auto& f) { f.NcProc = ""s; }), "##$NC_proc= "},
        {"missing sfrq", BadProcpar([](auto& f) { f.Sfrq = ""s; }), "\"sfrq\""},
        {"missing fn", BadProcpar([](auto& f) { f.Fn = ""s; }), "\"fn\""},
        {"non-numeric dat token", BadFile("x.dat", "1 2\n2 abc\n3 4\n"), "Invalid numeric input"},
        {"non-numeric procs value", BadProcs([](auto& f) { f.Sf = "400,13"s; }),
         "Invalid numeric input"},
        {"non-numeric procpar value", BadProcpar([](auto& f) { f.Sw = "wide"s; }),
         "Invalid numeric input"},
        {"65,537 values in vdt", BadFile("t.vdt", TooManyValues()), "Range check error"},
        {"FTSIZE 65,537", BadProcs([](auto& f) { f.Ftsize = "65537"s; }), "65537"},
        {"fn for 65,537 points", BadProcpar([](auto& f) { f.Fn = "131074"s; }), "65537"},
        {"SF 0", BadProcs([](auto& f) { f.Sf = "0"s; }), "SF is 0"},
        {"sfrq 0", BadProcpar([](auto& f) { f.Sfrq = "0"s; }), "sfrq is 0"},
        {"flat dat", BadFile("f.dat", "1 5\n2 5\n3 5\n"), "flat"},
        {"flat 1r",
         [](const TempDir& d, std::string& n) {
             return n = Bruker(
                        d, [](auto&) {}, std::string(4000, '\x07'));
         },
         "flat"},
        {"one point", BadFile("o.vdt", "5\n5\n3\n"), "at least 2"},
        {"FTSIZE 1", BadProcs([](auto& f) { f.Ftsize = "1"s; }), "point count of 1"},
        {"DTYPP 1", BadProcs([](auto& f) { f.Dtypp = "1"s; }), "DTYPP = 1"},
        {"empty dat", BadFile("e.dat", ""), "no X-Y data"},
        {"NaN intensity", BadFile("n.dat", "1 5\n2 NAN\n3 7\n"), "\"NAN\" is not a finite", 2},
        {"NaN axis", BadFile("n.vdt", "NAN\n1\n5\n6\n"), "\"NAN\" is not a finite", 1},
        {"infinite procs value", BadProcs([](auto& f) { f.SwP = "INF"s; }), "\"INF\"", 12},
        {"overflowing procpar value", BadProcpar([](auto& f) { f.Rfl = "1E999"s; }), "too large",
         11},
        // Both ends of the doubles: a range no double holds, which is not a flat spectrum.
        {"intensities at both ends", BadFile("w.dat", "1 0\n2 -1E308\n3 1E308\n"),
         "-1E308 (line 2) and 1E308 (line 3) are further apart than the largest number", 3},
        {"rising X at both ends", BadFile("w.dat", "-1E308 1\n0 2\n1E308 3\n"), "X axis (ppm)"},
        {"vdt axis past the largest number", BadFile("x.vdt", "1E308\n-1E308\n1\n2\n"),
         "X axis (ppm)"},
        {"NC_proc 33", BadProcs([](auto& f) { f.NcProc = "33"s; }), "NC_proc = 33 lies outside", 7},
        {"NC_proc -33", BadProcs([](auto& f) { f.NcProc = "-33"s; }), "-32..32", 7},
        {"NC_proc 1000", BadProcs([](auto& f) { f.NcProc = "1000"s; }), "NC_proc = 1000", 7},
        {"float data scaled past the largest number",
         [](const TempDir& d, std::string& n) {
             return n = Bruker(
                        d,
                        [](auto& f) {
                            f.Dtypp = "2"s;
                            f.Bytordp = "0"s;
                            f.NcProc = "32"s;
                        },
                        test::Words(std::vector<double>(500, 0.0), Endian::kLittle) +
                            test::Words(std::vector<double>(500, 1e300), Endian::kLittle));
         },
         "no usable intensity scale"},
        {"SF too small for the ppm axis", BadProcs([](auto& f) { f.Sf = "1E-310"s; }),
         "X axis (ppm)"},
        {"reference values past the largest number", BadProcpar([](auto& f) {
             f.Rfl = "1.7E308"s;
             f.Rfp = "-1.7E308"s;
         }),
         "X axis (ppm)"},
    };
    return cases;
}

TEST(ForeignBadInput, EachRefusalNamesTheFileAndKeepsTheShownDocument) {
    const Document shown = test::MakeDocument(64, 5.0, 0.1, 100.0, [](int p) { return p / 64.0; });
    const Document copy = shown;
    for (const BadCase& c : Cases()) {
        TempDir dir;
        std::string named;
        const std::string path = c.Make(dir, named);
        try {
            LoadSpectrum(path, shown, core::Options{}, [](int) { return 1; });
            ADD_FAILURE() << c.Name << ": opened";
        } catch (const Error& e) {
            EXPECT_EQ(e.File(), named) << c.Name << ": " << e.what();
            EXPECT_NE(e.Reason().find(c.Says), std::string::npos) << c.Name << ": " << e.what();
            if (c.Line >= 0) {
                EXPECT_EQ(e.Line(), c.Line) << c.Name << ": " << e.what();
            }
        }
        EXPECT_EQ(shown.ObsY, copy.ObsY) << c.Name;
        EXPECT_EQ(shown.PointCount, copy.PointCount) << c.Name;
        EXPECT_EQ(shown.SpectrumFileName, copy.SpectrumFileName) << c.Name;
    }
}

}  // namespace
}  // namespace kalvex::files
