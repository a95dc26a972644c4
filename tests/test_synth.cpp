// The built-in synthesiser: events take effect at their stamps and in their
// order, the device volume per channel; and in whole headless runs, sound
// that repeats byte for byte, carries the notes, and falls to digital silence
// while muted.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/synth.h"
#include "tests/test_support.h"

namespace {

// One loaded synthesiser for the suite; each test starts it from a system reset.
class Synth : public testing::Test {
protected:
    static SYNTH *synth;
    static void SetUpTestSuite() { synth = synth_new(synth_soundfont()); }
    static void TearDownTestSuite() { synth_del(&synth); }
    void SetUp() override {
        if (!synth) GTEST_SKIP() << "no General MIDI SoundFont installed";
        synth_send(synth, -1, 0xFF);  // system reset, at once
        synth_set_volume(synth, -1, 0xFFFFFFFF);
        render(256);  // the reset's voices end
        ASSERT_EQ(synth_voices(synth), 0);
    }
    // The next n frames, mixed onto zeros.
    std::vector<int32_t> render(int32_t n) {
        std::vector<int32_t> mix(2 * (size_t)n, 0);
        synth_mix(synth, position, mix.data(), n);
        position += n;
        return mix;
    }
    // Stamps never go back, so the position runs on from test to test.
    static int64_t position;
    static int64_t at(int64_t k) { return position + k; }
};
SYNTH *Synth::synth = nullptr;
int64_t Synth::position = 0;

// Index of the first frame with a non-zero value, or -1.
int32_t first_sound(const std::vector<int32_t> &mix) {
    for (size_t i = 0; i < mix.size(); i++)
        if (mix[i] != 0) return (int32_t)(i / 2);
    return -1;
}

int64_t energy(const std::vector<int32_t> &mix, int channel) {
    int64_t e = 0;
    for (size_t i = (size_t)channel; i < mix.size(); i += 2) e += std::abs(mix[i]);
    return e;
}

const uint32_t note_on = 0x7F3C90;  // channel 0, middle C, full velocity

}  // namespace

TEST_F(Synth, NotesStartAtTheirStampsAndSilenceAddsNothing) {
    // The note's attack begins with values that round to 0: its first
    // sound from a stamp at frame 0 is the reference.
    synth_send(synth, -1, note_on);  // a negative stamp applies at once
    EXPECT_EQ(synth_voices(synth), 1);
    int32_t attack = first_sound(render(4096));
    ASSERT_GE(attack, 0);
    SetUp();
    EXPECT_EQ(first_sound(render(4096)), -1);
    synth_send(synth, at(5000), note_on);
    EXPECT_EQ(first_sound(render(4096)), -1);
    // The engine works in 64-frame steps: the note starts in the step at or
    // after its stamp.
    int32_t first = first_sound(render(4096));
    EXPECT_TRUE(first >= 904 && first < 904 + 64 + attack) << first;
    // While voices sound, a stamp is met within the engine's 64-frame step.
    synth_send(synth, at(700), 0x7F4091);
    int32_t before = (render(700), synth_voices(synth)), after = (render(64), synth_voices(synth));
    EXPECT_EQ(std::make_pair(before, after), std::make_pair(1, 2));
}

TEST_F(Synth, EventsKeepTheirOrderAndNeverGoBack) {
    // Volume off, a note, volume on at one stamp: the last word holds.
    synth_set_volume(synth, at(100), 0);
    synth_send(synth, at(100), note_on);
    synth_set_volume(synth, at(100), 0xFFFFFFFF);
    // An earlier stamp after a later one counts as the later one.
    synth_send(synth, at(50), 0x7F4090);
    EXPECT_EQ((render(100), synth_voices(synth)), 0);
    EXPECT_GT(energy(render(2048), 0), 0);
    EXPECT_EQ(synth_voices(synth), 2);
    synth_set_volume(synth, at(0), 0xFFFFFFFF), synth_set_volume(synth, at(0), 0);
    EXPECT_EQ(first_sound(render(2048)), -1);
}

TEST_F(Synth, VolumeScalesEachChannelFromItsWord) {
    // The same note at full, half and left-only volume.
    const int64_t cases[][3] = {{0xFFFFFFFF, 1000, 1000}, {0x7FFF7FFF, 500, 500}, {0x0000FFFF, 1000, 0}, {0xFFFF0000, 0, 1000}};
    int64_t full[2] = {0, 0};
    for (const auto &c : cases) {
        SetUp();
        synth_set_volume(synth, at(0), (uint32_t)c[0]);
        synth_send(synth, at(0), note_on);
        std::vector<int32_t> mix = render(8192);
        for (int ch = 0; ch < 2; ch++) {
            if (c[0] == 0xFFFFFFFF) full[ch] = energy(mix, ch);
            ASSERT_GT(full[ch], 100000);
            EXPECT_NEAR(energy(mix, ch) * 1000 / full[ch], c[1 + ch], 2) << std::hex << c[0] << " channel " << ch;
        }
    }
}

TEST(SynthSoundFont, TheChosenFileOrTheKnownOnes) {
    TempDir dir("test_synth");
    write_file(dir.file("bad.sf2"), "RIFF not a SoundFont");
    synth_set_soundfont("/no/such/file.sf2");
    EXPECT_EQ(std::make_pair(synth_soundfont(), synth_new(synth_soundfont())), std::make_pair((const char *)nullptr, (SYNTH *)nullptr));
    synth_set_soundfont(dir.file("bad.sf2").c_str());
    EXPECT_EQ(synth_new(synth_soundfont()), nullptr);
    synth_set_soundfont(nullptr);
    EXPECT_EQ(std::string(synth_soundfont() ? synth_soundfont() : "/usr/share/sounds/sf").rfind("/usr/share/sounds/sf", 0), 0u);
}

// ---- Whole headless runs ------------------------------------------------------

namespace {

// sound.wav of a headless run: scenes 1 and 2 skipped, 60 frames of scene 3
// (no time passes: it does not wait), then 0.6 seconds of scene 4. Empty when the run fails.
std::string run_sound(const std::string &extra) {
    TempDir dir("test_synth_run");
    std::string cmd = std::string("'") + RIVO_PROGRAM + "' --headless --frames 100 --capture '" + dir.path +
                      "' --keys 40:SPACE,45:SPACE,200:SPACE " + extra + " >/dev/null 2>&1";
    if (std::system(cmd.c_str()) != 0) return "";
    return read_file(dir.file("sound.wav"));
}

}  // namespace

TEST(SynthRun, HeadlessSoundRepeatsAndCarriesTheNotes) {
    if (!synth_soundfont()) GTEST_SKIP() << "no General MIDI SoundFont installed";
    std::string a = run_sound(""), b = run_sound(""), log = run_sound("--midi-out capture");
    ASSERT_GT(a.size(), 44u + 4 * 22050u);
    EXPECT_TRUE(a == b) << "two runs sound different";
    ASSERT_EQ(a.size(), log.size());
    // Stereo from the first byte; the notes sound where scene 3 ends.
    EXPECT_EQ(a.substr(22, 2), std::string("\x02\x00", 2));
    EXPECT_NE(a.substr(44), log.substr(44)) << "the synthesiser added nothing";
}

TEST(SynthRun, MutedRunsAreDigitalSilence) {
    std::string muted = run_sound("--keys 2:O");
    ASSERT_GT(muted.size(), 44u + 4 * 22050u);
    // The key acts in the fade's first frames, before any time has passed.
    EXPECT_EQ(muted.find_first_not_of('\0', 44), std::string::npos);
}
