// Reads Bruker 1r data: the three passes over the procs keys, byte order, the NC_proc scale.
#include "files/Bruker1r.h"

#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <type_traits>
#include <utility>
#include <vector>

#include "core/Capacities.h"
#include "core/Error.h"
#include "core/FileSystem.h"
#include "core/NumberReader.h"
#include "files/FiniteChecks.h"
#include "files/XyText.h"

namespace kalvex::files {

namespace {

struct Line {
    int Number;
    std::string Text;
};

std::vector<Line> ReadLines(const std::string& path) {
    core::NumberReader in = core::NumberReader::Open(path);
    std::vector<Line> lines;
    while (!in.Eof()) {
        const int number = in.LineNumber();
        lines.push_back({number, in.ReadLine()});
    }
    return lines;
}

bool StartsWith(const std::string& text, const char* key) {
    return text.compare(0, std::strlen(key), key) == 0;
}

std::string Quoted(const char* key) { return std::string("\"") + key + "\""; }

// The number after the first `skip` characters of a parameter line.
template <typename T>
T ValueAfter(const Line& line, std::size_t skip, const char* key, const std::string& path) {
    core::NumberReader value(line.Text.size() > skip ? line.Text.substr(skip) : std::string(), path,
                             line.Number);
    if (value.SeekEof()) throw Error("The key " + Quoted(key) + " has no value", path, line.Number);
    if constexpr (std::is_integral_v<T>) {
        return value.ReadInteger();
    } else {
        return value.ReadReal();
    }
}

template <typename T>
T ValueOf(const Line& line, const char* key, const std::string& path) {
    return ValueAfter<T>(line, std::strlen(key), key, path);
}

[[noreturn]] void FailMissing(const std::string& what, const std::string& path) {
    throw Error("The parameter file has no " + what, path);
}

std::string FormatNumber(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%g", v);
    return buf;
}

constexpr const char* kFtsize = "##$FTSIZE= ";
constexpr const char* kOffset = "##$OFFSET= ";
constexpr const char* kSi = "##$SI= ";
constexpr const char* kSf = "##$SF= ";
constexpr const char* kSwP = "##$SW_p";
constexpr const char* kNcProc = "##$NC_proc= ";
constexpr const char* kBytordp = "##$BYTORDP= ";
constexpr const char* kDtypp = "##$DTYPP= ";

std::int64_t FileSize(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) throw FileNotFound(path);
    return static_cast<std::int64_t>(st.st_size);
}

std::uint64_t Word(const unsigned char* b, int bytes, bool little_endian) {
    std::uint64_t w = 0;
    for (int i = 0; i < bytes; ++i) {
        const unsigned char byte = little_endian ? b[bytes - 1 - i] : b[i];
        w = (w << 8) | byte;
    }
    return w;
}

std::int32_t IntWord(const unsigned char* b, bool little_endian) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(Word(b, 4, little_endian)));
}

double DoubleWord(const unsigned char* b, bool little_endian) {
    const std::uint64_t w = Word(b, 8, little_endian);
    double d = 0.0;
    std::memcpy(&d, &w, sizeof d);
    return d;
}

// A float value of the magnitude a spectrum holds; byte-swapped doubles are mostly tiny,
// huge or not numbers at all.
bool Plausible(double v) {
    const double a = std::fabs(v);
    return std::isfinite(v) && (a == 0.0 || (a > 1e-30 && a < 1e30));
}

bool LittleEndianData(const std::vector<unsigned char>& bytes, std::int32_t n, int word_bytes,
                      const BrukerParameters& par, const core::Options& opts) {
    if (opts.x86cpu) return true;
    if (par.ByteOrder) return *par.ByteOrder == 0;
    const int probe = n < 6 ? n : 6;
    if (word_bytes == 4) {
        double sum = 0.0;
        for (int i = 0; i < probe; ++i)
            sum += std::fabs(static_cast<double>(IntWord(&bytes[4 * i], true)));
        return sum <= 1e9;
    }
    int little = 0;
    int big = 0;
    for (int i = 0; i < probe; ++i) {
        little += Plausible(DoubleWord(&bytes[8 * i], true));
        big += Plausible(DoubleWord(&bytes[8 * i], false));
    }
    return little >= big;
}

}  // namespace

std::string BrukerParameterPath(const std::string& data_path) {
    if (core::FileNameOf(data_path) == "1r") {
        const std::string folder = core::FolderOf(data_path);
        return folder.empty() ? std::string("procs") : folder + "/procs";
    }
    return core::ReplaceExtension(data_path, ".1rp");
}

BrukerParameters ReadBrukerParameters(const std::string& path) {
    const std::vector<Line> lines = ReadLines(path);
    BrukerParameters par;

    // Pass 1: the point count and OFFSET. SI counts only when FTSIZE gave nothing by OFFSET.
    bool n_found = false;
    bool offset_seen = false;
    bool ftsize_seen = false;
    bool si_found = false;
    for (const Line& line : lines) {
        if (!offset_seen || n_found) {
            if (StartsWith(line.Text, kFtsize)) {
                ftsize_seen = true;
                par.PointCount = ValueOf<std::int32_t>(line, kFtsize, path);
                n_found = par.PointCount != 0;
            } else if (StartsWith(line.Text, kOffset)) {
                par.OffsetPpm = ValueOf<double>(line, kOffset, path);
                offset_seen = true;
                if (n_found) break;
            }
        } else if (StartsWith(line.Text, kSi)) {
            par.PointCount = ValueOf<std::int32_t>(line, kSi, path);
            si_found = true;
            break;
        }
    }
    if (!offset_seen) FailMissing("key " + Quoted(kOffset), path);
    if (!n_found && !si_found) {
        FailMissing(std::string("point count: ") +
                        (ftsize_seen ? Quoted(kFtsize) + " is 0 or comes after " + Quoted(kOffset)
                                     : Quoted(kFtsize) + " is missing") +
                        ", and no " + Quoted(kSi) + " follows " + Quoted(kOffset),
                    path);
    }

    // Pass 2: SF, then SW_p, which ends the pass.
    bool sf_seen = false;
    bool sw_seen = false;
    for (const Line& line : lines) {
        if (StartsWith(line.Text, kSf)) {
            par.Sf = ValueOf<double>(line, kSf, path);
            sf_seen = true;
        } else if (StartsWith(line.Text, kSwP)) {
            if (line.Text.compare(7, 2, "= ") != 0) {
                throw Error("The line of " + Quoted(kSwP) + " does not go on with \"= \"", path,
                            line.Number);
            }
            par.SwHz = ValueAfter<double>(line, 9, kSwP, path);
            sw_seen = true;
            break;
        }
    }
    if (!sw_seen) FailMissing("key " + Quoted("##$SW_p= "), path);
    if (!sf_seen) FailMissing("key " + Quoted(kSf) + " before " + Quoted("##$SW_p= "), path);

    // Pass 3: NC_proc.
    bool nc_seen = false;
    for (const Line& line : lines) {
        if (StartsWith(line.Text, kNcProc)) {
            par.NcProc = ValueOf<std::int32_t>(line, kNcProc, path);
            // The exponent says how far the 32-bit words were shifted to hold the spectrum;
            // a shift past the word's own 32 bits comes from no real spectrum, and the scale
            // it gives soon passes the largest number or vanishes.
            if (par.NcProc < -kMaxNcProc || par.NcProc > kMaxNcProc) {
                throw Error("NC_proc = " + std::to_string(par.NcProc) + " lies outside " +
                                std::to_string(-kMaxNcProc) + ".." + std::to_string(kMaxNcProc) +
                                ", the scaling a 32-bit spectrum can have",
                            path, line.Number);
            }
            nc_seen = true;
            break;
        }
    }
    if (!nc_seen) FailMissing("key " + Quoted(kNcProc), path);

    // Byte order and data type, written by every current spectrometer program.
    for (const Line& line : lines) {
        if (StartsWith(line.Text, kBytordp)) {
            const int order = ValueOf<std::int32_t>(line, kBytordp, path);
            if (order == 0 || order == 1) par.ByteOrder = order;
        } else if (StartsWith(line.Text, kDtypp)) {
            par.DataType = ValueOf<std::int32_t>(line, kDtypp, path);
        }
    }

    if (par.PointCount < 2 || par.PointCount > core::kMaxPoints) {
        throw Error("The parameter file gives a point count of " + std::to_string(par.PointCount) +
                        "; a spectrum has 2 to " + std::to_string(core::kMaxPoints) + " points",
                    path);
    }
    if (!(par.Sf > 0.0) || !std::isfinite(par.Sf)) {
        throw Error("The spectrometer frequency SF is " + FormatNumber(par.Sf) +
                        " MHz; the ppm axis needs a frequency above 0",
                    path);
    }
    if (!(par.SwHz > 0.0) || !std::isfinite(par.SwHz)) {
        throw Error("The spectral width SW_p is " + FormatNumber(par.SwHz) +
                        " Hz; the axis needs a width above 0",
                    path);
    }
    if (par.DataType != 0 && par.DataType != 2) {
        throw Error("DTYPP = " + std::to_string(par.DataType) +
                        ": only 32-bit integer (0) and 64-bit float (2) data can be read",
                    path);
    }
    return par;
}

void ReadBruker1r(core::Document& doc, const std::string& path, const core::Options& opts,
                  const ArrayChooser& /*choose*/) {
    const std::int64_t size = FileSize(path);
    const std::string par_path = BrukerParameterPath(path);
    const BrukerParameters par = ReadBrukerParameters(par_path);
    const std::int32_t n = par.PointCount;
    const int word_bytes = par.DataType == 2 ? 8 : 4;

    const std::int64_t needed = std::int64_t{n} * word_bytes;
    if (size < needed) {
        throw Error("The data file holds " + std::to_string(size / word_bytes) +
                        " values; its parameter file declares " + std::to_string(n),
                    path);
    }
    std::vector<unsigned char> bytes(static_cast<std::size_t>(needed));
    std::ifstream in(path, std::ios::binary);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(needed));
    if (!in || in.gcount() != static_cast<std::streamsize>(needed)) {
        throw Error("The data file could not be read to its end", path);
    }

    const bool little = LittleEndianData(bytes, n, word_bytes, par, opts);
    for (std::int32_t i = 0; i < n; ++i) {
        const unsigned char* b = bytes.data() + static_cast<std::size_t>(i) * word_bytes;
        doc.ObsY[static_cast<std::size_t>(i)] =
            word_bytes == 4 ? static_cast<double>(IntWord(b, little)) : DoubleWord(b, little);
    }

    doc.XFirstPpm = par.OffsetPpm;
    doc.XStepHz = par.SwHz / (n - 1);
    doc.XStepPpm = par.SwHz / par.Sf / (n - 1);
    doc.XFirstHz = doc.XFirstPpm * par.Sf;
    doc.F_Type = static_cast<int>(core::FileType::kBruker1r);
    // The calibration is the parameter file's alone.
    CheckXAxis(doc.XFirstPpm, doc.XStepPpm, n, "ppm", par_path);
    CheckXAxis(doc.XFirstHz, doc.XStepHz, n, "Hz", par_path);
    FinishImport(doc, n, path);
    // The intensity scale is (ln 10)^NC_proc, not 2^NC_proc: stored .spc files and reports
    // carry this value, so it stays.
    const double scale = doc.YScale * std::exp(par.NcProc * std::log(std::log(10.0)));
    // 64-bit float data can span nearly every double, so their scale may still pass the ends.
    if (!std::isnormal(scale)) {
        throw Error("The intensity range " + MessageNumber(doc.YScale) +
                        " scaled by NC_proc = " + std::to_string(par.NcProc) + " gives " +
                        MessageNumber(scale) + ", no usable intensity scale",
                    path);
    }
    doc.YScale = scale;
}

}  // namespace kalvex::files
