// WINSND: the WAV image, the feed queue, and the player (virtual and SDL).
#include <gtest/gtest.h>

#include <SDL.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "audio/sample.h"
#include "audio/winsnd.h"
#include "host/backend.h"
#include "host/cli.h"

namespace {

constexpr int32_t L = 132300;

// Selects the backend as the program would: headless or a plain SDL run.
void use_backend(int headless) {
    CLI cli{};
    cli.headless = headless;
    backend_start(&cli);
}

SAMPLE *sample_of(int32_t n, int32_t (*value)(int32_t)) {
    SAMPLE *s = sample_new();
    sample_set_count(s, n);
    for (int32_t i = 0; i < n; i++) s->data[i] = value(i);
    return s;
}

// Data slot i of the image as a signed 16-bit value.
int32_t slot(const WINSND *w, int32_t i) {
    const uint8_t *p = w->image + winsnd_header_size + 2 * i;
    return (int16_t)(uint16_t)(p[0] | (p[1] << 8));
}

std::string temp_path(const char *name) {
    return std::string(testing::TempDir()) + "winsnd_" + std::to_string(getpid()) + "_" + name;
}

std::vector<uint8_t> read_file(const std::string &path) {
    std::vector<uint8_t> bytes;
    FILE *f = std::fopen(path.c_str(), "rb");
    if (!f) return bytes;
    int c;
    while ((c = std::fgetc(f)) != EOF) bytes.push_back((uint8_t)c);
    std::fclose(f);
    return bytes;
}

uint32_t le32(const std::vector<uint8_t> &b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | ((uint32_t)b[at + 3] << 24);
}

// The captured values of a WAV file written by winsnd_capture_to, after
// checking that its header describes exactly the data that follows.
std::vector<int16_t> captured(const std::string &path) {
    std::vector<uint8_t> b = read_file(path);
    std::vector<int16_t> v;
    EXPECT_GE(b.size(), 44u);
    if (b.size() < 44) return v;
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
    EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(le32(b, 24), 44100u);
    EXPECT_EQ(b[22], 1);   // mono
    EXPECT_EQ(b[34], 16);  // 16-bit
    EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data");
    EXPECT_EQ(le32(b, 40), b.size() - 44);
    EXPECT_EQ(le32(b, 4), b.size() - 8);
    for (size_t i = 44; i + 1 < b.size(); i += 2) v.push_back((int16_t)(uint16_t)(b[i] | (b[i + 1] << 8)));
    return v;
}

class Winsnd : public testing::Test {
  protected:
    void SetUp() override { use_backend(1); }
    void TearDown() override { winsnd_capture_to(nullptr); }
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
    WINSND *w = winsnd_new();
    ASSERT_NE(w, nullptr);
    ASSERT_NE(w->image, nullptr);
    for (int i = 0; i < 56; i++) EXPECT_EQ(w->image[i], want[i]) << "byte " << i;
    winsnd_del(&w);
}

TEST_F(Winsnd, NewRecordHasItsDefaultsAndSilentData) {
    WINSND *w = winsnd_new();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->rate, 44100);
    EXPECT_EQ(w->resolution, 16);
    EXPECT_EQ(w->sign, 's');
    EXPECT_EQ(w->order, 'l');
    ASSERT_NE(w->queue, nullptr);
    EXPECT_EQ(w->queue->count, 0);
    EXPECT_EQ(w->current, nullptr);
    EXPECT_EQ(w->position, 0);
    EXPECT_EQ(w->length, L);
    EXPECT_EQ(w->total, 0);
    for (int32_t i = 0; i < L; i++) ASSERT_EQ(slot(w, i), 0);
    winsnd_del(&w);
    EXPECT_EQ(w, nullptr);
}

TEST_F(Winsnd, ExactLengthEntryIsCopiedWholeThenDropped) {
    WINSND *w = winsnd_new();
    SAMPLE *s = sample_of(L, [](int32_t i) { return i % 1000 - 500; });
    list_push(w->queue, s);
    EXPECT_TRUE(winsnd_feed(w));  // the entry stays queued
    EXPECT_EQ(w->current, s);
    EXPECT_EQ(w->position, L);
    EXPECT_EQ(w->total, L);
    EXPECT_EQ(w->queue->count, 1);
    EXPECT_EQ(slot(w, 0), -500);
    EXPECT_EQ(slot(w, 1499), -1);
    EXPECT_EQ(slot(w, L - 1), (L - 1) % 1000 - 500);
    EXPECT_FALSE(winsnd_feed(w));  // dropped; nothing copied
    EXPECT_EQ(w->queue->count, 0);
    EXPECT_EQ(w->position, 0);
    EXPECT_EQ(w->total, L);
    EXPECT_EQ(slot(w, 0), -500);
    winsnd_del(&w);
    EXPECT_EQ(s->count, L);  // queued samples belong to others
    sample_del(&s);
}

TEST_F(Winsnd, ShortEntryFillsTheFirstSlotsAndKeepsTheRest) {
    WINSND *w = winsnd_new();
    SAMPLE *old = sample_of(L, [](int32_t) { return 7; });
    SAMPLE *s = sample_of(3, [](int32_t i) { return 100 + i; });
    list_push(w->queue, old);
    winsnd_feed(w);
    winsnd_feed(w);
    list_push(w->queue, s);
    EXPECT_FALSE(winsnd_feed(w));  // copied in one call and dropped
    EXPECT_EQ(w->queue->count, 0);
    EXPECT_EQ(w->position, 0);
    EXPECT_EQ(w->total, L + 3);
    EXPECT_EQ(slot(w, 0), 100);
    EXPECT_EQ(slot(w, 1), 101);
    EXPECT_EQ(slot(w, 2), 102);
    EXPECT_EQ(slot(w, 3), 7);
    EXPECT_EQ(slot(w, L - 1), 7);
    winsnd_del(&w);
    sample_del(&old);
    sample_del(&s);
}

TEST_F(Winsnd, LongEntryIsFedAStretchAtATime) {
    WINSND *w = winsnd_new();
    SAMPLE *s = sample_of(2 * L + 5, [](int32_t i) { return i / L + 1; });
    SAMPLE *next = sample_of(2, [](int32_t) { return -9; });
    list_push(w->queue, s);
    list_push(w->queue, next);
    EXPECT_TRUE(winsnd_feed(w));
    EXPECT_EQ(slot(w, L - 1), 1);
    EXPECT_TRUE(winsnd_feed(w));
    EXPECT_EQ(slot(w, 0), 2);
    EXPECT_EQ(w->position, 2 * L);
    EXPECT_TRUE(winsnd_feed(w));  // the last five values; `next` still waits
    EXPECT_EQ(slot(w, 4), 3);
    EXPECT_EQ(slot(w, 5), 2);
    EXPECT_EQ(w->queue->count, 1);
    EXPECT_FALSE(winsnd_feed(w));
    EXPECT_EQ(slot(w, 0), -9);
    EXPECT_EQ(slot(w, 1), -9);
    EXPECT_EQ(slot(w, 2), 3);
    EXPECT_EQ(w->total, 2 * L + 5 + 2);
    winsnd_del(&w);
    sample_del(&s);
    sample_del(&next);
}

TEST_F(Winsnd, ValuesKeepOnlyTheirLowSixteenBits) {
    WINSND *w = winsnd_new();
    SAMPLE *s = sample_new();
    for (int32_t v : {40000, -1, 65541, -32769, 32767, -32768}) sample_push(s, v);
    list_push(w->queue, s);
    winsnd_feed(w);
    const uint8_t *d = w->image + winsnd_header_size;
    EXPECT_EQ(d[0], 0x40);  // 40000 = 0x9C40, read back as -25536
    EXPECT_EQ(d[1], 0x9C);
    EXPECT_EQ(slot(w, 0), -25536);
    EXPECT_EQ(slot(w, 1), -1);
    EXPECT_EQ(slot(w, 2), 5);
    EXPECT_EQ(slot(w, 3), 32767);
    EXPECT_EQ(slot(w, 4), 32767);
    EXPECT_EQ(slot(w, 5), -32768);
    winsnd_del(&w);
    sample_del(&s);
}

TEST_F(Winsnd, FeedWithoutSamplesReturnsFalse) {
    WINSND *w = winsnd_new();
    EXPECT_FALSE(winsnd_feed(w));  // empty queue
    list_del(&w->queue);
    EXPECT_FALSE(winsnd_feed(w));  // no queue: one is made
    ASSERT_NE(w->queue, nullptr);
    list_push(w->queue, nullptr);
    EXPECT_FALSE(winsnd_feed(w));  // a null head stays
    EXPECT_EQ(w->current, nullptr);
    EXPECT_EQ(w->queue->count, 1);
    EXPECT_EQ(w->total, 0);
    winsnd_del(&w);
}

TEST_F(Winsnd, PositionPastTheEndOfAShrunkSampleCopiesNothing) {
    WINSND *w = winsnd_new();
    SAMPLE *s = sample_of(L + 10, [](int32_t) { return 4; });
    list_push(w->queue, s);
    winsnd_feed(w);
    sample_set_count(s, 100);  // shrunk while still queued
    EXPECT_FALSE(winsnd_feed(w));
    EXPECT_EQ(w->position, 0);
    EXPECT_EQ(w->total, L);
    winsnd_del(&w);
    sample_del(&s);
}

TEST_F(Winsnd, FeedRestartTellsWhetherTheEntryGoesOn) {
    WINSND *w = winsnd_new();
    SAMPLE *s = sample_of(L, [](int32_t) { return 1; });
    list_push(w->queue, s);
    EXPECT_TRUE(winsnd_feed_restart(w));   // position L
    EXPECT_FALSE(winsnd_feed_restart(w));  // dropped: position 0
    EXPECT_FALSE(winsnd_feed_restart(w));  // nothing queued
    winsnd_del(&w);
    sample_del(&s);
}

TEST_F(Winsnd, BadArgumentsGiveNeutralValues) {
    testing::internal::CaptureStdout();
    EXPECT_FALSE(winsnd_feed(nullptr));
    EXPECT_FALSE(winsnd_feed_restart(nullptr));
    EXPECT_EQ(winsnd_to_text(nullptr), nullptr);
    EXPECT_FALSE(winsnd_compare(nullptr, nullptr));
    EXPECT_EQ(winsnd_dup(nullptr), nullptr);
    WINSND *none = nullptr;
    winsnd_del(&none);
    winsnd_del(nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");  // the switch is off
}

TEST_F(Winsnd, TextFormIsASharedEmptyText) {
    WINSND *a = winsnd_new();
    WINSND *b = winsnd_new();
    const char *t = winsnd_to_text(a);
    ASSERT_NE(t, nullptr);
    EXPECT_STREQ(t, "");
    EXPECT_EQ(winsnd_to_text(b), t);
    EXPECT_EQ(winsnd_from_text("WINSND{}"), nullptr);
    EXPECT_TRUE(winsnd_compare(a, b));
    EXPECT_EQ(winsnd_dup(a), nullptr);
    winsnd_del(&b);
    winsnd_del(&a);
}

// ---- The virtual player -------------------------------------------------------

TEST_F(Winsnd, VirtualPlayerPlaysTheDataAreaAsTheClockAdvances) {
    std::string path = temp_path("virtual.wav");
    winsnd_capture_to(path.c_str());
    WINSND *w = winsnd_new();
    SAMPLE *s = sample_of(L, [](int32_t i) { return i % 30000; });
    list_push(w->queue, s);
    winsnd_feed(w);      // at tick 0: nothing played yet
    backend_sleep(1000);  // one second: 44100 values due
    winsnd_feed(w);      // catches up first, then drops the entry
    std::vector<int16_t> v = captured(path);
    ASSERT_EQ(v.size(), 44100u);
    for (int32_t i = 0; i < 44100; i++) ASSERT_EQ(v[i], i % 30000) << i;
    // Another 2.5 s: the loop passes its end and starts again from 0.
    backend_sleep(2500);
    winsnd_feed(w);
    v = captured(path);
    ASSERT_EQ(v.size(), 44100u + 110250u);
    for (int32_t j = 44100; j < 154350; j++) ASSERT_EQ(v[j], (j % L) % 30000) << j;
    winsnd_del(&w);
    sample_del(&s);
}

TEST_F(Winsnd, VirtualPlayerHearsChangesOnTheFollowingPass) {
    std::string path = temp_path("change.wav");
    winsnd_capture_to(path.c_str());
    WINSND *w = winsnd_new();
    SAMPLE *a = sample_of(L, [](int32_t) { return 11; });
    SAMPLE *b = sample_of(L, [](int32_t) { return -22; });
    list_push(w->queue, a);
    winsnd_feed(w);
    backend_sleep(20);  // 882 values of a
    winsnd_feed(w);     // drops a
    list_push(w->queue, b);
    winsnd_feed(w);     // b from here on
    backend_sleep(20);
    winsnd_feed(w);
    std::vector<int16_t> v = captured(path);
    ASSERT_EQ(v.size(), 1764u);
    EXPECT_EQ(v[0], 11);
    EXPECT_EQ(v[881], 11);
    EXPECT_EQ(v[882], -22);
    EXPECT_EQ(v[1763], -22);
    winsnd_del(&w);
    sample_del(&a);
    sample_del(&b);
}

TEST_F(Winsnd, DelPlaysWhatIsDueThenStops) {
    std::string path = temp_path("stop.wav");
    winsnd_capture_to(path.c_str());
    WINSND *w = winsnd_new();
    backend_sleep(10);
    winsnd_del(&w);  // 441 values of silence were due
    backend_sleep(1000);
    WINSND *other = winsnd_new();  // nothing plays: this one starts
    backend_sleep(10);
    winsnd_feed(other);
    std::vector<int16_t> v = captured(path);
    EXPECT_EQ(v.size(), 882u);
    for (int16_t x : v) ASSERT_EQ(x, 0);
    winsnd_del(&other);
}

TEST_F(Winsnd, ASecondImageDoesNotInterruptTheFirst) {
    std::string path = temp_path("two.wav");
    winsnd_capture_to(path.c_str());
    WINSND *first = winsnd_new();
    WINSND *second = winsnd_new();
    SAMPLE *a = sample_of(L, [](int32_t) { return 1; });
    SAMPLE *b = sample_of(L, [](int32_t) { return 2; });
    list_push(first->queue, a);
    list_push(second->queue, b);
    winsnd_feed(first);
    winsnd_feed(second);
    backend_sleep(10);
    winsnd_feed(first);
    std::vector<int16_t> v = captured(path);
    ASSERT_EQ(v.size(), 441u);
    EXPECT_EQ(v[0], 1);
    // A restart takes the player over and starts from the image's beginning.
    list_push(second->queue, b);
    winsnd_feed_restart(second);
    backend_sleep(10);
    winsnd_feed(first);
    v = captured(path);
    ASSERT_EQ(v.size(), 882u);
    EXPECT_EQ(v[441], 2);
    winsnd_del(&first);
    winsnd_del(&second);
    sample_del(&a);
    sample_del(&b);
}

TEST_F(Winsnd, AClockThatGoesBackPlaysOnFromTheNewTime) {
    std::string path = temp_path("reset.wav");
    winsnd_capture_to(path.c_str());
    WINSND *w = winsnd_new();
    backend_sleep(100);
    winsnd_feed(w);  // 4410 values
    use_backend(1);  // the virtual clock starts again at 0
    winsnd_feed(w);
    backend_sleep(10);
    winsnd_feed(w);  // 441 more, not weeks of them
    EXPECT_EQ(captured(path).size(), 4410u + 441u);
    winsnd_del(&w);
}

TEST_F(Winsnd, CaptureIsCompleteWhenTheProgramExits) {
    std::string path = temp_path("exit.wav");
    EXPECT_EXIT(
        {
            use_backend(1);
            winsnd_capture_to(path.c_str());
            WINSND *w = winsnd_new();
            SAMPLE *s = sample_of(L, [](int32_t) { return 300; });
            list_push(w->queue, s);
            winsnd_feed(w);
            backend_sleep(500);
            std::exit(0);  // from the middle of the run, as escape does
        },
        testing::ExitedWithCode(0), "");
    std::vector<int16_t> v = captured(path);
    ASSERT_EQ(v.size(), 22050u);
    EXPECT_EQ(v[0], 300);
    EXPECT_EQ(v[22049], 300);
}

// ---- The SDL player -----------------------------------------------------------

TEST(WinsndSdl, PlaysThroughADeviceWhileTheDataChanges) {
    use_backend(0);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::string path = temp_path("sdl.wav");
    winsnd_capture_to(path.c_str());
    WINSND *w = winsnd_new();
    ASSERT_NE(w, nullptr);
    SAMPLE *s = sample_of(L, [](int32_t) { return 5; });
    // Rewrite the data area while the audio thread reads it.
    for (int round = 0; round < 40; round++) {
        s->data[0] = round;
        list_push(w->queue, s);
        winsnd_feed(w);
        winsnd_feed(w);
        SDL_Delay(5);
    }
    winsnd_del(&w);  // stops the device before the image goes
    winsnd_capture_to(nullptr);
    std::vector<int16_t> v = captured(path);
    // The dummy device asks for data in real time; whatever it took came
    // from the data area: silence at first, then fives with the round number
    // at the start of each pass.
    EXPECT_GT(v.size(), 0u) << "the dummy device played nothing in 200 ms";
    for (size_t i = 1; i < v.size(); i++)
        if (i % (size_t)L != 0) {
            ASSERT_TRUE(v[i] == 0 || v[i] == 5) << i;
        }
    sample_del(&s);
}

TEST(WinsndSdl, WithoutASoundDeviceTheProgramRunsSilently) {
    use_backend(0);
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    WINSND *w = winsnd_new();
    ASSERT_NE(w, nullptr);
    SAMPLE *s = sample_of(10, [](int32_t) { return 3; });
    list_push(w->queue, s);
    EXPECT_FALSE(winsnd_feed(w));
    EXPECT_EQ(slot(w, 9), 3);
    winsnd_del(&w);
    sample_del(&s);
    unsetenv("SDL_AUDIODRIVER");
}
