// The VnmrJ binary spectrum .vnj with its parameter listing .vnp, single or arrayed.
#pragma once

#include <cstdint>
#include <string>

#include "core/Document.h"
#include "core/Options.h"
#include "files/OpenCommand.h"

namespace kalvex::files {

/// Calibration values read from a VnmrJ parameter listing.
struct VnmrParameters {
    std::int32_t PointCount = 0;  ///< fn / 2, truncated
    double Rfl = 0.0;             ///< reference value "rfl", Hz; 0 when absent
    double Rfp = 0.0;             ///< reference value "rfp", Hz; 0 when absent
    double Sfrq = 0.0;            ///< observe frequency "sfrq", MHz
    double Sw = 0.0;              ///< spectral width "sw", Hz
};

/// Reads the parameter listing at `path` line by line until both an sfrq above 1 and an sw
/// above 0.01 have been read; a parameter's name line starts with its name and a blank, its
/// value follows on the next line after the count and a blank. Throws FileNotFound, and
/// kalvex::Error naming the file for a missing fn, sfrq or sw (also when 0), a value that is
/// not a number, and point counts outside 2..65,536.
VnmrParameters ReadVnmrParameters(const std::string& path);

/// Reader of .vnj files (signature of SpectrumReader); the parameters come from the file of
/// the same name with the extension ".vnp". XFirstPpm = (sw - (rfl - rfp)) / sfrq, XStepPpm =
/// sw / sfrq / (N - 1), XStepHz = sw / (N - 1), XFirstHz = XFirstPpm * sfrq; F_Type = 5.
/// Words are big-endian unless opts.x86cpu declares them little-endian. A file of more than
/// N + 15 words is arrayed: IsArrayed = true, ArrayCount = the number of whole spectra it
/// holds (32-byte file header, then per spectrum a 28-byte block header and N floats), and
/// `choose` (spectrum 1 when empty) gives ArrayIndex. A single spectrum leaves ArrayIndex
/// alone. Throws kalvex::Error naming the file for a file shorter than one spectrum, a size
/// that is not whole spectra, more than 255 spectra, a chosen number outside 1..ArrayCount,
/// a float that is not a finite number (the message suggests the other byte order), and a
/// flat spectrum.
void ReadVnmrBinary(core::Document& doc, const std::string& path, const core::Options& opts,
                    const ArrayChooser& choose);

/// Re-reads spectrum `index` (1-based; 1..ArrayCount when IsArrayed, else 1) of the open file
/// doc.SpectrumFileName, PointCount floats, into ObsY and renormalises it: YScale = max - min
/// of the samples, every value (v - min) / YScale, YOffset = 0, YRange = 1, SpcExtra = 0;
/// ArrayIndex = index. Calibration, view and peaks are kept. Byte order as ReadVnmrBinary.
/// On failure (kalvex::Error: file gone or shorter, flat spectrum, index out of range) the
/// document is left unchanged. Used by the array stepping, Sequential Save and batch fits.
void ReadArraySpectrum(core::Document& doc, int index, const core::Options& opts);

}  // namespace kalvex::files
