// The fast fit's loops for any x86-64 processor (SSE2), the build every machine can run.
#define KALVEX_KERNELS_NAMESPACE portable
#define KALVEX_KERNELS_LABEL "portable"
// Sixteen SSE registers hold the eight sums of a 2 x 8 tile and the loaded values.
#define KALVEX_KERNELS_TILE_ROWS 2
#include "fit/DoubleKernelsBody.h"
