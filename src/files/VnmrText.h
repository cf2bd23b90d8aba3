// The VnmrJ text export .vdt: first X, last X, then one intensity per line.
#pragma once

#include <string>

#include "core/Document.h"
#include "core/Options.h"
#include "files/OpenCommand.h"

namespace kalvex::files {

/// Reader of .vdt files (signature of SpectrumReader): line 1 the X of point 1, line 2 the
/// X of the last point, then one intensity per line to the end of the file (blank lines at the
/// end add no point). XFirstPpm = XFirstHz = first X; XStepPpm = XStepHz =
/// (first - last) / (N - 1). F_Type = 4. Throws kalvex::Error naming the file for fewer than
/// 2 intensities, a 65,537th one, a token that is not a number, and a flat spectrum.
void ReadVnmrText(core::Document& doc, const std::string& path, const core::Options& opts,
                  const ArrayChooser& choose);

}  // namespace kalvex::files
