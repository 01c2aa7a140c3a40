#include "core/base/vector_state.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define KVX_VZEROUPPER 1
#elif defined(_M_X64)
#include <immintrin.h>
#include <intrin.h>
#define KVX_VZEROUPPER 1
#endif

namespace kvx {

#ifdef KVX_VZEROUPPER
namespace {

// VZEROUPPER is an AVX instruction: only where the processor and the system
// have AVX.
#if defined(__GNUC__)
bool hasAvx() {
    return __builtin_cpu_supports("avx");
}

__attribute__((target("avx"))) void zeroUpper() {
    _mm256_zeroupper();
}
#else
bool hasAvx() {
    int info[4];
    __cpuid(info, 1);
    const bool osSaves = (info[2] & (1 << 27)) != 0;
    const bool avx = (info[2] & (1 << 28)) != 0;
    return osSaves && avx && (_xgetbv(0) & 0x6) == 0x6;
}

void zeroUpper() {
    _mm256_zeroupper();
}
#endif

} // namespace
#endif

void clearUpperVectorState() {
#ifdef KVX_VZEROUPPER
    static const bool avx = hasAvx();
    if (avx)
        zeroUpper();
#endif
}

} // namespace kvx
