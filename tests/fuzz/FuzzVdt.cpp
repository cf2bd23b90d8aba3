// Fuzz target: the VnmrJ text reader (.vdt), then the window and the writers.
#include <cstdint>

#include "FuzzSupport.h"
#include "core/Error.h"
#include "core/Options.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kalvex;
    const std::string path =
        fuzz::WriteScratch("in.vdt", std::string_view(reinterpret_cast<const char*>(data), size));
    core::Document* doc = nullptr;
    try {
        doc = &fuzz::Open(fuzz::Slot::kInput, path);
    } catch (const Error&) {
        return 0;
    }
    fuzz::CheckOpened(*doc);
    fuzz::ShowOpened(*doc);
    fuzz::CheckWritersReadBack(*doc);
    return 0;
}
