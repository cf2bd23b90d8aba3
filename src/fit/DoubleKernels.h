// The loops of the fast (double-precision) fit: curves, Jacobian columns, the normal matrix's
// block products and the model sum, built once for AVX2/FMA and once for any x86-64.
#pragma once

#include <cstddef>

namespace kalvex::fit {

/// A block of Jacobian rows as the products read it: columns in strips of eight, each strip
/// row by row (one cache line a row), so that a product of two strips reads both straight
/// through. Element (x, c) is at Data[(c / 8) * Rows * 8 + x * 8 + c % 8].
struct StripPanel {
    static constexpr int kStep = 8;  ///< from one row of a column to the next
    double* Data = nullptr;
    int Rows = 0;
    double* Column(int c) const {
        return Data + static_cast<std::size_t>(c / kStep) * static_cast<std::size_t>(Rows) * kStep +
               c % kStep;
    }
};

/// Which build of the loops a fast fit uses.
enum class SimdPath {
    kBest,      ///< AVX2/FMA where the processor has both, else the portable build
    kPortable,  ///< the baseline x86-64 (SSE2) build
    kAvx2,      ///< the AVX2/FMA build; only where the processor has it
};

/// Per-peak constants of a Gauss+Lorentz curve: value(d) = a_gauss * 2^-(d inv_wg)^2 +
/// a_lorentz / (wl2 + d^2), a term with a zero factor left out.
struct GLCurveTerms {
    double InvWg = 0.0;
    double AGauss = 0.0;    ///< area * (1 - f) / (wG sqrt(pi / ln 2))
    double ALorentz = 0.0;  ///< area * f * wL / pi
    double Wl2 = 0.0;       ///< wL^2
    bool Gauss = false;
    bool Lorentz = false;
};

/// Which Gauss+Lorentz derivative a column holds.
enum class GLColumnKind { kPosition, kWidthL, kWidthG, kArea, kFraction };

/// Per-peak constants of the Gauss+Lorentz derivatives (see FitModel::BuildJacobianBlock),
/// with G = 2^-(d inv_wg)^2 and L = 1 / (1 + (d inv_wl)^2) (a width that is not defined has
/// inverse 0 and every factor of its term 0).
struct GLColumnTerms {
    GLColumnKind Kind = GLColumnKind::kArea;
    double InvWg = 0.0, InvWl = 0.0;
    double Cg = 0.0, Cl = 0.0;         ///< S = Cg G + Cl L
    double PosG = 0.0, PosL = 0.0;     ///< position: PosG G v + PosL L^2 o
    double WlA = 0.0, WlB = 0.0;       ///< wL: WlA (2 o^2 L^2 - L) + WlB S
    double WgA = 0.0, WgB = 0.0;       ///< wG: WgA G (2 ln2 v^2 - 1) + WgB S
    double DAreaF = 0.0, AreaF = 0.0;  ///< f: DAreaF S + AreaF (L InvGl - G InvGg)
    double InvGl = 0.0, InvGg = 0.0;
};

/// One build of the loops. Every function works on elements [lo, hi) or on `rows` rows of a
/// block, writes only its outputs, and gives the same result on every call with the same
/// inputs. Builds differ in their last bits (FMA).
struct DoubleKernels {
    const char* Name;  ///< "avx2-fma" or "portable"

    /// out[i] = height * s(u), u = (d0 + i) inv_w; Gauss s = 2^-u^2, Lorentz s = 1 / (1 + u^2).
    void (*Curve)(double* out, int lo, int hi, double d0, double inv_w, double height,
                  bool lorentz);
    /// out[i] = the Gauss+Lorentz value at d = d0 + i.
    void (*CurveGL)(double* out, int lo, int hi, double d0, const GLCurveTerms& t);
    /// The first of the values of v[0..count-1] with the smallest magnitude (count >= 1).
    double (*SmallestMagnitude)(const double* v, int count);
    /// v[i] = (v[i] - m) * factor for i in [lo, hi).
    void (*Rescale)(double* v, int lo, int hi, double m, double factor);

    /// The Gauss or Lorentz derivatives of rows 0..rows-1, d = d0 + row, row x of a column at
    /// element x * step: position, half width and height (all three written).
    void (*Columns)(double* pos, double* width, double* height, int step, int rows, double d0,
                    double inv_w, double pos_factor, bool lorentz);
    /// One Gauss+Lorentz derivative column of rows 0..rows-1, d = d0 + row, row x at x * step.
    void (*ColumnGL)(double* out, int step, int rows, double d0, const GLColumnTerms& t);
    /// Whether the column c[x * step], x = 0..rows-1, is 0 at every row (bit 0) and holds a
    /// value that is not finite (bit 1).
    int (*ColumnFlags)(const double* c, int step, int rows);
    /// For the first `count` columns of `panel` (the later ones of their strip 0):
    /// acc[i * acc_stride + j] += sum over the rows, in order, of J[x][a] J[x][b], for
    /// i = live[a], j = live[b], b >= a. Pairs with b < a may be added to as well; they mean
    /// nothing.
    void (*BlockProducts)(const StripPanel& panel, const int* live, int count, double* acc,
                          std::size_t acc_stride);

    /// r[i] = obs[i] - (sum over k of curves[k * stride + i], in peak order) - bias.
    void (*Residuals)(const double* curves, std::size_t stride, int peaks, const double* obs,
                      double bias, double* r, int lo, int hi);
    /// Sum of r[i]^2 over 0..n-1, in four lanes (i mod 4) added as (0 + 1) + (2 + 3).
    double (*SquaredSum)(const double* r, int n);
};

/// True when the processor runs AVX2 and FMA instructions.
bool CpuHasAvx2Fma();

/// The loops of `path`; nullptr for kAvx2 on a processor without it (or a build without it).
const DoubleKernels* KernelsFor(SimdPath path);

}  // namespace kalvex::fit
