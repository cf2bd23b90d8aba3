// The "input Freq" entry and the Hz calibration that follows the observe frequency.
#include "tools/ObsFreq.h"

#include "core/Error.h"
#include "core/NumberFormat.h"
#include "core/TextToNumber.h"

namespace kalvex::tools {

std::string FrequencyEntryText(const core::Document& doc) {
    return core::FormatGeneral(doc.ObsFreq != 1.0 ? doc.ObsFreq : doc.ObsFreqSetting);
}

bool ApplyTypedFrequency(core::Document& doc, const std::string& text) {
    if (core::IsBlank(text)) return false;
    const double mhz = core::TextToFloat(text);
    if (!(mhz > 0.0)) throw Error(kFrequencyNotPositive);
    doc.ObsFreq = mhz;
    doc.ObsFreqSetting = mhz;
    return true;
}

void RecalibrateHz(core::Document& doc) {
    doc.XFirstHz0 = doc.XFirstPpm0 * doc.ObsFreq;
    doc.XStepHz = doc.ObsFreq * doc.XStepPpm;
    doc.XFirstHz = doc.XFirstPpm * doc.ObsFreq;
    doc.RangeFullHz = doc.RangeFullPpm * doc.ObsFreq;
}

std::string MissingFrequencyHint(const core::Document& doc) {
    if (!doc.SpectrumLoaded || doc.ObsFreq != 1.0) return {};
    return "No observe frequency in this file: Hz values, widths and areas are wrong until you "
           "enter one with Tools > input Freq";
}

}  // namespace kalvex::tools
