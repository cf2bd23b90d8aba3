// The processed Bruker spectrum: 1r data (.1rd, or a file named 1r) with its procs parameters.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/Document.h"
#include "core/Options.h"
#include "files/OpenCommand.h"

namespace kalvex::files {

/// The largest NC_proc, either way, that a 32-bit spectrum can carry.
inline constexpr int kMaxNcProc = 32;

/// Values read from a Bruker processing-parameter file.
struct BrukerParameters {
    std::int32_t PointCount = 0;   ///< FTSIZE, or SI when FTSIZE is 0 or comes too late
    double OffsetPpm = 0.0;        ///< OFFSET: X of point 1, ppm
    double Sf = 0.0;               ///< SF: spectrometer frequency, MHz
    double SwHz = 0.0;             ///< SW_p: spectral width, Hz
    std::int32_t NcProc = 0;       ///< NC_proc: intensity scaling exponent
    std::optional<int> ByteOrder;  ///< BYTORDP: 0 little-endian, 1 big-endian
    int DataType = 0;              ///< DTYPP: 0 32-bit integers, 2 64-bit floats
};

/// The parameter file of a Bruker data file: `procs` in the same folder for a file named
/// exactly "1r", else the same path with the extension ".1rp".
std::string BrukerParameterPath(const std::string& data_path);

/// Reads the parameter file at `path` in three passes over its lines (keys compared on the
/// line's first characters, the blank after "=" included): "##$FTSIZE= " and "##$OFFSET= ",
/// then "##$SI= " when FTSIZE gave no count by OFFSET; "##$SF= " and "##$SW_p" (value after
/// two more characters); "##$NC_proc= ". "##$BYTORDP= " and "##$DTYPP= " are optional.
/// Throws FileNotFound, and kalvex::Error naming the file and the key when a key is missing,
/// a value is not a finite number, SF or SW_p is 0, the point count is outside 2..65,536,
/// NC_proc is outside -kMaxNcProc..kMaxNcProc or DTYPP is neither 0 nor 2.
BrukerParameters ReadBrukerParameters(const std::string& path);

/// Reader of Bruker 1r data (signature of SpectrumReader): N signed 32-bit integers (DTYPP
/// 0) or 64-bit floats (DTYPP 2). Byte order: little-endian when opts.x86cpu; else BYTORDP
/// when the parameter file gives it; else big-endian when the first six integers read
/// little-endian add up to more than 1,000,000,000 in absolute value. XStepHz = SW / (N - 1),
/// XStepPpm = SW / SF / (N - 1), XFirstPpm = OFFSET, XFirstHz = OFFSET * SF; F_Type = 3.
/// After the common normalisation YScale = (max - min) * (ln 10)^NC_proc. Throws
/// kalvex::Error naming the file when the data file holds fewer than N values and when that
/// YScale is not a finite normal number (64-bit data at the ends of the doubles).
void ReadBruker1r(core::Document& doc, const std::string& path, const core::Options& opts,
                  const ArrayChooser& choose);

}  // namespace kalvex::files
