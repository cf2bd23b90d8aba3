// The observe frequency: the entry's proposal, the typed value, and the Hz calibration after it.
#pragma once

#include <string>

#include "core/Document.h"

namespace kalvex::tools {

/// The message of a frequency that is not above 0 MHz.
inline constexpr const char* kFrequencyNotPositive =
    "The resonance frequency must be a number of MHz above 0";

/// What the frequency entry proposes: general(ObsFreq), or general(ObsFreqSetting) while
/// ObsFreq is exactly 1 (the spectrum carried no frequency).
std::string FrequencyEntryText(const core::Document& doc);

/// OK of the frequency entry: a blank text changes nothing and returns false; a number above 0
/// becomes ObsFreq and ObsFreqSetting (the frequency kept for the next spectrum) and returns
/// true. Throws kalvex::Error for a text that is not a number, or kFrequencyNotPositive for 0
/// or less (Hz = ppm * ObsFreq would collapse or turn round); nothing changes then.
bool ApplyTypedFrequency(core::Document& doc, const std::string& text);

/// The Hz calibration after the entry, whatever its outcome: XFirstHz0 = XFirstPpm0 * ObsFreq,
/// XStepHz = ObsFreq * XStepPpm, and the Hz of the shown first point and of the Range XY
/// dialog's full start follow the ppm ones, so a zoomed view keeps its Hz axis.
void RecalibrateHz(core::Document& doc);

/// The hint that a spectrum carries no observe frequency (ObsFreq exactly 1 with a spectrum
/// open: X-Y text and VnmrJ text files), so its Hz values, widths and areas stay wrong until
/// one is entered; empty otherwise.
std::string MissingFrequencyHint(const core::Document& doc);

}  // namespace kalvex::tools
