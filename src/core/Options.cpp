#include "core/Options.h"

#include "core/Document.h"

namespace kalvex::core {

LineType CurrentLineType(const Options& opts, const Document& doc) {
    if (opts.LGselect == 2) return LineType::kGaussLorentz;
    return doc.PeakKindLorentz ? LineType::kLorentz : LineType::kGauss;
}

}  // namespace kalvex::core
