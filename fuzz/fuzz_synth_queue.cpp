// The synthesiser's message queue driven in fuzzed order and times: messages
// and volume words stamped in the past, in the future and at the ends of the
// 64-bit range, blocks mixed at any position (also going back), bursts of
// notes and resets. Nothing may overflow, and the voices sounding never
// exceed the polyphony. Without FluidSynth or a SoundFont there is nothing
// to drive: each input is then ignored (said once).
#include <cstdio>
#include <cstdlib>

#include "fuzz/fuzz_ops.h"
#include "platform/synth.h"

static SYNTH *synth;
static int64_t horizon;  // the latest stamp this process has sent or mixed up to

// One synthesiser per process, made again once the stamps have run far ahead
// (a stamp never goes back, so each input starts past the last one's).
static SYNTH *fuzz_synth(void) {
    static bool unavailable;
    if (unavailable) return nullptr;
    if (synth && horizon < INT64_MAX / 2) return synth;
    synth_del(&synth);
    // FluidSynth's OpenMP workers only cost time here (read when it loads).
    setenv("OMP_NUM_THREADS", "1", 0);
    synth = synth_new(synth_soundfont());
    horizon = 0;
    if (!synth) {
        unavailable = true;
        fprintf(stderr, "fuzz_synth_queue: no synthesiser to drive (FluidSynth or SoundFont missing)\n");
    }
    return synth;
}

// A stamp about `base`: up to about a million frames either way.
static int64_t fuzz_near(int64_t base, int32_t v) { return base + ((int64_t)v >> 11); }

static const int64_t fuzz_far[] = {INT64_MIN, INT64_MIN + 1, -1, 0, INT64_MAX - 4096, INT64_MAX - 1, INT64_MAX};

static void fuzz_saw(int64_t t) {
    if (t > horizon) horizon = t;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    SYNTH *s = fuzz_synth();
    if (!s) return 0;
    fuzz_stream in{data, size};
    static int32_t mix[2 * 128];
    int64_t origin = horizon + 1, pos = origin;
    for (int op = 0; op < fuzz_max_ops && in.n; op++) {
        uint8_t code = fuzz_byte(&in);
        int32_t v[3];
        for (int32_t &x : v) x = fuzz_int(&in);
        uint32_t message = (uint32_t)v[1] & 0x7F7FFF;
        switch (code % 8) {
        case 0: {
            int64_t at = fuzz_near(pos, v[0]);
            synth_send(s, at, message), fuzz_saw(at);
            break;
        }
        case 1: {
            int64_t at = fuzz_near(pos, v[0]);
            synth_set_volume(s, at, (uint32_t)v[1]), fuzz_saw(at);
            break;
        }
        case 2: {
            int64_t at = fuzz_far[(uint32_t)v[0] % 7];
            synth_send(s, at, message), fuzz_saw(at);
            break;
        }
        case 3: {
            int32_t frames = fuzz_bound(v[0], 128, INT32_MAX);
            if (frames > 0) synth_mix(s, pos, mix, frames), pos += frames, fuzz_saw(pos);
            break;
        }
        case 4: pos = fuzz_near(pos, v[0]), fuzz_saw(pos); break;
        case 5: {
            int64_t at = fuzz_far[(uint32_t)v[0] % 7];
            synth_mix(s, at, mix, 1 + (int32_t)((uint32_t)v[1] % 128));  // positions leave later stamps free
            break;
        }
        case 6: synth_send(s, -1, 0xFF); break;
        case 7:
            // A burst of held notes at one stamp, more than the voices.
            for (uint32_t k = 0; k < 1 + (uint32_t)v[0] % 128; k++)
                synth_send(s, pos, 0x7F0090u | ((uint32_t)v[1] + k) % 16 | (24u + ((uint32_t)v[2] + k) % 96) << 8);
            fuzz_saw(pos);
            break;
        }
        fuzz_check(synth_voices(s) >= 0 && synth_voices(s) <= synth_polyphony);
    }
    // Everything queued is played before the next input; it starts silent.
    synth_mix(s, horizon, mix, 1);
    synth_send(s, -1, 0xFF), synth_set_volume(s, -1, 0xFFFFFFFFu);
    return 0;
}
