#include "files/SpcFile.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "core/Error.h"
#include "core/FileSystem.h"
#include "core/NumberFormat.h"
#include "core/NumberReader.h"
#include "files/FiniteChecks.h"

namespace kalvex::files {

using core::Document;
using core::FormatReal23;

namespace {

constexpr const char* kCrLf = "\r\n";

void ApplyAutoMagnification(Document& doc, const core::Options& opts) {
    doc.YOffset = 0.0;
    doc.YRange = 1.0;
    if (!opts.magnify_enable) return;
    const auto first = doc.ObsY.begin();
    const auto [lo, hi] = std::minmax_element(first, first + doc.PointCount);
    const double range = *hi - *lo;
    // A flat spectrum has nothing to magnify; a zero range would divide every height by zero.
    if (range > 0.9 || range <= 0.0) return;
    doc.YOffset = *lo;
    doc.YRange = range;
}

}  // namespace

void ReadSpcFile(Document& doc, const std::string& path, const core::Options& opts) {
    core::NumberReader in = core::NumberReader::Open(path);

    const std::int32_t count = in.ReadInteger();
    if (count > core::kMaxPoints) in.FailRange();
    if (count < 1) {
        throw Error(
            "The file declares " + std::to_string(count) + " points; a spectrum needs at least 1",
            path, 1);
    }
    in.SkipLine();
    doc.PointCount = doc.ViewPointCount = doc.RangeFullCount = count;

    const int axis_line = in.LineNumber();
    doc.XFirstPpm = in.ReadReal();
    doc.XStepPpm = in.ReadReal();
    doc.XFirstHz = in.ReadReal();
    doc.XStepHz = in.ReadReal();
    CheckXAxis(doc.XFirstPpm, doc.XStepPpm, count, "ppm", path, axis_line);
    CheckXAxis(doc.XFirstHz, doc.XStepHz, count, "Hz", path, axis_line);
    CheckObserveFrequency(doc.XStepPpm, doc.XStepHz, path, axis_line);
    in.SkipLine();

    doc.YScale = in.ReadReal();
    // A blank after YScale is not a second value: only a number on the line is.
    doc.SpcExtra = in.SeekEoln() ? 0.0 : in.ReadReal();
    in.SkipLine();

    doc.XFirstPpm0 = doc.RangeFullPpm = doc.XFirstPpm;
    doc.XFirstHz0 = doc.RangeFullHz = doc.XFirstHz;

    std::vector<int> lines(static_cast<std::size_t>(count));
    auto read_value = [&](std::int32_t i) {
        if (in.SeekEof()) {
            throw Error("The file ends after " + std::to_string(i) + " of its " +
                            std::to_string(count) + " intensity values",
                        path, in.LineNumber());
        }
        const int line = in.LineNumber();
        lines[static_cast<std::size_t>(i)] = line;
        const double v = in.ReadReal();
        // The bias, a single, lives in the same units and is estimated from these values.
        if (std::fabs(v) > std::numeric_limits<float>::max()) {
            throw Error("The intensity " + MessageNumber(v) + " of point " + std::to_string(i + 1) +
                            " is beyond the range of the bias in the same units (about 3.4E+38)",
                        path, line);
        }
        doc.ObsY[static_cast<std::size_t>(i)] = v;
    };
    read_value(0);
    // The layout is told by the first intensity line: a line end right after the value
    // means one value per line.
    if (in.Eoln()) {
        doc.F_Type = static_cast<int>(core::FileType::kSpcCol);
        in.SkipLine();
        for (std::int32_t i = 1; i < count; ++i) {
            read_value(i);
            in.SkipLine();
        }
    } else {
        doc.F_Type = static_cast<int>(core::FileType::kSpcSeq);
        for (std::int32_t i = 1; i < count; ++i) read_value(i);
        in.SkipLine();
    }

    ApplyAutoMagnification(doc, opts);
    // Every output writes v * YScale + YOffset: each must stay a finite number.
    for (std::int32_t i = 0; i < count; ++i) {
        const double v = doc.ObsY[static_cast<std::size_t>(i)];
        if (std::isfinite(v * doc.YScale + doc.YOffset)) continue;
        throw Error("The intensity " + MessageNumber(v) + " of point " + std::to_string(i + 1) +
                        " times the scale " + MessageNumber(doc.YScale) +
                        " passes the largest number",
                    path, lines[static_cast<std::size_t>(i)]);
    }

    if (!in.SeekEof()) ReadPeakLines(in, doc);
}

std::string SpcFileText(const Document& doc) {
    std::string text = std::to_string(doc.ViewPointCount) + kCrLf;
    text += FormatReal23(doc.XFirstPpm) + " " + FormatReal23(doc.XStepPpm) + " " +
            FormatReal23(doc.XFirstHz) + " " + FormatReal23(doc.XStepHz) + kCrLf;
    text += FormatReal23(doc.YScale) + " " + FormatReal23(doc.SpcExtra) + kCrLf;

    const bool seq = doc.F_Type == static_cast<int>(core::FileType::kSpcSeq);
    text.reserve(text.size() + static_cast<std::size_t>(doc.ViewPointCount) * 25);
    for (std::int32_t p = doc.ViewFirstPoint; p <= doc.ViewLastPoint(); ++p) {
        text += FormatReal23(doc.ObsY[static_cast<std::size_t>(p - 1)]);
        if (!seq) text += kCrLf;
    }
    if (seq) text += kCrLf;

    bool first = true;
    for (int k = 1; k <= doc.PeakCount; ++k) {
        const int pos = doc.PeakPos[k];
        if (pos < doc.ViewFirstPoint || pos > doc.ViewLastPoint()) continue;
        text += FormatPeakLine(doc, k, pos - doc.ViewFirstPoint + 1, first);
        first = false;
    }
    return text;
}

PeakWriteStatus SaveSpectrum(const std::string& path, const Document& doc,
                             core::FileTransaction* into) {
    // Any other target (an imported spectrum, or a .dat chosen by Save as) gets its peak file
    // beside it: for an imported spectrum that is beside the spectrum itself.
    if (core::ExtensionOf(path) != ".spc") {
        return WritePeakFile(core::ReplaceExtension(path, ".sp2"), doc, into);
    }
    core::WriteOrStage(path, SpcFileText(doc), into);
    return PeakWriteStatus::kWritten;
}

}  // namespace kalvex::files
