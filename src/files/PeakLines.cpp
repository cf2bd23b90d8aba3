#include "files/PeakLines.h"

#include <cmath>
#include <limits>

#include "core/Error.h"
#include "core/FileSystem.h"
#include "core/NumberFormat.h"
#include "files/FiniteChecks.h"

namespace kalvex::files {

using core::Document;
using core::FormatReal23;

namespace {

constexpr const char* kCrLf = "\r\n";

// Reads one real when the line still has one; a line may stop after any field.
double ReadRealOnLine(core::NumberReader& in) { return in.SeekEoln() ? 0.0 : in.ReadReal(); }

}  // namespace

void ReadPeakLines(core::NumberReader& in, Document& doc) {
    const std::uint8_t before = doc.PeakCount;
    int k = 0;
    try {
        // Trailing blank lines end the table; they must not add an empty peak.
        while (!in.SeekEof()) {
            ++k;
            if (k > core::kMaxPeaks) in.FailRange();
            const int line = in.LineNumber();
            const std::int32_t pos = in.ReadInteger();
            if (pos > 65535) throw RangeCheckError(in.FileName(), line);
            // A peak saved before the start of a narrowed view comes back at point 0,
            // outside the spectrum but still in the table.
            doc.PeakPos[k] = static_cast<std::uint16_t>(pos < 0 ? 0 : pos);
            doc.PeakHeight[k] = in.ReadReal();
            doc.PeakHalfWidth[k] = in.ReadReal();
            doc.PeakHalfWidthG[k] = doc.PeakHalfWidth[k];
            doc.PeakHalfWidthL[k] = doc.PeakHalfWidth[k];
            doc.PeakPosErr[k] = ReadRealOnLine(in);
            doc.PeakHeightErr[k] = ReadRealOnLine(in);
            doc.PeakHalfWidthErr[k] = ReadRealOnLine(in);
            if (k == 1 && !in.SeekEoln()) {
                const double bias = in.ReadReal();
                // The bias is a single: a double beyond its range has no value there.
                if (std::fabs(bias) > std::numeric_limits<float>::max()) {
                    in.Fail("The bias " + MessageNumber(bias) +
                                " is beyond the range of the bias (about 3.4E+38)",
                            line);
                }
                doc.Bias = static_cast<float>(bias);
                doc.BiasFromFile = true;
                if (!in.SeekEoln()) {
                    const char flag = in.ReadChar();
                    doc.PeakKindLorentz = flag == 'T' || flag == 't';
                }
            }
            in.SkipLine();
        }
    } catch (...) {
        doc.PeakCount = before;
        throw;
    }
    doc.PeakCount = static_cast<std::uint8_t>(k);
}

bool ReadPeakFileIfPresent(const std::string& path, Document& doc) {
    if (!core::FileReadable(path)) return false;
    core::NumberReader in = core::NumberReader::Open(path);
    ReadPeakLines(in, doc);
    return true;
}

std::string FormatPeakLine(const Document& doc, int k, int position, bool first) {
    std::string line = std::to_string(position) + " ";
    line += FormatReal23(doc.PeakHeight[k]);
    line += FormatReal23(doc.PeakHalfWidth[k]);
    line += FormatReal23(doc.PeakPosErr[k]);
    line += FormatReal23(doc.PeakHeightErr[k]);
    line += FormatReal23(doc.PeakHalfWidthErr[k]);
    if (first) {
        line += FormatReal23(doc.Bias);
        line += doc.PeakKindLorentz ? " TRUE" : " FALSE";
    }
    line += kCrLf;
    return line;
}

std::string PeakFileText(const Document& doc) {
    std::string text;
    for (int k = 1; k <= doc.PeakCount; ++k) {
        text += FormatPeakLine(doc, k, doc.PeakPos[k] - doc.ViewFirstPoint + 1, k == 1);
    }
    return text;
}

PeakWriteStatus WritePeakFile(const std::string& path, const Document& doc,
                              core::FileTransaction* into) {
    if (doc.PeakCount == 0) return PeakWriteStatus::kNoPeakData;
    core::WriteOrStage(path, PeakFileText(doc), into);
    return PeakWriteStatus::kWritten;
}

std::string CurveTableText(const Document& doc) {
    const int n = doc.PeakCount;
    std::string text =
        "Peak number, X-point(digital point), Normarized-Y, Half-Width, error-X, error-Y, "
        "error-width; 1st-line: Bias & LorG";
    text += kCrLf;
    for (int k = 1; k <= n; ++k) {
        text += "Peak #: " + std::to_string(k) + ", ";
        text += FormatPeakLine(doc, k, doc.PeakPos[k] - doc.ViewFirstPoint + 1, k == 1);
    }
    text += " x data (ppm or Hz),     y data :  Obs.,         #: 1,                  ";
    for (int k = 2; k <= n; ++k) text += " #: " + std::to_string(k) + ",                  ";
    text += "Sum Spectrum; JCAMP type data";
    text += kCrLf;

    const double bias = doc.Bias;
    text.reserve(text.size() + static_cast<std::size_t>(doc.PointCount) * (n + 3) * 24);
    for (int i = 1; i <= doc.PointCount; ++i) {
        const std::size_t e = static_cast<std::size_t>(i - 1);
        text += FormatReal23(doc.XFirstPpm - (i - doc.ViewFirstPoint) * doc.XStepPpm);
        text += ' ';
        text += FormatReal23(doc.ObsY[e] * doc.YScale + doc.YOffset);
        text += ' ';
        for (int k = 1; k <= n; ++k) {
            text += FormatReal23((doc.PeakCurve(k)[e] + bias) * doc.YScale + doc.YOffset);
            text += ' ';
        }
        text += FormatReal23((doc.SumY[e] + bias) * doc.YScale + doc.YOffset);
        text += kCrLf;
    }
    return text;
}

PeakWriteStatus WriteCurveTable(const std::string& path, const Document& doc,
                                core::FileTransaction* into) {
    if (doc.PeakCount == 0) return PeakWriteStatus::kNoPeakData;
    core::WriteOrStage(path, CurveTableText(doc), into);
    return PeakWriteStatus::kWritten;
}

}  // namespace kalvex::files
