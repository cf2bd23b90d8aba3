// The spectrum number of an arrayed file: the Input_array_number rules and the up-down stepping.
#pragma once

#include <optional>
#include <string>

#include "core/Document.h"
#include "core/Options.h"

namespace kalvex::tools {

/// The text vj1_edit is preset to.
inline constexpr const char* kArrayEntryPreset = "1";

/// The vj1_label text: "Total = " followed by the number of spectra.
std::string ArrayTotalLabel(int array_count);

/// The entry after the dialog's OK button: an entry of 0 becomes "1"; any other text stays.
std::string ArrayEntryAfterOk(const std::string& entry);

/// The spectrum number an entry asks for, when it is an integer 0..255 (blanks around it
/// allowed) inside 1..array_count; std::nullopt otherwise, and the dialog is shown again.
std::optional<int> AcceptedArrayEntry(const std::string& entry, int array_count);

/// What the dialog says above an entry it asks again for: empty when AcceptedArrayEntry takes
/// it, else why not and which numbers it takes ("There is no spectrum 9: type 1 to 5").
std::string ArrayEntryComplaint(const std::string& entry, int array_count);

/// A click on one arrow of array_updown.
enum class ArrayStep { kUp, kDown };

/// The spectrum number after a click: up gives index + 1, and 1 after array_count; down gives
/// index - 1, and array_count when index was below 2; an index of 0 becomes 1. While a
/// Sequential Save runs (seq_saving), the index it chose is returned unchanged.
int SteppedArrayIndex(int index, int array_count, ArrayStep step, bool seq_saving);

/// The whole step for an arrayed document (nothing happens for another): the new number by
/// SteppedArrayIndex, then that spectrum re-read and renormalised by files::ReadArraySpectrum
/// (which sets ArrayIndex). Returns true when the window must refresh, num_array show
/// ArrayIndex and NormG the new YScale: after a step outside a Sequential Save. Throws
/// kalvex::Error when the spectrum cannot be read; the document is then unchanged.
bool StepArraySpectrum(core::Document& doc, ArrayStep step, const core::Options& opts);

}  // namespace kalvex::tools
