// Reads the VnmrJ text export.
#include "files/VnmrText.h"

#include <vector>

#include "core/Capacities.h"
#include "core/Error.h"
#include "core/NumberReader.h"
#include "files/XyText.h"

namespace kalvex::files {

void ReadVnmrText(core::Document& doc, const std::string& path, const core::Options& /*opts*/,
                  const ArrayChooser& /*choose*/) {
    core::NumberReader in = core::NumberReader::Open(path);
    if (in.SeekEof()) throw Error("The file holds no VnmrJ text data", path);
    const double x_first = in.ReadReal();
    in.SkipLine();
    const double x_last = in.ReadReal();
    in.SkipLine();

    std::int32_t n = 0;
    std::vector<int> lines;
    // Blank lines after the last intensity are no points.
    while (!in.SeekEof()) {
        if (n == core::kMaxPoints) FailTooManyPoints(path, in.LineNumber());
        lines.push_back(in.LineNumber());
        doc.ObsY[static_cast<std::size_t>(n)] = in.ReadReal();
        in.SkipLine();
        ++n;
    }
    if (n < 2) {
        throw Error("The file holds " + std::to_string(n) +
                        (n == 1 ? " intensity" : " intensities") +
                        " after its two X lines; a spectrum needs at least 2",
                    path);
    }
    doc.XFirstPpm = doc.XFirstHz = x_first;
    doc.XStepPpm = doc.XStepHz = (x_first - x_last) / (n - 1);
    doc.F_Type = static_cast<int>(core::FileType::kVnmrText);
    FinishImport(doc, n, path, lines.data());
}

}  // namespace kalvex::files
