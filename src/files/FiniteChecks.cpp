#include "files/FiniteChecks.h"

#include <cmath>

#include "core/Error.h"
#include "core/NumberFormat.h"

namespace kalvex::files {

std::string MessageNumber(double value) { return core::FormatGeneral(value); }

void CheckXAxis(double first, double step, std::int32_t n, const char* unit,
                const std::string& path, int line) {
    const double last = first - (n - 1) * step;
    if (std::isfinite(last)) return;
    throw Error(std::string("The X axis (") + unit + ") starting at " + MessageNumber(first) +
                    " and falling by " + MessageNumber(step) + " per point passes the largest " +
                    "number before its point " + std::to_string(n),
                path, line);
}

void CheckObserveFrequency(double step_ppm, double step_hz, const std::string& path, int line) {
    if (step_ppm == 0.0 || std::isfinite(step_hz / step_ppm)) return;
    throw Error("The X steps " + MessageNumber(step_ppm) + " ppm and " + MessageNumber(step_hz) +
                    " Hz give no observe frequency: their ratio passes the largest number",
                path, line);
}

}  // namespace kalvex::files
