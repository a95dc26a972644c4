// The instruction set the per-frame pixel and sample loops run with: the
// widest the processor has, chosen once at run time, under a ceiling callers
// can lower so that every narrower path can be run too; and the one way those
// loops are written. A fast path is a template body `template <int Level>`
// whose wider parts sit under `if constexpr (Level >= ...)`; SIMD_CLONES
// compiles that body once per level for that level's instruction set, and
// name_clone() hands back the copy for the level in use. Kernels written by
// hand for one level carry that level's SIMD_FOR_... attribute.
//
// All x86 vector code hangs on SIMD_X86: true only on x86-64 with GCC or
// clang and when the build leaves RIVO_SIMD on (undefined counts as on).
// Without it there is no x86 header, no target attribute and no clone but
// the plain one, and simd_best() is SIMD_PLAIN.
#pragma once

#if !defined(RIVO_SIMD)
#define RIVO_SIMD 1
#endif

#if RIVO_SIMD && defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define SIMD_X86 1
#include <immintrin.h>
#else
#define SIMD_X86 0
#endif

// The levels, each including those below it. SIMD_SSE2 is SSE2 with SSSE3
// (its byte shuffles); SIMD_AVX512 is AVX-512 F, VL, BW and DQ.
enum simd_level { SIMD_PLAIN = 0, SIMD_SSE2 = 1, SIMD_AVX2 = 2, SIMD_AVX512 = 3 };

// The one place that asks the processor what it has: the widest level it runs.
inline simd_level simd_best(void) {
#if SIMD_X86
    static const simd_level best = [] {
        __builtin_cpu_init();  // may run before the library's own start-up code
        if (!__builtin_cpu_supports("sse2") || !__builtin_cpu_supports("ssse3")) return SIMD_PLAIN;
        if (!__builtin_cpu_supports("avx2")) return SIMD_SSE2;
        if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") &&
            __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512dq"))
            return SIMD_AVX512;
        return SIMD_AVX2;
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

// The instruction set of each level's code. SSE2 itself is part of every
// x86-64 processor, so kernels that use nothing newer need no attribute.
// GCC keeps auto-vectorised loops to 256 bits unless told otherwise; clang
// has no such switch.
#if SIMD_X86
#define SIMD_FOR_SSE2 __attribute__((target("sse2,ssse3")))
#define SIMD_FOR_AVX2 __attribute__((target("avx2")))
#if defined(__clang__)
#define SIMD_FOR_AVX512 __attribute__((target("avx512f,avx512vl,avx512bw,avx512dq")))
#else
#define SIMD_FOR_AVX512 __attribute__((target("avx512f,avx512vl,avx512bw,avx512dq,prefer-vector-width=512")))
#endif

// One function of a set of per-level copies, the one for the level in use.
template <typename F>
inline F simd_pick(F plain, F sse2, F avx2, F avx512) {
    switch (simd_level_in_use()) {
    case SIMD_AVX512: return avx512;
    case SIMD_AVX2: return avx2;
    case SIMD_SSE2: return sse2;
    default: return plain;
    }
}

// The copies of body<Level> (a function template: ret body(params), called
// with args) for each level, every call inside them inlined so that it too is
// compiled for the level; name_clone() picks one.
#define SIMD_CLONES(name, body, ret, params, args)                                                      \
    static ret name##_plain params { return body<SIMD_PLAIN> args; }                                  \
    SIMD_FOR_SSE2 __attribute__((flatten)) static ret name##_sse2 params { return body<SIMD_SSE2> args; } \
    SIMD_FOR_AVX2 __attribute__((flatten)) static ret name##_avx2 params { return body<SIMD_AVX2> args; } \
    SIMD_FOR_AVX512 __attribute__((flatten)) static ret name##_avx512 params {                          \
        return body<SIMD_AVX512> args;                                                                   \
    }                                                                                                    \
    [[maybe_unused]] static ret(*name##_clone(void)) params {                                            \
        return simd_pick(name##_plain, name##_sse2, name##_avx2, name##_avx512);                         \
    }
#else
#define SIMD_CLONES(name, body, ret, params, args)                      \
    static ret name##_plain params { return body<SIMD_PLAIN> args; }  \
    [[maybe_unused]] static ret(*name##_clone(void)) params { return name##_plain; }
#endif
