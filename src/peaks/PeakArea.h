// Peak areas with their fit errors, the total, and the texts the dialog and the report show.
#pragma once

#include "core/Document.h"
#include "core/Options.h"

#include <string>

namespace kalvex::peaks {

/// The plus-minus of dialog texts: the Latin-1 byte 0xB1 and a blank (the GUI converts
/// with Latin-1; text files write "+-" instead).
inline constexpr const char* kPlusMinus = "\xB1 ";

/// The integral type in force: the Options "Integral Type" (0 "Area", 1 "Compatible"),
/// except that the Gauss+Lorentz line type always integrates as "Area".
int EffectiveIntType(core::LineType type, int int_type);

/// Area A of one peak and its fit error E, in Hz x intensity (Gauss, Lorentz) or normalised
/// area x YScale (Gauss+Lorentz).
struct AreaWithError {
    double A = 0.0;
    double E = 0.0;
};

/// A and E of peak k (1..30) for the line type and integral type given. A is the peak integral
/// of the line shapes; E propagates the height and width errors (and, for Gauss+Lorentz, the
/// fraction error, which is absolute). E is never negative. Reads the peak table, XStepHz and
/// YScale.
AreaWithError AreaOfPeak(const core::Document& doc, core::LineType type, int int_type, int k);

/// Total area T: the peak integral summed over peaks 1..PeakCount (0 without peaks).
double TotalArea(const core::Document& doc, core::LineType type, int int_type);

/// The decimal exponent of the area text: the integer part of log10|a| when |a| > 1, one less
/// otherwise (so 1 gets -1 and 0.1 gets -2, a mantissa of 10.000). a must be finite, not 0.
int AreaExponent(double a);

/// `IntegArea`: " ( " + fixed(6,3)(A/10^e) + plus-minus + fixed(6,4)(E/10^e) + " )*10^" + e.
/// An area of exactly 0 has no exponent: " ( 0 " + plus-minus + "0 )", or with the error as
/// sci(4,2) when it is not 0. A non-finite area is written without exponent.
std::string IntegAreaText(double a, double e);

/// `TotalArea`: sci(4,2)(t), e.g. "1.235E+03".
std::string TotalAreaText(double t);

/// `Percnt`: fixed(4,2)(|a / t * 100|) + "%"; empty when t is 0 (no share of nothing).
std::string PercentText(double a, double t);

}  // namespace kalvex::peaks
