#!/bin/sh
# The slow checks: unit tests and three full scene loops under AddressSanitizer
# + UndefinedBehaviorSanitizer, the player tests (the SDL audio thread mixing
# the loop and the synthesiser) and a headless demo run (the instrument bank
# built on its own thread while the title shows) under ThreadSanitizer, the
# program under a failing allocator for a spread of N, and a short run of
# every fuzz target, and the portable library built alone (no platform, no x86
# intrinsics) by clang. BUILD (default build) is the release build directory.
set -e
cd "$(dirname "$0")/.."
JOBS=${JOBS:-$(nproc)}
BUILD=${BUILD:-build}
case $BUILD in /*) ;; *) BUILD=$PWD/$BUILD ;; esac
LOOP_FRAMES=5401           # one pass through the seven scenes
FUZZ_TIME=${FUZZ_TIME:-15}  # seconds per fuzz target

echo "== the portable library alone: no platform, no x86 intrinsics, clang"
rm -rf build-portable
CXX=clang++ cmake -S . -B build-portable -G Ninja -DCMAKE_BUILD_TYPE=Release -DRIVO_PLATFORM=OFF -DRIVO_SIMD=OFF >/dev/null
cmake --build build-portable -j "$JOBS"
# No AVX register and no SSSE3 shuffle: nothing beyond the baseline instruction set.
! objdump -d build-portable/librivo_portable.a | grep -qE '%[yz]mm|pshufb'

echo "== AddressSanitizer + UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRIVO_SANITIZE=ON >/dev/null
cmake --build build-asan -j "$JOBS"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j "$JOBS"
echo "== three scene loops, headless, sanitized"
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
    ./build-asan/rivo7315 --headless --frames $((3 * LOOP_FRAMES)) >/dev/null

echo "== ThreadSanitizer: the player and the synthesiser against winsnd_feed and MIDI"
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRIVO_TSAN=ON >/dev/null
cmake --build build-tsan -j "$JOBS" --target test_winsnd rivo7315
# FluidSynth parallelises through libgomp, whose threads ThreadSanitizer cannot
# see into (false reports about one run in four); one OpenMP thread avoids them.
SDL_AUDIODRIVER=dummy OMP_NUM_THREADS=1 TSAN_OPTIONS=halt_on_error=1 ./build-tsan/tests/test_winsnd
echo "== ThreadSanitizer: a headless run, the instrument bank built on its thread, into scene 3's synthesiser"
OMP_NUM_THREADS=1 TSAN_OPTIONS="halt_on_error=1 exitcode=66" \
    ./build-tsan/rivo7315 --headless --frames 400 --keys 300:SPACE,301:SPACE >/dev/null

echo "== failing allocator: a spread of N over three short runs (scene 1; scene 3 with the synthesiser; recorded)"
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD" -j "$JOBS" --target rivo7315 rivo_failalloc
SWEEP_JOBS=$JOBS bash tools/alloc-sweep.sh "$BUILD/rivo7315" "$BUILD/tests/libfailalloc.so" spread

echo "== fuzz targets, ${FUZZ_TIME}s each"
FUZZ_TIME=$FUZZ_TIME sh tools/fuzz.sh
