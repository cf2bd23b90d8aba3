// Choosing the build of the fast fit's loops at run time.
#include "fit/DoubleKernels.h"

namespace kalvex::fit {

namespace portable {
const DoubleKernels& Kernels();
}
#if KALVEX_HAVE_AVX2_KERNELS
namespace avx2 {
const DoubleKernels& Kernels();
}
#endif

bool CpuHasAvx2Fma() {
#if KALVEX_HAVE_AVX2_KERNELS
    static const bool has = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    return has;
#else
    return false;
#endif
}

const DoubleKernels* KernelsFor(SimdPath path) {
    switch (path) {
        case SimdPath::kPortable:
            return &portable::Kernels();
        case SimdPath::kAvx2:
        case SimdPath::kBest:
#if KALVEX_HAVE_AVX2_KERNELS
            if (CpuHasAvx2Fma()) return &avx2::Kernels();
#endif
            break;
    }
    return path == SimdPath::kBest ? &portable::Kernels() : nullptr;
}

}  // namespace kalvex::fit
