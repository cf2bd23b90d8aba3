#include "core/TextToNumber.h"

#include <charconv>
#include <cmath>

#include "core/Error.h"

namespace kalvex::core {

namespace {

std::string_view Trimmed(const std::string& text) {
    std::size_t b = 0;
    std::size_t e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
    std::string_view v(text.data() + b, e - b);
    if (!v.empty() && v.front() == '+') v.remove_prefix(1);
    return v;
}

}  // namespace

double TextToFloat(const std::string& text) {
    const std::string_view v = Trimmed(text);
    double value = 0.0;
    const auto r = std::from_chars(v.data(), v.data() + v.size(), value);
    // from_chars also takes "inf" and "nan", which no dialog field may hold.
    if (v.empty() || r.ec != std::errc() || r.ptr != v.data() + v.size() || !std::isfinite(value)) {
        throw Error("'" + text + "' is not a valid floating point value");
    }
    return value;
}

std::int32_t TextToInt(const std::string& text) {
    const std::string_view v = Trimmed(text);
    std::int32_t value = 0;
    const auto r = std::from_chars(v.data(), v.data() + v.size(), value);
    if (v.empty() || r.ec != std::errc() || r.ptr != v.data() + v.size()) {
        throw Error("'" + text + "' is not a valid integer value");
    }
    return value;
}

bool IsBlank(const std::string& text) { return text.find_first_not_of(" \t") == std::string::npos; }

}  // namespace kalvex::core
