// The built-in synthesiser in the player's path: one second of sound per
// iteration, so the CPU time per iteration in milliseconds, divided by 10, is
// the percentage of a core it takes. Scene 3's stream on a fast machine: a random message per frame at
// 330 frames per second at the scene's volume, notes never released; and the
// worst case, every voice sounding (held by the sustain pedal).
#include <benchmark/benchmark.h>

#include <cstdint>

#include "audio/winsnd.h"
#include "platform/backend.h"
#include "app/cli.h"
#include "platform/midi.h"
#include "platform/player.h"
#include "host/random.h"
#include "platform/synth.h"

namespace {

constexpr uint32_t frames_per_second = 330;

// The headless player and the synthesiser as device 0, made once.
MIDI_OUT *synth_device(void) {
    static MIDI_OUT *m = nullptr;
    if (m) return m;
    RUN_OPTIONS cli{};
    cli.headless = 1;
    backend_start(&cli);
    winsnd_new();
    midi_out_choose("synth");
    if (midi_out_open(&m, 0) != MIDI_NOERROR) m = nullptr;
    return m;
}

// One second: a frame's message (from `next`), then the frame's share of the
// second on the virtual clock; the player renders as the clock moves on.
template <typename Next>
void one_second(MIDI_OUT *m, Next next) {
    for (uint32_t f = 0; f < frames_per_second; f++) {
        midi_out_set_volume(m, 0x03FF03FF);
        midi_out_short_msg(m, next(f));
        backend_sleep((f + 1) * 1000 / frames_per_second - f * 1000 / frames_per_second);
        player_now();
    }
}

}  // namespace

static void BM_SynthSceneThreeSecond(benchmark::State &state) {
    MIDI_OUT *m = synth_device();
    if (!m) {
        state.SkipWithError("no General MIDI SoundFont installed");
        return;
    }
    random_srand(0x31756A22);
    one_second(m, [](uint32_t) { return (uint32_t)random_rand() & 0xFFFFFF; });  // notes build up
    for (auto _ : state) one_second(m, [](uint32_t) { return (uint32_t)random_rand() & 0xFFFFFF; });
}
BENCHMARK(BM_SynthSceneThreeSecond)->Unit(benchmark::kMillisecond);

static void BM_SynthAllVoicesSecond(benchmark::State &state) {
    MIDI_OUT *m = synth_device();
    if (!m) {
        state.SkipWithError("no General MIDI SoundFont installed");
        return;
    }
    for (uint32_t ch = 0; ch < 16; ch++) midi_out_short_msg(m, 0x7F40B0 | ch);  // sustain on
    // Piano notes on channel 0 to 8 cycling through the keyboard, all held.
    auto held = [](uint32_t f) { return 0x700090u | (f % 9) | (24u + f % 72) << 8; };
    one_second(m, held);
    for (auto _ : state) one_second(m, held);
}
BENCHMARK(BM_SynthAllVoicesSecond)->Unit(benchmark::kMillisecond);
