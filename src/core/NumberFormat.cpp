#include "core/NumberFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace kalvex::core {

namespace {

// A decimal value 0.d1d2d3... x 10^Exponent; Digits holds no trailing zeros and is empty
// for zero.
struct Decimal {
    bool Negative = false;
    std::string Digits;
    int Exponent = 0;
};

// The 18 significant digits of the value, exactly rounded by the C library. Every later
// rounding works on these decimal digits, so halves are decided on the decimal expansion.
Decimal ToDecimal(double value) {
    Decimal d;
    d.Negative = std::signbit(value);
    if (value == 0.0) return d;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17Le", static_cast<long double>(std::fabs(value)));
    // buf: d.ddddddddddddddddde[+-]XX
    d.Digits.push_back(buf[0]);
    const char* p = buf + 2;
    while (*p >= '0' && *p <= '9') d.Digits.push_back(*p++);
    d.Exponent = std::atoi(p + 1) + 1;
    while (!d.Digits.empty() && d.Digits.back() == '0') d.Digits.pop_back();
    return d;
}

// Keeps at most `keep` digits, rounding the rest half away from zero.
void RoundToDigits(Decimal& d, int keep) {
    if (static_cast<int>(d.Digits.size()) <= keep) return;
    if (keep < 0) {
        d.Digits.clear();
        return;
    }
    const bool up = d.Digits[static_cast<std::size_t>(keep)] >= '5';
    d.Digits.resize(static_cast<std::size_t>(keep));
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.Digits[static_cast<std::size_t>(i)] == '9') {
            d.Digits[static_cast<std::size_t>(i)] = '0';
            --i;
        }
        if (i >= 0) {
            ++d.Digits[static_cast<std::size_t>(i)];
        } else {
            d.Digits.insert(d.Digits.begin(), '1');
            ++d.Exponent;
        }
    }
    while (!d.Digits.empty() && d.Digits.back() == '0') d.Digits.pop_back();
}

Decimal Rounded(double value, int significant, int decimals) {
    Decimal d = ToDecimal(value);
    if (d.Digits.empty()) return d;
    RoundToDigits(d, std::min(significant, d.Exponent + decimals));
    return d;
}

char DigitAt(const Decimal& d, int i) {
    return (i >= 0 && i < static_cast<int>(d.Digits.size())) ? d.Digits[static_cast<std::size_t>(i)]
                                                             : '0';
}

// Special values are written the way the number reader takes them back.
bool FormatSpecial(double value, std::string& out) {
    if (std::isnan(value)) {
        out = "NAN";
        return true;
    }
    if (std::isinf(value)) {
        out = value < 0 ? "-INF" : "INF";
        return true;
    }
    return false;
}

std::string FormatGeneralPrecision(double value, int precision) {
    std::string special;
    if (FormatSpecial(value, special)) return special;
    Decimal d = Rounded(value, precision, 9999);
    if (d.Digits.empty()) return "0";
    std::string out = d.Negative ? "-" : "";
    const int n = static_cast<int>(d.Digits.size());
    if (d.Exponent > precision || d.Exponent < -3) {
        out += d.Digits[0];
        if (n > 1) {
            out += '.';
            out.append(d.Digits, 1, std::string::npos);
        }
        out += 'E';
        const int e = d.Exponent - 1;
        if (e < 0) out += '-';
        out += std::to_string(std::abs(e));
        return out;
    }
    if (d.Exponent <= 0) {
        out += "0.";
        out.append(static_cast<std::size_t>(-d.Exponent), '0');
        out += d.Digits;
        return out;
    }
    for (int i = 0; i < d.Exponent; ++i) out += DigitAt(d, i);
    if (n > d.Exponent) {
        out += '.';
        out.append(d.Digits, static_cast<std::size_t>(d.Exponent), std::string::npos);
    }
    return out;
}

}  // namespace

std::int64_t Nearest(double x) { return static_cast<std::int64_t>(std::round(x)); }

double Trunc(double x) { return std::trunc(x); }

std::string FormatFixed(double value, int precision, int decimals) {
    std::string special;
    if (FormatSpecial(value, special)) return special;
    const Decimal d = Rounded(value, precision, decimals);
    if (d.Exponent > precision) return FormatGeneralPrecision(value, precision);
    // A value that rounds to zero shows no minus sign.
    std::string out = (d.Negative && !d.Digits.empty()) ? "-" : "";
    if (d.Exponent <= 0 || d.Digits.empty()) {
        out += '0';
    } else {
        for (int i = 0; i < d.Exponent; ++i) out += DigitAt(d, i);
    }
    if (decimals > 0) {
        out += '.';
        const int first = d.Digits.empty() ? 0 : d.Exponent;
        for (int i = 0; i < decimals; ++i) out += DigitAt(d, first + i);
    }
    return out;
}

std::string FormatSci(double value, int precision, int exponent_digits) {
    std::string special;
    if (FormatSpecial(value, special)) return special;
    exponent_digits = std::clamp(exponent_digits, 0, 4);
    const Decimal d = Rounded(value, precision, 9999);
    std::string out = (d.Negative && !d.Digits.empty()) ? "-" : "";
    out += DigitAt(d, 0);
    if (precision > 1) {
        out += '.';
        for (int i = 1; i < precision; ++i) out += DigitAt(d, i);
    }
    const int e = d.Digits.empty() ? 0 : d.Exponent - 1;
    out += 'E';
    out += e < 0 ? '-' : '+';
    std::string digits = std::to_string(std::abs(e));
    if (static_cast<int>(digits.size()) < exponent_digits) {
        digits.insert(0, static_cast<std::size_t>(exponent_digits) - digits.size(), '0');
    }
    out += digits;
    return out;
}

std::string FormatGeneral(double value) { return FormatGeneralPrecision(value, 15); }

std::string FormatReal23(double value) {
    std::string text;
    if (FormatSpecial(value, text)) {
        text.insert(0, static_cast<std::size_t>(kReal23Width) - text.size(), ' ');
        return text;
    }
    // The 15 digits of the largest doubles round up past the largest double, which no reader
    // takes back: write the largest 15-digit value below it instead.
    constexpr double kLargestWritable = 1.79769313486231e308;
    if (std::fabs(value) > kLargestWritable) value = std::copysign(kLargestWritable, value);
    // Zero, negative zero included, keeps a blank sign position so it stays a separator.
    text = FormatSci(value, 15, 4);
    return text[0] == '-' ? text : " " + text;
}

}  // namespace kalvex::core
