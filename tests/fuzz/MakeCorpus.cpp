// Writes the seed corpus of the fuzz targets: small files of every format, made by Kalvex's own
// writers and the test writers of foreign files, one folder per target.
//
// Usage: kalvex-make-fuzz-corpus FOLDER          writes FOLDER/<target>/<seed>
//        kalvex-make-fuzz-corpus --check FOLDER  fails when FOLDER differs from that
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "core/Document.h"
#include "core/IniFile.h"
#include "core/Settings.h"
#include "files/PeakLines.h"
#include "files/SpcFile.h"
#include "files/XyText.h"
#include "support/SpectrumFileWriters.h"

namespace {

using kalvex::core::Document;
using kalvex::test::Endian;
namespace fs = std::filesystem;

// target folder/seed name -> bytes
using Corpus = std::map<std::string, std::string>;

// A spectrum of `n` points: two lines on a sloping baseline, normalised like an import.
Document Spectrum(int n, int f_type, bool negative = false) {
    Document doc = Document::FreshForOpen(Document{});
    doc.PointCount = doc.ViewPointCount = doc.RangeFullCount = n;
    doc.XFirstPpm = doc.XFirstPpm0 = 9.5;
    doc.XStepPpm = 0.0125;
    doc.XFirstHz = doc.XFirstHz0 = 9.5 * 400.13;
    doc.XStepHz = 0.0125 * 400.13;
    doc.YScale = 2.5e5;
    doc.SpcExtra = 0.0;
    doc.F_Type = f_type;
    const std::vector<double> a = kalvex::test::GaussLine(n, n / 3.0, 2.0, 1.0);
    const std::vector<double> b = kalvex::test::GaussLine(n, 2.0 * n / 3.0, 4.0, 0.5);
    for (int i = 0; i < n; ++i) {
        const auto e = static_cast<std::size_t>(i);
        doc.ObsY[e] = a[e] + b[e] + 0.01 * i / n - (negative && i % 5 == 0 ? 0.2 : 0.0);
    }
    return doc;
}

void AddPeaks(Document& doc) {
    const int n = doc.PointCount;
    const int pos[] = {n / 3, 2 * n / 3, n - 1};
    const double height[] = {1.0, 0.5, 0.01};
    const double width[] = {2.0, 4.0, 0.75};
    for (int k = 1; k <= 3; ++k) {
        doc.PeakPos[k] = static_cast<std::uint16_t>(pos[k - 1]);
        doc.PeakHeight[k] = height[k - 1];
        doc.PeakHalfWidth[k] = width[k - 1];
        doc.PeakPosErr[k] = 0.01 * k;
        doc.PeakHeightErr[k] = -0.002 * k;
        doc.PeakHalfWidthErr[k] = 0.03;
    }
    doc.PeakCount = 3;
    doc.Bias = 0.0125f;
    doc.PeakKindLorentz = true;
}

std::string AbsoluteXy(int n, bool rising) {
    Document doc = Spectrum(n, 2);
    if (rising) doc.XStepPpm = -doc.XStepPpm;
    return kalvex::files::XyTextFileText(doc);
}

std::string ProcsSeed(std::uint8_t flags, const kalvex::test::ProcsFields& f,
                      const std::string& data) {
    return std::string(1, static_cast<char>(flags)) + kalvex::test::ProcsText(f) +
           std::string(1, '\0') + data;
}

std::string ProcparSeed(std::uint8_t flags, int n, const std::string& data) {
    kalvex::test::ProcparFields f;
    f.Fn = std::to_string(2 * n);
    return std::string(1, static_cast<char>(flags)) + kalvex::test::ProcparText(f) +
           std::string(1, '\0') + data;
}

Corpus MakeCorpus() {
    using kalvex::files::PeakFileText;
    using kalvex::files::SpcFileText;
    Corpus c;
    Document seq = Spectrum(48, 0);
    AddPeaks(seq);
    c["spc/seq-with-peaks.spc"] = SpcFileText(seq);
    c["spc/col.spc"] = SpcFileText(Spectrum(40, 1));
    c["spc/seq-negative.spc"] = SpcFileText(Spectrum(30, 0, true));
    c["spc/one-point.spc"] = SpcFileText(Spectrum(1, 1));

    c["peak-lines/three.sp2"] = PeakFileText(seq);
    c["peak-lines/short-lines.sp2"] = "12 0.5 3\r\n40 1.0E-0002 1.5E+0000\r\n";

    c["dat/falling.dat"] = AbsoluteXy(32, false);
    c["dat/rising.dat"] = AbsoluteXy(24, true);

    std::string vdt = "9.5\r\n9.1\r\n";
    for (const double v : kalvex::test::GaussLine(33, 11.0, 2.0, 1e4, 5.0)) {
        vdt += std::to_string(v) + "\r\n";
    }
    c["vdt/peak.vdt"] = vdt;

    using kalvex::test::ProcsFields;
    const std::vector<double> line = kalvex::test::GaussLine(64, 20.0, 3.0, 1e6, -50.0);
    ProcsFields ints;
    ints.Ftsize = "64";
    c["bruker-1r/int32-little.bin"] =
        ProcsSeed(0, ints, kalvex::test::Words(kalvex::test::ToInts(line), Endian::kLittle));
    ProcsFields si = ints;
    si.Ftsize = "0";
    si.Si = "64";
    si.NcProc = "-3";
    c["bruker-1r/int32-big-si.bin"] =
        ProcsSeed(0, si, kalvex::test::Words(kalvex::test::ToInts(line), Endian::kBig));
    ProcsFields doubles = ints;
    doubles.Dtypp = "2";
    doubles.Bytordp = "1";
    c["bruker-1r/float64-big.bin"] = ProcsSeed(0, doubles, kalvex::test::Words(line, Endian::kBig));

    const std::vector<float> spectrum =
        kalvex::test::ToFloats(kalvex::test::GaussLine(50, 17.0, 2.5, 3e3, 1.0));
    c["vnmr-binary/single-big.bin"] =
        ProcparSeed(0, 50, kalvex::test::VnmrDataFile({spectrum}, Endian::kBig));
    // Spectrum 2 of 3, little-endian: flag bit 0 and the number in bits 1-7.
    c["vnmr-binary/arrayed-little.bin"] =
        ProcparSeed(1 | (2 << 1), 50,
                    kalvex::test::VnmrDataFile({spectrum, spectrum, spectrum}, Endian::kLittle));

    // The settings: what the program writes, then the same with other sections, comments and
    // odd values; after the NUL a folder name for the open dialog.
    kalvex::core::IniFile ini;
    kalvex::core::WriteSettings(ini, {}, kalvex::core::Options{}, Document{});
    c["settings/written.ini"] = ini.Text() + std::string(1, '\0') + "/home/a b/spectra ";
    c["settings/edited.ini"] =
        "; edited by hand\r\n[Global]\r\nForm=7\r\nUpper Limit=1E400\r\nX_Axis=\"1\"\r\n"
        "[Least Sqr Fit]\r\nFitting kind=10x\r\nPrecision=-3\r\n[Print]\r\nPaper=2\r\n"
        "[Directory]\r\nPath='/tmp'\r\nobs freq=nan\r\n" +
        std::string(1, '\0') + "\"quoted\"";

    // The fit: two control bytes (see FuzzFit.cpp), then a spectrum with its peaks.
    const std::string spc = SpcFileText(seq);
    c["fit/gauss-all.bin"] = std::string{'\x1c', '\x01'} + spc;      // Gauss, 111, AUTO, 2 it.
    c["fit/lorentz-height.bin"] = std::string{'\x25', '\x03'} + spc;  // Lorentz, 001, Semi
    c["fit/gl-width.bin"] = std::string{'\x8a', '\x42'} + spc;        // G+L, 010 (wL), 3 it.
    c["fit/gl-fraction.bin"] = std::string{'\x43', '\x00'} + spc;     // G+L fraction, Manual
    return c;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

int main(int argc, char** argv) {
    const bool check = argc == 3 && std::string(argv[1]) == "--check";
    if (argc != 2 && !check) {
        std::fprintf(stderr, "usage: kalvex-make-fuzz-corpus [--check] FOLDER\n");
        return 1;
    }
    const fs::path folder = argv[argc - 1];
    const Corpus corpus = MakeCorpus();
    if (!check) {
        for (const auto& [name, bytes] : corpus) {
            fs::create_directories((folder / name).parent_path());
            std::ofstream(folder / name, std::ios::binary) << bytes;
        }
        return 0;
    }
    int differing = 0;
    std::error_code ec;
    for (const auto& entry : fs::recursive_directory_iterator(folder, ec)) {
        if (!entry.is_regular_file()) continue;
        const std::string name = fs::relative(entry.path(), folder).generic_string();
        if (corpus.count(name) == 0) {
            std::fprintf(stderr, "%s is not made by the generator\n", name.c_str());
            ++differing;
        }
    }
    for (const auto& [name, bytes] : corpus) {
        if (ReadAll((folder / name).string()) != bytes) {
            std::fprintf(stderr, "%s/%s is not what the generator writes\n",
                         folder.string().c_str(), name.c_str());
            ++differing;
        }
    }
    return differing == 0 ? 0 : 1;
}
