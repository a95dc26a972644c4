// The argument sweep the extreme-value tests share: every argument of a call
// alone, then every pair of arguments, takes each value of a list of extremes
// (the 32-bit ends, -1, 0, 1 and the values around the record's size) while
// the others keep a harmless base value. Run under UndefinedBehaviorSanitizer
// (RIVO_SANITIZE=ON), any signed overflow on the way fails the test.
#pragma once

#include <array>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <vector>

// The 32-bit ends, the small values, and n - 1, n and n + 1 for each size n.
inline std::vector<int32_t> extremes(std::initializer_list<int32_t> sizes) {
    std::vector<int32_t> v = {INT32_MIN, INT32_MIN + 1, -1, 0, 1, INT32_MAX - 1, INT32_MAX};
    for (int32_t n : sizes) {
        v.push_back(n - 1);
        v.push_back(n);
        v.push_back(n + 1);
    }
    return v;
}

// Calls f with base, with each single argument replaced by each value, and
// with each pair of arguments replaced by each pair of values.
template <size_t N, class F>
void sweep(const std::array<int32_t, N> &base, const std::vector<int32_t> &values, F f) {
    f(base);
    for (size_t i = 0; i < N; i++) {
        for (int32_t v : values) {
            std::array<int32_t, N> one = base;
            one[i] = v;
            f(one);
            for (size_t j = i + 1; j < N; j++) {
                for (int32_t u : values) {
                    std::array<int32_t, N> two = one;
                    two[j] = u;
                    f(two);
                }
            }
        }
    }
}

// a + b without overflow, for the expectations.
inline int64_t sum64(int64_t a, int64_t b) { return a + b; }

// 0 <= i < n in 64 bits.
inline bool inside(int64_t i, int64_t n) { return i >= 0 && i < n; }
