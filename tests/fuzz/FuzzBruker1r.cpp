// Fuzz target: Bruker 1r data with its parameter file. The input is a flag byte (bit 0: the
// "x86 CPU" option), the procs text, a NUL and the data file's bytes.
#include <cstdint>

#include "FuzzSupport.h"
#include "core/Options.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kalvex;
    if (size == 0) return 0;
    core::Options opts;
    opts.x86cpu = (data[0] & 1) != 0;
    const auto [procs, bytes] = fuzz::SplitAtNul(data + 1, size - 1);
    fuzz::WriteScratch("in.1rp", procs);
    const std::string path = fuzz::WriteScratch("in.1rd", bytes);
    fuzz::OpenAndCheck(path, opts);
    return 0;
}
