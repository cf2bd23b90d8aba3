// The X-Y text reader and writer, and the normalisation every foreign reader ends with.
#include "files/XyText.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/Capacities.h"
#include "core/Error.h"
#include "core/FileSystem.h"
#include "core/NumberFormat.h"
#include "core/NumberReader.h"
#include "files/FiniteChecks.h"

namespace kalvex::files {

using core::Document;

double NormaliseIntensities(double* values, std::int32_t n, const std::string& path,
                            const int* lines) {
    auto where = [lines](std::int32_t i) {
        return lines != nullptr ? "line " + std::to_string(lines[i])
                                : "point " + std::to_string(i + 1);
    };
    std::int32_t lo_at = 0;
    std::int32_t hi_at = 0;
    for (std::int32_t i = 0; i < n; ++i) {
        const double v = values[i];
        if (!std::isfinite(v)) {
            throw Error("The intensity " + MessageNumber(v) + " of point " + std::to_string(i + 1) +
                            " is not a finite number; the file cannot be shown",
                        path, lines != nullptr ? lines[i] : 0);
        }
        if (v < values[lo_at]) lo_at = i;
        if (v > values[hi_at]) hi_at = i;
    }
    const double lo = values[lo_at];
    const double hi = values[hi_at];
    const double range = hi - lo;
    // Values near both ends of the doubles have a range no double holds.
    if (!std::isfinite(range)) {
        throw Error("The intensities " + MessageNumber(lo) + " (" + where(lo_at) + ") and " +
                        MessageNumber(hi) + " (" + where(hi_at) +
                        ") are further apart than the largest number; the spectrum cannot be "
                        "normalised",
                    path, lines != nullptr ? std::max(lines[lo_at], lines[hi_at]) : 0);
    }
    // Equal values leave nothing to normalise by: the range would divide every point by 0.
    if (!(range > 0.0)) {
        throw Error("The spectrum is flat (all " + std::to_string(n) +
                        " values are equal); it has no intensity scale",
                    path);
    }
    for (std::int32_t i = 0; i < n; ++i) values[i] = (values[i] - lo) / range;
    return range;
}

void FinishImport(Document& doc, std::int32_t n, const std::string& path, const int* lines) {
    if (n < 2) {
        throw Error("The file holds " + std::to_string(n) + (n == 1 ? " point" : " points") +
                        "; a spectrum needs at least 2",
                    path);
    }
    CheckXAxis(doc.XFirstPpm, doc.XStepPpm, n, "ppm", path);
    CheckXAxis(doc.XFirstHz, doc.XStepHz, n, "Hz", path);
    doc.YScale = NormaliseIntensities(doc.ObsY.data(), n, path, lines);
    doc.PointCount = doc.ViewPointCount = doc.RangeFullCount = n;
    doc.YOffset = 0.0;
    doc.SpcExtra = 0.0;
    doc.XFirstPpm0 = doc.RangeFullPpm = doc.XFirstPpm;
    doc.XFirstHz0 = doc.RangeFullHz = doc.XFirstHz;
}

void FailTooManyPoints(const std::string& path, int line) {
    throw Error("Range check error: the file holds more than " + std::to_string(core::kMaxPoints) +
                    " points, the most a spectrum can have",
                path, line);
}

void ReadXyText(Document& doc, const std::string& path, const core::Options& /*opts*/,
                const ArrayChooser& /*choose*/) {
    core::NumberReader in = core::NumberReader::Open(path);
    if (in.SeekEof()) throw Error("The file holds no X-Y data", path);

    double x1 = 0.0;
    double x2 = 0.0;
    double x_last = 0.0;
    std::int32_t n = 0;
    std::vector<int> lines;
    // Blank lines after the last point are no points.
    while (!in.SeekEof()) {
        if (n == core::kMaxPoints) FailTooManyPoints(path, in.LineNumber());
        lines.push_back(in.LineNumber());
        x_last = in.ReadReal();
        doc.ObsY[static_cast<std::size_t>(n)] = in.ReadReal();
        in.SkipLine();
        if (n == 0) x1 = x_last;
        if (n == 1) x2 = x_last;
        ++n;
    }
    doc.XFirstPpm = x1;
    doc.XStepPpm = std::fabs(x2 - x1);
    if (n >= 2 && x2 > x1) {
        // X rises through the file: point 1 is its last line, so that X falls with the point
        // number as everywhere else and every point keeps its own X. The step spans the whole
        // file, since the X of neighbouring lines is often rounded.
        std::reverse(doc.ObsY.begin(), doc.ObsY.begin() + n);
        std::reverse(lines.begin(), lines.end());
        doc.XFirstPpm = x_last;
        doc.XStepPpm = (x_last - x1) / (n - 1);
    }
    doc.XFirstHz = doc.XFirstPpm;
    doc.XStepHz = doc.XStepPpm;
    doc.F_Type = static_cast<int>(core::FileType::kDat);
    FinishImport(doc, n, path, lines.data());
}

std::string XyTextFileText(const Document& doc) {
    std::string text;
    text.reserve(static_cast<std::size_t>(doc.ViewPointCount) * 49);
    for (std::int32_t j = 0; j < doc.ViewPointCount; ++j) {
        const std::int32_t p = doc.ViewFirstPoint + j;
        const double x = doc.XFirstPpm - j * doc.XStepPpm;
        const double y = doc.ObsY[static_cast<std::size_t>(p - 1)] * doc.YScale + doc.YOffset;
        text += core::FormatReal23(x);
        text += ' ';
        text += core::FormatReal23(y);
        text += "\r\n";
    }
    return text;
}

void WriteXyTextFile(const std::string& path, const Document& doc, core::FileTransaction* into) {
    core::WriteOrStage(path, XyTextFileText(doc), into);
}

}  // namespace kalvex::files
