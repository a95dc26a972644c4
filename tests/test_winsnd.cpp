// WINSND: the WAV image, the feed queue, and the player: the virtual one
// (stereo capture, the synthesiser mixed with saturation, mute) and the SDL
// one (data and MIDI changing while the audio thread plays; no device).
#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "audio/sample.h"
#include "audio/winsnd.h"
#include "platform/backend.h"
#include "app/cli.h"
#include "platform/midi.h"
#include "platform/player.h"
#include "platform/synth.h"
#include "tests/test_support.h"

namespace {

constexpr int32_t L = winsnd_length;
using Player = Own<winsnd_del>;
using Sample = Own<sample_del>;

// Headless runs capture what is played into `capture` (a directory), if given.
void use_backend(int headless, const std::string &capture = "") {
    RUN_OPTIONS cli{};
    cli.headless = headless;
    cli.capture = capture.empty() ? nullptr : (char *)capture.c_str();
    backend_start(&cli);
}

SAMPLE *constant(int32_t n, int32_t v) {
    SAMPLE *s = sample_new();
    sample_set_count(s, n);
    for (int32_t i = 0; i < n; i++) s->data[i] = v;
    return s;
}

// Data slot i of the image as a signed 16-bit value.
int32_t slot(const WINSND *w, int32_t i) {
    const uint8_t *p = w->image + winsnd_header_size + 2 * i;
    return (int16_t)(uint16_t)(p[0] | (p[1] << 8));
}

std::string le(uint32_t v, int bytes) {
    std::string b;
    for (int k = 0; k < bytes; k++) b += (char)(v >> 8 * k);
    return b;
}

// The frames of a capture file (left, right interleaved), after checking its
// header field by field against the data that follows: PCM, stereo, 44100
// frames a second, 176400 bytes a second, 4 bytes a frame, 16 bits.
std::vector<int16_t> captured(const std::string &path) {
    std::string b = read_file(path);
    uint32_t n = (uint32_t)b.size();
    std::vector<int16_t> v(n < 44 ? 0 : (n - 44) / 2);
    if (n < 44) return v;
    EXPECT_EQ(b.substr(0, 44), "RIFF" + le(n - 8, 4) + "WAVEfmt " + le(16, 4) + le(1, 2) + le(2, 2) + le(44100, 4) +
                                   le(176400, 4) + le(4, 2) + le(16, 2) + "data" + le(n - 44, 4));
    memcpy(v.data(), b.data() + 44, 2 * v.size());  // little-endian values
    return v;
}

// Headless, capturing what is played into a private directory.
class Winsnd : public testing::Test {
protected:
    TempDir dir{"test_winsnd"};
    std::string wav = dir.file("sound.wav");
    void SetUp() override { use_backend(1, dir.path); }
    void TearDown() override { backend_stop(), winsnd_mute(0); }
    std::vector<Sample> kept;  // outlives the test's players
    // A new player with s queued and fed once.
    Player playing(SAMPLE *s) {
        Player w(winsnd_new());
        kept.emplace_back(s), list_push(w->queue, s), winsnd_feed(w);
        return w;
    }
};

}  // namespace

// 264648 bytes follow the RIFF header; a format chunk of 16: PCM, one channel,
// 44100 values and 88200 bytes a second, 2 bytes and 16 bits a value; the
// private chunk holding 11025; 264600 bytes of data, all silence.
TEST_F(Winsnd, HeaderIsTheFiftySixBytesOfTheImage) {
    Player w(winsnd_new());
    ASSERT_NE(w->image, nullptr);
    EXPECT_EQ(std::string((const char *)w->image, 56 + 2 * L), "RIFF" + le(264648, 4) + "WAVEfmt " + le(16, 4) + le(1, 2) + le(1, 2) + le(44100, 4) +
                                                               le(88200, 4) + le(2, 2) + le(16, 2) + "RIVI" + le(4, 4) + le(11025, 4) + "data" +
                                                               le(264600, 4) + std::string(2 * L, '\0'));
}

TEST_F(Winsnd, FeedCopiesAStretchAtATimeAndDropsFinishedEntries) {
    Player w(winsnd_new());
    Sample a(constant(2 * L + 5, 1)), b(constant(2, -9));
    for (int32_t i = L; i < 2 * L; i++) a->data[i] = 2;
    a->data[2 * L] = 40000;  // keeps its low 16 bits: -25536
    list_push(w->queue, a), list_push(w->queue, b);
    // Each row: what one feed returns, then position, total, queue length
    // and slots 0, 4, 5 and L - 1 afterwards.
    const struct { bool more; int32_t position, total, queued, s0, s4, s5, last; } steps[] = {
        {true, L, L, 2, 1, 1, 1, 1},
        {true, 2 * L, 2 * L, 2, 2, 2, 2, 2},
        {true, 0, 2 * L + 5, 1, -25536, 1, 2, 2},  // the rest: five values, then dropped
        {false, 0, 2 * L + 7, 0, -9, 1, 2, 2},     // shorter than the area: the rest stays
        {false, 0, 2 * L + 7, 0, -9, 1, 2, 2},     // nothing queued
    };
    for (const auto &s : steps) {
        bool more = winsnd_feed(w);
        EXPECT_EQ((std::vector<int32_t>{more, w->position, w->total, w->queue->count, slot(w, 0), slot(w, 4), slot(w, 5),
                                        slot(w, L - 1)}),
                  (std::vector<int32_t>{s.more, s.position, s.total, s.queued, s.s0, s.s4, s.s5, s.last}));
    }
    EXPECT_EQ(a->count, 2 * L + 5);  // queued samples belong to others
}

TEST_F(Winsnd, OddQueuesAndNullRecordsCopyNothing) {
    Player w(winsnd_new());
    Sample s(constant(L + 10, 4));
    list_del(&w->queue);
    EXPECT_FALSE(winsnd_feed(w));  // no queue: one is made
    list_push(w->queue, nullptr);
    EXPECT_FALSE(winsnd_feed(w));  // a null head stays
    EXPECT_EQ(w->queue->count, 1);
    w->queue->items[0] = s;
    EXPECT_TRUE(winsnd_feed(w));
    sample_set_count(s, 100);  // shrunk while queued: nothing more to copy
    EXPECT_FALSE(winsnd_feed(w));
    list_push(w->queue, s);
    EXPECT_FALSE(winsnd_feed_restart(w));  // copied whole and dropped: position 0
    EXPECT_EQ(w->total, L + 100);
    EXPECT_FALSE(winsnd_feed(nullptr) || winsnd_feed_restart(nullptr));
}

// ---- The virtual player ---------------------------------------------------------

// Muted for 10 ms after the first second the player is silent and the loop
// goes on in time.
TEST_F(Winsnd, VirtualPlayerPlaysTheLoopInBothChannelsAsTheClockAdvances) {
    EXPECT_EQ(player_now(), -1);  // nothing plays yet
    SAMPLE *s = sample_new();
    for (int32_t i = 0; i < L; i++) sample_push(s, 1 + i % 30000);
    Player w = playing(s);
    int64_t start = player_now();
    for (int32_t ms : {1000, 10, 2490}) {  // past the loop's end: it starts again from 0
        backend_sleep(ms);
        winsnd_mute(ms == 1000);
    }
    winsnd_feed(w);
    EXPECT_EQ(player_now() - start, 154350);
    std::vector<int16_t> v = captured(wav), want;
    for (int32_t j = 0; j < 154350; j++) want.insert(want.end(), 2, (int16_t)(j / 441 == 100 ? 0 : 1 + (j % L) % 30000));
    EXPECT_TRUE(v == want);
}

// What plays was in the data area when its time came.
TEST_F(Winsnd, ChangesAreHeardFromTheTimeTheyAreMade) {
    Player w = playing(constant(L, 11));
    Sample b(constant(L, -22));
    backend_sleep(20);
    winsnd_feed(w), list_push(w->queue, b), winsnd_feed(w);  // the first sample is dropped, then b fed
    backend_sleep(20);
    winsnd_feed(w);
    std::vector<int16_t> v = captured(wav);
    ASSERT_EQ(v.size(), 2 * 1764u);
    EXPECT_EQ(std::make_pair(v[2 * 881], v[2 * 882]), std::make_pair((int16_t)11, (int16_t)-22));
}

TEST_F(Winsnd, OneImagePlaysAtATimeUntilDelOrRestart) {
    Player first = playing(constant(L, 1)), second = playing(constant(L, 2));
    backend_sleep(10);
    winsnd_feed_restart(second);  // takes the player over from here
    backend_sleep(10);
    first.reset();  // not playing: nothing stops
    winsnd_feed(second);
    second.reset();  // plays what is due, then stops
    backend_sleep(1000);
    std::vector<int16_t> v = captured(wav);
    ASSERT_EQ(v.size(), 2 * 882u);
    EXPECT_EQ(std::make_pair(v[2 * 440], v[2 * 441]), std::make_pair((int16_t)1, (int16_t)2));
}

TEST_F(Winsnd, AClockThatGoesBackPlaysOnFromTheNewTime) {
    Player w(winsnd_new());
    backend_sleep(100), winsnd_feed(w);
    EXPECT_EQ(captured(wav).size(), 2 * 4410u);
    use_backend(1, dir.path), winsnd_feed(w);  // the virtual clock starts again at 0, and the capture
    backend_sleep(10), winsnd_feed(w);  // 441 more frames, not weeks of them
    EXPECT_EQ(captured(wav).size(), 2 * 441u);
}

TEST_F(Winsnd, TheSynthesiserIsAddedWithSaturation) {
    SYNTH *synth = synth_new(synth_soundfont());
    if (!synth) GTEST_SKIP() << "no General MIDI SoundFont installed";
    Player w = playing(constant(L, 32000));
    player_mix_synth(synth), synth_send(synth, player_now(), 0x7F3C90);
    backend_sleep(200), winsnd_feed(w);
    player_mix_synth(nullptr), synth_del(&synth);
    std::vector<int16_t> v = captured(wav);
    // No sum wrapped round to a negative value.
    EXPECT_GT(std::count(v.begin(), v.end(), 32767), 100);
    EXPECT_GT(std::count_if(v.begin(), v.end(), [](int16_t x) { return x < 32000; }), 100);
}

// ---- The SDL player -----------------------------------------------------------

// The frame loop rewrites the data area and sends MIDI to the synthesiser
// while the audio thread plays both (ThreadSanitizer runs this one).
TEST(WinsndSdl, PlaysThroughADeviceWhileDataAndNotesChange) {
    use_backend(0), setenv("SDL_AUDIODRIVER", "dummy", 1);
    TempDir dir("test_winsnd_sdl");
    midi_out_choose("synth");
    Player w(winsnd_new());
    const int64_t start = player_now();
    MIDI_OUT *m = nullptr;
    bool synth = synth_soundfont() && midi_out_open(&m, 0) == MIDI_NOERROR;
    Sample s(constant(L, 5));
    for (int round = 0; round < 40; round++) {
        s->data[0] = round;
        list_push(w->queue, s), winsnd_feed(w), winsnd_feed(w);
        if (synth) midi_out_set_volume(m, 0x03FF03FF), midi_out_short_msg(m, 0x403C90u + (uint32_t)round);
        SDL_Delay(5);
    }
    if (synth) midi_out_close(m);
    const int64_t played = player_now() - start;
    w.reset();  // stops the device before the image goes
    unsetenv("SDL_AUDIODRIVER");
    // More than the one device block player_now may run ahead of what was played.
    EXPECT_GT(played, 2048) << "the dummy device played nothing in 200 ms";
}

TEST(WinsndSdl, WithoutASoundDeviceTheProgramSaysSoOnceAndGoesOn) {
    use_backend(0), setenv("SDL_AUDIODRIVER", "no-such-driver", 1), testing::internal::CaptureStderr();
    Player w(winsnd_new());
    w.reset(), w.reset(winsnd_new());
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("running without sound"), std::string::npos) << said;
    EXPECT_EQ(said.find('\n'), said.size() - 1) << said;
    Sample s(constant(10, 3));
    list_push(w->queue, s);
    EXPECT_FALSE(winsnd_feed(w));
    EXPECT_EQ(slot(w, 9), 3);
    unsetenv("SDL_AUDIODRIVER");
}
