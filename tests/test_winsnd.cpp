// WINSND: the WAV image, the feed queue, and the player: the virtual one
// (stereo capture, the synthesiser mixed with saturation, mute) and the SDL
// one (data and MIDI changing while the audio thread plays; no device).
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "audio/sample.h"
#include "audio/winsnd.h"
#include "host/backend.h"
#include "host/cli.h"
#include "host/midi.h"
#include "host/synth.h"
#include "tests/test_support.h"

namespace {

constexpr int32_t L = winsnd_length;
using Player = Own<winsnd_del>;
using Sample = Own<sample_del>;

void use_backend(int headless) {
    CLI cli{};
    cli.headless = headless;
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

uint32_t le(const std::string &b, size_t at, int bytes) {
    uint32_t v = 0;
    for (int k = bytes - 1; k >= 0; k--) v = v << 8 | (uint8_t)b[at + (size_t)k];
    return v;
}

// The frames of a capture file (left, right interleaved), after checking its
// header field by field against the data that follows.
std::vector<int16_t> captured(const std::string &path) {
    std::string b = read_file(path);
    std::vector<int16_t> v;
    EXPECT_GE(b.size(), 44u);
    if (b.size() < 44) return v;
    EXPECT_EQ(b.substr(0, 4), "RIFF");
    EXPECT_EQ(le(b, 4, 4), b.size() - 8);
    EXPECT_EQ(b.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(le(b, 16, 4), 16u);
    EXPECT_EQ(le(b, 20, 2), 1u);       // PCM
    EXPECT_EQ(le(b, 22, 2), 2u);       // stereo
    EXPECT_EQ(le(b, 24, 4), 44100u);   // frames per second
    EXPECT_EQ(le(b, 28, 4), 176400u);  // bytes per second
    EXPECT_EQ(le(b, 32, 2), 4u);       // bytes per frame
    EXPECT_EQ(le(b, 34, 2), 16u);
    EXPECT_EQ(b.substr(36, 4), "data");
    EXPECT_EQ(le(b, 40, 4), b.size() - 44);
    for (size_t i = 44; i + 1 < b.size(); i += 2) v.push_back((int16_t)le(b, i, 2));
    return v;
}

// Headless, capturing to a private file.
class Winsnd : public testing::Test {
protected:
    TempDir dir{"test_winsnd"};
    std::string wav = dir.file("sound.wav");
    void SetUp() override {
        use_backend(1);
        winsnd_capture_to(wav.c_str());
    }
    void TearDown() override {
        winsnd_capture_to(nullptr);
        winsnd_mute(0);
    }
};

}  // namespace

TEST_F(Winsnd, HeaderIsTheFiftySixBytesOfTheImage) {
    static const uint8_t want[56] = {
        'R',  'I',  'F',  'F',  0xC8, 0x09, 0x04, 0x00,  // 264648 bytes follow
        'W',  'A',  'V',  'E',  'f',  'm',  't',  ' ',  0x10, 0x00, 0x00, 0x00,  // format chunk of 16
        0x01, 0x00, 0x01, 0x00,                          // PCM, one channel
        0x44, 0xAC, 0x00, 0x00, 0x88, 0x58, 0x01, 0x00,  // 44100 per second, 88200 bytes
        0x02, 0x00, 0x10, 0x00,                          // 2 bytes, 16 bits per value
        'R',  'I',  'V',  'I',  0x04, 0x00, 0x00, 0x00, 0x11, 0x2B, 0x00, 0x00,  // private: 11025
        'd',  'a',  't',  'a',  0x98, 0x09, 0x04, 0x00,  // 264600 bytes of data
    };
    Player w(winsnd_new());
    ASSERT_NE(w->image, nullptr);
    EXPECT_EQ(std::string((const char *)w->image, 56), std::string((const char *)want, 56));
    for (int32_t i = 0; i < L; i++) ASSERT_EQ(slot(w, i), 0);
}

TEST_F(Winsnd, FeedCopiesAStretchAtATimeAndDropsFinishedEntries) {
    Player w(winsnd_new());
    Sample a(constant(2 * L + 5, 1)), b(constant(2, -9));
    for (int32_t i = L; i < 2 * L; i++) a->data[i] = 2;
    a->data[2 * L] = 40000;  // keeps its low 16 bits: -25536
    list_push(w->queue, a);
    list_push(w->queue, b);
    // Each row: what one feed returns, then position, total, queue length
    // and slots 0, 4, 5 and L - 1 afterwards.
    const struct {
        bool more;
        int32_t position, total, queued, s0, s4, s5, last;
    } steps[] = {
        {true, L, L, 2, 1, 1, 1, 1},
        {true, 2 * L, 2 * L, 2, 2, 2, 2, 2},
        {true, 0, 2 * L + 5, 1, -25536, 1, 2, 2},  // the rest: five values, then dropped
        {false, 0, 2 * L + 7, 0, -9, 1, 2, 2},     // shorter than the area: the rest stays
        {false, 0, 2 * L + 7, 0, -9, 1, 2, 2},     // nothing queued
    };
    for (const auto &s : steps) {
        EXPECT_EQ(winsnd_feed(w), s.more);
        EXPECT_EQ(w->position, s.position);
        EXPECT_EQ(w->total, s.total);
        EXPECT_EQ(w->queue->count, s.queued);
        EXPECT_EQ(slot(w, 0), s.s0);
        EXPECT_EQ(slot(w, 4), s.s4);
        EXPECT_EQ(slot(w, 5), s.s5);
        EXPECT_EQ(slot(w, L - 1), s.last);
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
    list_remove(w->queue, 0);
    list_push(w->queue, s);
    EXPECT_TRUE(winsnd_feed(w));
    sample_set_count(s, 100);      // shrunk while queued: nothing more to copy
    EXPECT_FALSE(winsnd_feed(w));
    EXPECT_EQ(w->total, L);
    list_push(w->queue, s);
    EXPECT_FALSE(winsnd_feed_restart(w));  // copied whole and dropped: position 0
    EXPECT_FALSE(winsnd_feed(nullptr));
    EXPECT_FALSE(winsnd_feed_restart(nullptr));
    winsnd_del(nullptr);
}

// ---- The virtual player ---------------------------------------------------------

TEST_F(Winsnd, VirtualPlayerPlaysTheLoopInBothChannelsAsTheClockAdvances) {
    EXPECT_EQ(winsnd_now(), -1);  // nothing plays yet
    Player w(winsnd_new());
    Sample s(sample_new());
    for (int32_t i = 0; i < L; i++) sample_push(s, i % 30000);
    list_push(w->queue, s);
    winsnd_feed(w);
    int64_t start = winsnd_now();
    backend_sleep(3500);  // past the loop's end: it starts again from 0
    winsnd_feed(w);
    EXPECT_EQ(winsnd_now() - start, 154350);
    std::vector<int16_t> v = captured(wav);
    ASSERT_EQ(v.size(), 2 * 154350u);
    for (int32_t j = 0; j < 154350; j++) {
        ASSERT_EQ(v[2 * (size_t)j], (j % L) % 30000) << j;
        ASSERT_EQ(v[2 * (size_t)j + 1], v[2 * (size_t)j]) << j;
    }
}

TEST_F(Winsnd, ChangesAreHeardFromTheTimeTheyAreMade) {
    Player w(winsnd_new());
    Sample a(constant(L, 11)), b(constant(L, -22));
    list_push(w->queue, a);
    winsnd_feed(w);
    backend_sleep(20);
    winsnd_feed(w);  // drops a
    list_push(w->queue, b);
    winsnd_feed(w);
    backend_sleep(20);
    winsnd_feed(w);
    std::vector<int16_t> v = captured(wav);
    ASSERT_EQ(v.size(), 2 * 1764u);
    EXPECT_EQ(v[2 * 881], 11);
    EXPECT_EQ(v[2 * 882], -22);
}

TEST_F(Winsnd, OneImagePlaysAtATimeUntilDelOrRestart) {
    Player first(winsnd_new()), second(winsnd_new());
    Sample a(constant(L, 1)), b(constant(L, 2));
    list_push(first->queue, a);
    list_push(second->queue, b);
    winsnd_feed(first);
    winsnd_feed(second);
    backend_sleep(10);
    winsnd_feed_restart(second);  // takes the player over from here
    backend_sleep(10);
    first.reset();  // not playing: nothing stops
    winsnd_feed(second);
    second.reset();  // plays what is due, then stops
    backend_sleep(1000);
    std::vector<int16_t> v = captured(wav);
    ASSERT_EQ(v.size(), 2 * 882u);
    EXPECT_EQ(v[2 * 440], 1);
    EXPECT_EQ(v[2 * 441], 2);
}

TEST_F(Winsnd, AClockThatGoesBackPlaysOnFromTheNewTime) {
    Player w(winsnd_new());
    backend_sleep(100);
    winsnd_feed(w);
    use_backend(1);  // the virtual clock starts again at 0
    winsnd_feed(w);
    backend_sleep(10);
    winsnd_feed(w);  // 441 more frames, not weeks of them
    EXPECT_EQ(captured(wav).size(), 2 * (4410u + 441u));
}

TEST_F(Winsnd, MutedThePlayerIsSilentAndTheLoopGoesOnInTime) {
    Player w(winsnd_new());
    Sample s(sample_new());
    for (int32_t i = 0; i < L; i++) sample_push(s, 1 + i);
    list_push(w->queue, s);
    winsnd_feed(w);
    backend_sleep(10);
    winsnd_mute(1);
    backend_sleep(10);
    winsnd_mute(0);
    backend_sleep(10);
    winsnd_feed(w);
    std::vector<int16_t> v = captured(wav);
    ASSERT_EQ(v.size(), 2 * 1323u);
    for (int32_t j = 0; j < 1323; j++) ASSERT_EQ(v[2 * (size_t)j], j / 441 == 1 ? 0 : 1 + j) << j;
}

TEST_F(Winsnd, TheSynthesiserIsAddedWithSaturation) {
    SYNTH *synth = synth_new(synth_soundfont());
    if (!synth) GTEST_SKIP() << "no General MIDI SoundFont installed";
    Player w(winsnd_new());
    Sample s(constant(L, 32000));
    list_push(w->queue, s);
    winsnd_feed(w);
    winsnd_mix_synth(synth);
    synth_send(synth, winsnd_now(), 0x7F3C90);
    backend_sleep(200);
    winsnd_feed(w);
    winsnd_mix_synth(nullptr);
    synth_del(&synth);
    std::vector<int16_t> v = captured(wav);
    int clipped = 0, below = 0;
    for (int16_t x : v) {
        clipped += x == 32767;
        below += x < 32000;
    }
    EXPECT_GT(clipped, 100);  // no sum wrapped round to a negative value
    EXPECT_GT(below, 100);
}

TEST(WinsndExit, CaptureIsCompleteWhenTheProgramExits) {
    TempDir dir("test_winsnd_exit");
    std::string path = dir.file("exit.wav");
    EXPECT_EXIT(
        {
            use_backend(1);
            winsnd_capture_to(path.c_str());
            WINSND *w = winsnd_new();
            list_push(w->queue, constant(L, 300));
            winsnd_feed(w);
            backend_sleep(500);
            std::exit(0);  // from the middle of the run, as escape does
        },
        testing::ExitedWithCode(0), "");
    std::vector<int16_t> v = captured(path);
    ASSERT_EQ(v.size(), 2 * 22050u);
    EXPECT_EQ(v.back(), 300);
}

// ---- The SDL player -----------------------------------------------------------

// The frame loop rewrites the data area and sends MIDI to the synthesiser
// while the audio thread plays both (ThreadSanitizer runs this one).
TEST(WinsndSdl, PlaysThroughADeviceWhileDataAndNotesChange) {
    use_backend(0);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    TempDir dir("test_winsnd_sdl");
    std::string path = dir.file("sdl.wav");
    winsnd_capture_to(path.c_str());
    Player w(winsnd_new());
    midi_out_choose("synth");
    MIDI_OUT *m = nullptr;
    bool synth = synth_soundfont() && midi_out_open(&m, 0) == MIDI_NOERROR;
    Sample s(constant(L, 5));
    for (int round = 0; round < 40; round++) {
        s->data[0] = round;
        list_push(w->queue, s);
        winsnd_feed(w);
        winsnd_feed(w);
        if (synth) {
            midi_out_set_volume(m, 0x03FF03FF);
            midi_out_short_msg(m, 0x403C90u + (uint32_t)round);
        }
        SDL_Delay(5);
    }
    if (synth) midi_out_close(m);
    w.reset();  // stops the device before the image goes
    winsnd_capture_to(nullptr);
    std::vector<int16_t> v = captured(path);
    EXPECT_GT(v.size(), 0u) << "the dummy device played nothing in 200 ms";
    unsetenv("SDL_AUDIODRIVER");
}

TEST(WinsndSdl, WithoutASoundDeviceTheProgramSaysSoOnceAndGoesOn) {
    use_backend(0);
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    testing::internal::CaptureStderr();
    Player w(winsnd_new());
    w.reset();
    w.reset(winsnd_new());
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("running without sound"), std::string::npos) << said;
    EXPECT_EQ(said.find('\n'), said.size() - 1) << said;
    Sample s(constant(10, 3));
    list_push(w->queue, s);
    EXPECT_FALSE(winsnd_feed(w));
    EXPECT_EQ(slot(w, 9), 3);
    unsetenv("SDL_AUDIODRIVER");
}
