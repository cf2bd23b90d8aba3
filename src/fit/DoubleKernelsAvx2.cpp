// The fast fit's loops for processors with AVX2 and FMA; CMake compiles this file alone with
// -mavx2 -mfma and lets it fuse multiplications and additions. Only called after
// CpuHasAvx2Fma() said yes.
#define KALVEX_KERNELS_NAMESPACE avx2
#define KALVEX_KERNELS_LABEL "avx2-fma"
// Sixteen AVX registers hold the eight sums of a 4 x 8 tile and the loaded values.
#define KALVEX_KERNELS_TILE_ROWS 4
#include "fit/DoubleKernelsBody.h"
