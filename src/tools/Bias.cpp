// The automatic bias: window means at both ends of the spectrum, in single precision.
#include "tools/Bias.h"

#include <cmath>
#include <cstdint>

#include "core/Extended.h"
#include "core/NumberFormat.h"

namespace kalvex::tools {

namespace {

// Points of one end window [First, Last]; empty when Last < First.
struct Window {
    std::int32_t First;
    std::int32_t Last;
};

std::int32_t MakeOdd(std::int32_t v) { return v % 2 == 0 ? v + 1 : v; }
std::int32_t MakeEven(std::int32_t v) { return v % 2 != 0 ? v - 1 : v; }

std::int32_t TruncFraction(core::Extended fraction, std::int32_t count) {
    return static_cast<std::int32_t>(fraction * static_cast<core::Extended>(count));
}

}  // namespace

float ComputeAutoBias(const core::Document& doc) {
    const std::int32_t c = doc.ViewPointCount;
    const Window windows[2] = {
        {MakeOdd(TruncFraction(0.02L, c)), MakeEven(TruncFraction(0.12L, c))},
        {MakeOdd(TruncFraction(0.88L, c)), MakeEven(TruncFraction(0.98L, c))},
    };
    // The running sum is a 32-bit float rounded after every term, with each term formed in
    // extended precision: the estimate depends on that order, so keep it.
    float acc = 0.0f;
    for (const Window& w : windows) {
        if (w.Last < w.First) continue;
        const core::Extended count = static_cast<core::Extended>(w.Last - w.First + 1);
        for (std::int32_t i = w.First; i <= w.Last; ++i) {
            const core::Extended y = doc.ObsY[static_cast<std::size_t>(i - 1)];
            const core::Extended cut = std::trunc(y * 100000.0L) / 100000.0L;
            acc = static_cast<float>(static_cast<core::Extended>(acc) + cut / count);
        }
    }
    return acc / 2.0f;
}

std::string AutoBiasLabel(const core::Document& doc, float bauto) {
    // YRange is never 0 after an open; a hand-made document with 0 shows the plain value.
    const double g = doc.YRange != 0.0 ? doc.YRange : 1.0;
    return "Auto is " + core::FormatFixed((static_cast<double>(bauto) - doc.YOffset) / g, 5, 4);
}

void ApplyAutoBiasSetting(core::Document& doc, int bias_set, float bauto) {
    if (bias_set == 1 || (bias_set == 2 && !doc.BiasFromFile)) doc.Bias = bauto;
}

}  // namespace kalvex::tools
