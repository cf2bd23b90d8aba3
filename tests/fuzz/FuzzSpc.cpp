// Fuzz target: the .spc reader with its embedded peak lines, then what the window and the
// writers do with what it accepted.
#include <cstdint>

#include "FuzzSupport.h"
#include "core/Error.h"
#include "core/Options.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kalvex;
    const std::string path =
        fuzz::WriteScratch("in.spc", std::string_view(reinterpret_cast<const char*>(data), size));
    core::Document* doc = nullptr;
    try {
        doc = &fuzz::Open(fuzz::Slot::kInput, path);
    } catch (const Error&) {
        return 0;  // refused with a message: what a reader must do with bad input
    }
    fuzz::CheckOpened(*doc);
    fuzz::ShowOpened(*doc);
    fuzz::CheckWritersReadBack(*doc);
    return 0;
}
