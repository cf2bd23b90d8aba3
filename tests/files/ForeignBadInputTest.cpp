// Bad foreign input: every refusal names the file and the problem, and the shown document stays.
#include <gtest/gtest.h>

#include <functional>

#include "core/Error.h"
#include "files/OpenCommand.h"
#include "support/DocumentBuilder.h"
#include "support/TempDir.h"
#include "tools/SpectrumFileWriters.h"

namespace kalvex::files {
namespace {

using core::Document;
using test::Endian;
using test::TempDir;

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

struct BadCase {
    const char* Name;
    // Writes the files; returns the path to open. Sets `named` to the file the message names.
    std::function<std::string(const TempDir&, std::string& named)> Make;
    const char* Says;  // part of the reason
};

std::string Same(std::string& named, const std::string& path) {
    named = path;
    return path;
}

const std::vector<BadCase>& Cases() {
    static const std::vector<BadCase> cases = {
        {"truncated 1r data",
         [](const TempDir& d, std::string& n) {
             return Same(n, Bruker(
                                d, [](auto&) {}, BrukerData(1000).substr(0, 3996)));
         },
         "holds 999 values"},
        {"truncated single vnj",
         [](const TempDir& d, std::string& n) {
             return Same(n, Vnmr(
                                d, [](auto&) {}, VnmrData(1000).substr(0, 4000)));
         },
         "fewer than one spectrum"},
        {"vnj cut inside its last spectrum",
         [](const TempDir& d, std::string& n) {
             const std::string data = VnmrData(1000, 3);
             return Same(n, Vnmr(
                                d, [](auto&) {}, data.substr(0, data.size() - 400)));
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
        {"missing OFFSET",
         [](const TempDir& d, std::string& n) {
             const std::string p = Bruker(d, [](auto& f) { f.Offset = ""; });
             n = d.File("a.1rp");
             return p;
         },
         "##$OFFSET= "},
        {"missing SI after FTSIZE 0",
         [](const TempDir& d, std::string& n) {
             const std::string p = Bruker(d, [](auto& f) {
                 f.Ftsize = "0";
                 f.Si = "";
             });
             n = d.File("a.1rp");
             return p;
         },
         "##$SI= "},
        {"missing SW_p",
         [](const TempDir& d, std::string& n) {
             const std::string p = Bruker(d, [](auto& f) { f.SwP = ""; });
             n = d.File("a.1rp");
             return p;
         },
         "##$SW_p= "},
        {"missing NC_proc",
         [](const TempDir& d, std::string& n) {
             const std::string p = Bruker(d, [](auto& f) { f.NcProc = ""; });
             n = d.File("a.1rp");
             return p;
         },
         "##$NC_proc= "},
        {"missing sfrq",
         [](const TempDir& d, std::string& n) {
             const std::string p = Vnmr(d, [](auto& f) { f.Sfrq = ""; });
             n = d.File("v.vnp");
             return p;
         },
         "\"sfrq\""},
        {"missing fn",
         [](const TempDir& d, std::string& n) {
             const std::string p = Vnmr(d, [](auto& f) { f.Fn = ""; });
             n = d.File("v.vnp");
             return p;
         },
         "\"fn\""},
        {"non-numeric dat token",
         [](const TempDir& d, std::string& n) {
             return Same(n, d.Write("x.dat", "1 2\n2 abc\n3 4\n"));
         },
         "Invalid numeric input"},
        {"non-numeric procs value",
         [](const TempDir& d, std::string& n) {
             const std::string p = Bruker(d, [](auto& f) { f.Sf = "400,13"; });
             n = d.File("a.1rp");
             return p;
         },
         "Invalid numeric input"},
        {"non-numeric procpar value",
         [](const TempDir& d, std::string& n) {
             const std::string p = Vnmr(d, [](auto& f) { f.Sw = "wide"; });
             n = d.File("v.vnp");
             return p;
         },
         "Invalid numeric input"},
        {"65,537 values in vdt",
         [](const TempDir& d, std::string& n) {
             std::string text = "5\n-5\n";
             for (int i = 0; i <= 65536; ++i) text += i % 2 ? "1\n" : "2\n";
             return Same(n, d.Write("t.vdt", text));
         },
         "Range check error"},
        {"FTSIZE 65,537",
         [](const TempDir& d, std::string& n) {
             const std::string p = Bruker(d, [](auto& f) { f.Ftsize = "65537"; });
             n = d.File("a.1rp");
             return p;
         },
         "65537"},
        {"fn for 65,537 points",
         [](const TempDir& d, std::string& n) {
             const std::string p = Vnmr(d, [](auto& f) { f.Fn = "131074"; });
             n = d.File("v.vnp");
             return p;
         },
         "65537"},
        {"SF 0",
         [](const TempDir& d, std::string& n) {
             const std::string p = Bruker(d, [](auto& f) { f.Sf = "0"; });
             n = d.File("a.1rp");
             return p;
         },
         "SF is 0"},
        {"sfrq 0",
         [](const TempDir& d, std::string& n) {
             const std::string p = Vnmr(d, [](auto& f) { f.Sfrq = "0"; });
             n = d.File("v.vnp");
             return p;
         },
         "sfrq is 0"},
        {"flat dat",
         [](const TempDir& d, std::string& n) {
             return Same(n, d.Write("f.dat", "1 5\n2 5\n3 5\n"));
         },
         "flat"},
        {"flat 1r",
         [](const TempDir& d, std::string& n) {
             return Same(n, Bruker(
                                d, [](auto&) {}, std::string(4000, '\x07')));
         },
         "flat"},
        {"one point",
         [](const TempDir& d, std::string& n) { return Same(n, d.Write("o.vdt", "5\n5\n3\n")); },
         "at least 2"},
        {"FTSIZE 1",
         [](const TempDir& d, std::string& n) {
             const std::string p = Bruker(d, [](auto& f) { f.Ftsize = "1"; });
             n = d.File("a.1rp");
             return p;
         },
         "point count of 1"},
        {"DTYPP 1",
         [](const TempDir& d, std::string& n) {
             const std::string p = Bruker(d, [](auto& f) { f.Dtypp = "1"; });
             n = d.File("a.1rp");
             return p;
         },
         "DTYPP = 1"},
        {"empty dat",
         [](const TempDir& d, std::string& n) { return Same(n, d.Write("e.dat", "")); },
         "no X-Y data"},
        {"NaN intensity",
         [](const TempDir& d, std::string& n) {
             return Same(n, d.Write("n.dat", "1 5\n2 NAN\n3 7\n"));
         },
         "Point 2"},
        {"NaN axis",
         [](const TempDir& d, std::string& n) {
             return Same(n, d.Write("n.vdt", "NAN\n1\n5\n6\n"));
         },
         "calibration"},
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
        }
        EXPECT_EQ(shown.ObsY, copy.ObsY) << c.Name;
        EXPECT_EQ(shown.PointCount, copy.PointCount) << c.Name;
        EXPECT_EQ(shown.SpectrumFileName, copy.SpectrumFileName) << c.Name;
    }
}

}  // namespace
}  // namespace kalvex::files
