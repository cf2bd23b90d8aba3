// Clears the upper halves of the vector registers after Qt's drawing code.
#pragma once

namespace kalvex::app {

/// Qt's raster engine runs AVX code and may return with the upper halves of the vector
/// registers dirty. The core libraries are built for plain SSE, and every SSE instruction
/// after that pays for the dirty state: a redraw took 2.5 times as long. Call this after Qt
/// has drawn and before numerical work (synthesis, fitting). Does nothing on a processor
/// without AVX.
void ClearUpperVectorState();

}  // namespace kalvex::app
