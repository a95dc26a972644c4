// The instruction set the per-frame pixel loops run with: the widest the
// processor has (AVX-512BW, AVX2, SSE2 or plain C++), chosen once at run time,
// and a ceiling callers can lower so that every narrower path can be run too.
#pragma once

enum simd_level { SIMD_PLAIN = 0, SIMD_SSE2 = 1, SIMD_AVX2 = 2, SIMD_AVX512 = 3 };

// The widest level this processor runs.
inline simd_level simd_best(void) {
#if defined(__GNUC__) && defined(__x86_64__)
    static const simd_level best = [] {
        __builtin_cpu_init();  // may run before the library's own start-up code
        if (__builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vl")) return SIMD_AVX512;
        return __builtin_cpu_supports("avx2") ? SIMD_AVX2 : SIMD_SSE2;
    }();
    return best;
#else
    return SIMD_PLAIN;
#endif
}

// The ceiling; the widest level by default.
inline simd_level &simd_ceiling(void) {
    static simd_level ceiling = SIMD_AVX512;
    return ceiling;
}

// The level the loops use: the widest the processor runs, at most the ceiling.
inline simd_level simd_level_in_use(void) {
    simd_level best = simd_best();
    return best < simd_ceiling() ? best : simd_ceiling();
}

// Lowers (or raises back) the ceiling; returns the level now in use.
inline simd_level simd_limit(simd_level ceiling) {
    simd_ceiling() = ceiling;
    return simd_level_in_use();
}
