// Fuzz target: VnmrJ binary spectra with their parameter listing, arrayed ones included. The
// input is a flag byte (bit 0: the "x86 CPU" option; bits 1-7: the spectrum chosen in an
// arrayed file), the procpar text, a NUL and the data file's bytes.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "FuzzSupport.h"
#include "core/Error.h"
#include "core/Options.h"
#include "files/VnmrBinary.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kalvex;
    if (size == 0) return 0;
    core::Options opts;
    opts.x86cpu = (data[0] & 1) != 0;
    const int chosen = data[0] >> 1;
    const auto [procpar, bytes] = fuzz::SplitAtNul(data + 1, size - 1);
    fuzz::WriteScratch("in.vnp", procpar);
    const std::string path = fuzz::WriteScratch("in.vnj", bytes);
    core::Document* opened = fuzz::OpenAndCheck(path, opts, [chosen](int) { return chosen; });
    if (opened == nullptr) return 0;
    core::Document& doc = *opened;
    if (doc.IsArrayed) {
        // Stepping to another spectrum of the file, as the array up-down does.
        const std::vector<double> before(doc.ObsY.begin(), doc.ObsY.begin() + doc.PointCount);
        const int index = doc.ArrayIndex;
        try {
            files::ReadArraySpectrum(doc, doc.ArrayCount + 1 - doc.ArrayIndex, opts);
        } catch (const Error&) {
            if (!std::equal(before.begin(), before.end(), doc.ObsY.begin()) ||
                doc.ArrayIndex != index) {
                fuzz::Fail("a refused re-read changed the document");
            }
            return 0;
        }
        fuzz::CheckOpened(doc);
    }
    return 0;
}
