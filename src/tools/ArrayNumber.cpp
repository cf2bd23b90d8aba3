// The spectrum-number dialog's rules and the stepping through an arrayed file.
#include "tools/ArrayNumber.h"

#include "core/Capacities.h"
#include "core/Error.h"
#include "core/TextToNumber.h"
#include "files/VnmrBinary.h"

namespace kalvex::tools {

namespace {

std::optional<int> EntryValue(const std::string& entry) {
    try {
        return core::TextToInt(entry);
    } catch (const Error&) {
        return std::nullopt;
    }
}

}  // namespace

std::string ArrayTotalLabel(int array_count) { return "Total = " + std::to_string(array_count); }

std::string ArrayEntryAfterOk(const std::string& entry) {
    const std::optional<int> value = EntryValue(entry);
    return value && *value == 0 ? std::string("1") : entry;
}

std::optional<int> AcceptedArrayEntry(const std::string& entry, int array_count) {
    const std::optional<int> value = EntryValue(entry);
    if (!value || *value < 0 || *value > core::kMaxSpectra) return std::nullopt;
    if (*value < 1 || *value > array_count) return std::nullopt;
    return value;
}

std::string ArrayEntryComplaint(const std::string& entry, int array_count) {
    if (AcceptedArrayEntry(entry, array_count)) return {};
    const std::string range = ": type 1 to " + std::to_string(array_count);
    if (const std::optional<int> value = EntryValue(entry)) {
        return "There is no spectrum " + std::to_string(*value) + range;
    }
    return "\"" + entry + "\" is not a whole number" + range;
}

int SteppedArrayIndex(int index, int array_count, ArrayStep step, bool seq_saving) {
    if (seq_saving) return index;
    if (step == ArrayStep::kUp) {
        index = index + 1 > array_count ? 1 : index + 1;
    } else {
        index = index < 2 ? array_count : index - 1;
    }
    return index == 0 ? 1 : index;
}

bool StepArraySpectrum(core::Document& doc, ArrayStep step, const core::Options& opts) {
    if (!doc.IsArrayed) return false;
    const int index = SteppedArrayIndex(doc.ArrayIndex, doc.ArrayCount, step, doc.SeqSaving);
    files::ReadArraySpectrum(doc, index, opts);
    return !doc.SeqSaving;
}

}  // namespace kalvex::tools
