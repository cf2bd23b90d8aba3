// Number formats of the dialogs, read-outs, reports and text files.
#pragma once

#include <cstdint>
#include <string>

namespace kalvex::core {

/// nearest(x): the closest integer, halves away from zero.
std::int64_t Nearest(double x);
/// trunc(x): cuts toward zero.
double Trunc(double x);

/// fixed(P,D): the value rounded to P significant digits (and no more than D decimals,
/// halves away from zero), written with exactly D decimals; when the integer part has more
/// than P digits, the general form with P significant digits instead (1.23E4).
std::string FormatFixed(double value, int precision, int decimals);

/// sci(P,D): scientific notation with P significant digits, "E", the exponent's sign and at
/// least D exponent digits (D at most 4): sci(4,2)(1234.5) = "1.235E+03".
std::string FormatSci(double value, int precision, int exponent_digits);

/// general: the shortest form that shows the value, up to 15 significant digits; scientific
/// ("1.5E-6", "1E20") below 0.0001 and from 1E15 on.
std::string FormatGeneral(double value);

/// The real of the text files: 23 characters, a sign position (blank or "-"), one digit, ".",
/// 14 digits, "E", the exponent's sign and 4 digits: 1.5 -> " 1.50000000000000E+0000".
/// Values above 1.79769313486231E+0308 in magnitude are written as that value, since their
/// rounding would pass the largest double and not read back.
std::string FormatReal23(double value);

/// Width of FormatReal23's output.
inline constexpr int kReal23Width = 23;

}  // namespace kalvex::core
