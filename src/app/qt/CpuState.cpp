#include "app/qt/CpuState.h"

namespace kalvex::app {

void ClearUpperVectorState() {
#if defined(__x86_64__) || defined(__i386__)
    static const bool has_avx = __builtin_cpu_supports("avx");
    if (has_avx) asm volatile("vzeroupper" ::: "memory");
#endif
}

}  // namespace kalvex::app
