// Fuzz target for a text spectrum reader: built once per extension (.spc with its peak lines,
// .dat, .vdt), which KALVEX_FUZZ_EXTENSION names. The input is the file.
#include <cstdint>

#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path =
        kalvex::fuzz::WriteScratch(std::string("in") + KALVEX_FUZZ_EXTENSION,
                                   std::string_view(reinterpret_cast<const char*>(data), size));
    kalvex::fuzz::OpenAndCheck(path);
    return 0;
}
