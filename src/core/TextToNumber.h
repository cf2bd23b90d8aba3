// The conversion of what a user typed into a dialog's edit box into a number.
#pragma once

#include <cstdint>
#include <string>

namespace kalvex::core {

/// The typed text as a real: blanks around it are ignored, "." is the decimal separator,
/// an optional sign and exponent are accepted. Anything else throws kalvex::Error with
/// "'<text>' is not a valid floating point value".
double TextToFloat(const std::string& text);

/// The typed text as a decimal integer (blanks around it ignored). Anything else, or a
/// value outside the 32-bit range, throws kalvex::Error with "'<text>' is not a valid
/// integer value".
std::int32_t TextToInt(const std::string& text);

/// True when the text holds nothing but blanks.
bool IsBlank(const std::string& text);

}  // namespace kalvex::core
