// The Gauss, Lorentz and Gauss+Lorentz curve generators, the model sum and the peak integrals.
#pragma once

#include <cstdint>

#include "core/Document.h"
#include "core/Options.h"

namespace kalvex::fit {

/// Gauss (lorentz = false) or Lorentz curve of one peak for points x = 1..count into
/// shape[0..count-1] (point x at element x-1), followed by the edge rescale. All points are
/// evaluated. A zero half width or a zero (height - m) leaves the curve all 0.
/// Gauss: height * exp(-ln2 * u^2); Lorentz: height / (1 + u^2); u = (x - centre) / half_width
/// in points. count is 0..65536; nothing beyond element count-1 is touched.
void FillPeakCurve(double* shape, std::uint16_t centre, std::int32_t count, double half_width,
                   double height, bool lorentz);

/// Gauss+Lorentz curve, same buffer convention, rescale keeping `height`:
/// area * [(1 - f) * unit-area Gaussian of half width half_width_g + f * unit-area Lorentzian
/// of half width half_width_l]. A component whose weight is 0 (f = 1 or f = 0) is left out,
/// so its width may be 0; a zero width of a weighted component leaves the curve all 0.
void FillPeakCurveGL(double* shape, std::uint16_t centre, std::int32_t count, double half_width_g,
                     double half_width_l, double height, double area, double fraction_l);

/// The same curves over points first..first+count-1 (point x at element x - first), rescaled
/// over those points: what the fit uses when its range does not start at point 1.
/// FillPeakCurve(shape, c, n, ...) is FillPeakCurveRange(shape, c, 1, n, ...).
void FillPeakCurveRange(double* shape, std::uint16_t centre, std::int32_t first, std::int32_t count,
                        double half_width, double height, bool lorentz);
void FillPeakCurveGLRange(double* shape, std::uint16_t centre, std::int32_t first,
                          std::int32_t count, double half_width_g, double half_width_l,
                          double height, double area, double fraction_l);

/// Value at the centre of a Gauss+Lorentz curve of unit area:
/// (1 - f) / (wG * sqrt(pi / ln2)) + f / (pi * wL), a term of weight 0 left out (so f = 1 needs
/// no Gaussian width). A zero width of a weighted term gives +inf (so area = height / it = 0).
double CentreDensityGL(double half_width_g, double half_width_l, double fraction_l);

/// In Gauss+Lorentz mode every peak's area follows its height: PeakAreaGL[k] := PeakHeight[k] /
/// CentreDensityGL(wG, wL, f) for k = 1..PeakCount (what a redraw stores before drawing).
void DeriveAreasGL(core::Document& doc);

/// Synthesises every peak 1..PeakCount over all PointCount points into doc.PeakCurve(k) and the
/// running sum into doc.SumY, in peak order (in Gauss+Lorentz mode first PeakAreaGL[k] := height /
/// CentreDensityGL); returns the squared sum of residues sum over p of (ObsY - SumY - Bias)^2.
/// This is what every redraw (the plot) and the .sp3 writer use. With no peaks SumY is 0 over
/// the spectrum and the result is the squared sum of ObsY - Bias. Needs allocated buffers.
double SynthesiseModel(core::Document& doc, core::LineType type);

/// Peak integral of peak k: by line type and the Options "Integral Type" (0 "Area", 1
/// "Compatible"). Gauss "Area": sqrt(pi/ln2) H w XStepHz YScale; Lorentz "Area": pi H w XStepHz
/// YScale; "Compatible": 2 H w XStepHz YScale; Gauss+Lorentz (always "Area"): PeakAreaGL[k] *
/// YScale.
double PeakIntegral(const core::Document& doc, core::LineType type, int int_type, int k);

}  // namespace kalvex::fit
