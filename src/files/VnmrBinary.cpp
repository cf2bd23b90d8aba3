// Reads VnmrJ binary spectra: the parameter listing, the block layout, arrayed files.
#include "files/VnmrBinary.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <vector>

#include "core/Assert.h"
#include "core/Capacities.h"
#include "core/Error.h"
#include "core/FileSystem.h"
#include "core/NumberReader.h"
#include "files/FiniteChecks.h"
#include "files/XyText.h"

namespace kalvex::files {

namespace {

constexpr std::int64_t kFileHeaderBytes = 32;
constexpr std::int64_t kBlockHeaderBytes = 28;

bool StartsWith(const std::string& line, const char* prefix) {
    return line.compare(0, std::strlen(prefix), prefix) == 0;
}

// The value on a parameter's value line: skip the count and its blank (two characters).
double ParseValueLine(const std::string& line, const std::string& path, int line_number,
                      const char* name) {
    core::NumberReader value(line.size() > 2 ? line.substr(2) : std::string(), path, line_number);
    if (value.SeekEof()) {
        throw Error(std::string("The parameter \"") + name + "\" has no value", path, line_number);
    }
    return value.ReadReal();
}

std::int64_t FileSize(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) throw FileNotFound(path);
    return static_cast<std::int64_t>(st.st_size);
}

std::int64_t SpectrumBytes(std::int32_t n) { return kBlockHeaderBytes + 4 * std::int64_t{n}; }

// Byte offset of the first float of spectrum k (1-based).
std::int64_t DataOffset(std::int32_t n, int k) {
    return kFileHeaderBytes + (k - 1) * SpectrumBytes(n) + kBlockHeaderBytes;
}

// Reads the n floats of spectrum k into out[0..n-1]; the caller has checked the file size.
void ReadSpectrumValues(const std::string& path, std::int32_t n, int k, bool little_endian,
                        double* out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw FileNotFound(path);
    std::vector<unsigned char> bytes(static_cast<std::size_t>(n) * 4);
    in.seekg(DataOffset(n, k));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (in.gcount() != static_cast<std::streamsize>(bytes.size())) {
        throw Error("The file ends inside spectrum " + std::to_string(k), path);
    }
    for (std::int32_t i = 0; i < n; ++i) {
        const unsigned char* b = bytes.data() + 4 * static_cast<std::size_t>(i);
        const std::uint32_t word = little_endian
                                       ? (std::uint32_t{b[0]} | std::uint32_t{b[1]} << 8 |
                                          std::uint32_t{b[2]} << 16 | std::uint32_t{b[3]} << 24)
                                       : (std::uint32_t{b[3]} | std::uint32_t{b[2]} << 8 |
                                          std::uint32_t{b[1]} << 16 | std::uint32_t{b[0]} << 24);
        float f = 0.0f;
        std::memcpy(&f, &word, sizeof f);
        if (!std::isfinite(f)) {
            throw Error("Point " + std::to_string(i + 1) + " of spectrum " + std::to_string(k) +
                            " is not a finite number (" + MessageNumber(f) +
                            "): the data may have the other byte order "
                            "(Options: \"Set integer type to x86 CPU\")",
                        path);
        }
        out[i] = f;
    }
}

std::string FormatNumber(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", v);
    return buf;
}

std::string SizeText(std::int64_t bytes) { return std::to_string(bytes) + " bytes"; }

}  // namespace

VnmrParameters ReadVnmrParameters(const std::string& path) {
    core::NumberReader in = core::NumberReader::Open(path);
    VnmrParameters p;
    double fn = -1.0;
    bool sfrq_seen = false;
    bool sw_seen = false;
    // The listing is in alphabetical order, so fn, rfl and rfp come before sfrq and sw.
    while (!in.Eof() && !(p.Sfrq > 1.0 && p.Sw > 0.01)) {
        const std::string name_line = in.ReadLine();
        const char* name = nullptr;
        // "reffrq" is not read: its value is not used, so it cannot fail the open either.
        for (const char* key : {"fn ", "rfl ", "rfp ", "sfrq", "sw "}) {
            if (StartsWith(name_line, key)) name = key;
        }
        if (name == nullptr) continue;
        const int line_number = in.LineNumber();
        if (in.Eof()) {
            throw Error(std::string("The parameter \"") + name + "\" has no value line", path,
                        line_number);
        }
        const double v = ParseValueLine(in.ReadLine(), path, line_number, name);
        if (std::strcmp(name, "fn ") == 0) fn = v;
        if (std::strcmp(name, "rfl ") == 0) p.Rfl = v;
        if (std::strcmp(name, "rfp ") == 0) p.Rfp = v;
        if (std::strcmp(name, "sfrq") == 0) {
            p.Sfrq = v;
            sfrq_seen = true;
        }
        if (std::strcmp(name, "sw ") == 0) {
            p.Sw = v;
            sw_seen = true;
        }
    }
    if (!(p.Sfrq > 1.0)) {
        throw Error(sfrq_seen
                        ? "The observe frequency sfrq is " + FormatNumber(p.Sfrq) +
                              " MHz; it must be above 1 MHz"
                        : std::string("The parameter \"sfrq\" (observe frequency) is missing"),
                    path);
    }
    if (!(p.Sw > 0.01)) {
        throw Error(sw_seen ? "The spectral width sw is " + FormatNumber(p.Sw) +
                                  " Hz; it must be above 0.01 Hz"
                            : std::string("The parameter \"sw\" (spectral width) is missing"),
                    path);
    }
    if (fn < 0.0) {
        throw Error("The parameter \"fn\" (number of data words) is missing before sfrq and sw",
                    path);
    }
    const double n = std::trunc(fn / 2.0);
    if (!(n >= 2.0 && n <= core::kMaxPoints)) {
        throw Error("fn = " + FormatNumber(fn) + " gives a point count of " + FormatNumber(n) +
                        "; a spectrum has 2 to " + std::to_string(core::kMaxPoints) + " points",
                    path);
    }
    p.PointCount = static_cast<std::int32_t>(n);
    return p;
}

void ReadVnmrBinary(core::Document& doc, const std::string& path, const core::Options& opts,
                    const ArrayChooser& choose) {
    const std::int64_t size = FileSize(path);
    const std::string par_path = core::ReplaceExtension(path, ".vnp");
    const VnmrParameters par = ReadVnmrParameters(par_path);
    const std::int32_t n = par.PointCount;

    if (size < DataOffset(n, 1) + 4 * std::int64_t{n}) {
        throw Error("The file holds " + SizeText(size) + ", fewer than one spectrum of " +
                        std::to_string(n) + " points (" +
                        SizeText(DataOffset(n, 1) + 4 * std::int64_t{n}) + ")",
                    path);
    }
    int index = 1;
    const std::int64_t words = std::llround(static_cast<double>(size) / 4.0);
    if (words > n + 15) {
        // Count whole blocks: dividing the size by 4N alone also counts the block headers
        // and overstates the number of spectra when they are short.
        const std::int64_t count = (size - kFileHeaderBytes) / SpectrumBytes(n);
        const std::int64_t rest = (size - kFileHeaderBytes) % SpectrumBytes(n);
        if (rest != 0) {
            throw Error("The file size (" + SizeText(size) + ") is not that of whole spectra of " +
                            std::to_string(n) + " points: it holds " + std::to_string(count) +
                            " and " + SizeText(rest) +
                            " more; it is cut short or is not a processed spectrum",
                        path);
        }
        if (count > core::kMaxSpectra) {
            throw Error("Range check error: the file holds " + std::to_string(count) +
                            " spectra; at most " + std::to_string(core::kMaxSpectra) +
                            " can be read",
                        path);
        }
        index = choose ? choose(static_cast<int>(count)) : 1;
        if (index < 1 || index > count) {
            throw Error("There is no spectrum number " + std::to_string(index) +
                            "; the file holds spectra 1 to " + std::to_string(count),
                        path);
        }
        doc.IsArrayed = true;
        doc.ArrayCount = static_cast<std::uint8_t>(count);
        doc.ArrayIndex = static_cast<std::uint8_t>(index);
    } else {
        doc.IsArrayed = false;
    }

    ReadSpectrumValues(path, n, index, opts.x86cpu, doc.ObsY.data());
    doc.XFirstPpm = (par.Sw - (par.Rfl - par.Rfp)) / par.Sfrq;
    doc.XFirstHz = doc.XFirstPpm * par.Sfrq;
    doc.XStepPpm = par.Sw / par.Sfrq / (n - 1);
    doc.XStepHz = par.Sw / (n - 1);
    doc.F_Type = static_cast<int>(core::FileType::kVnmrBinary);
    // The calibration is the parameter file's alone.
    CheckXAxis(doc.XFirstPpm, doc.XStepPpm, n, "ppm", par_path);
    CheckXAxis(doc.XFirstHz, doc.XStepHz, n, "Hz", par_path);
    FinishImport(doc, n, path);
}

void ReadArraySpectrum(core::Document& doc, int index, const core::Options& opts) {
    KALVEX_ASSERT(doc.Allocated());
    const std::string& path = doc.SpectrumFileName;
    const std::int32_t n = doc.PointCount;
    const int count = doc.IsArrayed ? doc.ArrayCount : 1;
    if (index < 1 || index > count) {
        throw Error("There is no spectrum number " + std::to_string(index) +
                        "; the file holds spectra 1 to " + std::to_string(count),
                    path);
    }
    const std::int64_t size = FileSize(path);
    if (n < 2 || size < DataOffset(n, index) + 4 * std::int64_t{n}) {
        throw Error("The file no longer holds spectrum " + std::to_string(index) + " of " +
                        std::to_string(n) + " points",
                    path);
    }
    std::vector<double> values(static_cast<std::size_t>(n));
    ReadSpectrumValues(path, n, index, opts.x86cpu, values.data());
    const double scale = NormaliseIntensities(values.data(), n, path);

    std::copy(values.begin(), values.end(), doc.ObsY.begin());
    doc.YScale = scale;
    doc.YOffset = 0.0;
    doc.YRange = 1.0;
    doc.SpcExtra = 0.0;
    doc.ArrayIndex = static_cast<std::uint8_t>(index);
}

}  // namespace kalvex::files
