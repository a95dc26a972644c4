// MIDI output: the bytes each status takes and running status (through the
// capture device), its kept window, reset and volume; what device 0 is for
// each --midi-out choice and the synthesiser's report; the result texts. The
// built-in synthesiser: events at their stamps and in their order, the device
// volume per channel; in whole headless runs, sound that repeats byte for
// byte, carries the notes, and falls to digital silence while muted.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/backend.h"
#include "host/cli.h"
#include "host/midi.h"
#include "host/synth.h"
#include "tests/test_support.h"

namespace {

void start_backend(int headless) {
    CLI cli{};
    cli.headless = headless;
    ASSERT_EQ(backend_start(&cli), 1);
}

// An open capture device on the headless backend, its log cleared.
class Capture : public testing::Test {
protected:
    MIDI_OUT *m = nullptr;
    void SetUp() override {
        start_backend(1), midi_out_choose("capture"), midi_capture_clear();
        ASSERT_EQ(midi_out_open(&m, 0), MIDI_NOERROR);
    }
    void TearDown() override { midi_out_close(m), midi_out_choose(nullptr), backend_stop(); }
    // What the capture device recorded of one message, or -1 when it was refused.
    int64_t sent(uint32_t message) {
        uint32_t before = midi_capture_count();
        if (midi_out_short_msg(m, message) != MIDI_NOERROR) return -1;
        return midi_capture_count() == before + 1 ? (int64_t)midi_capture_message(midi_capture_kept() - 1) : -2;
    }
};

TEST_F(Capture, EachStatusTakesItsNumberOfBytes) {
    const std::pair<uint32_t, int64_t> cases[] = {
        {0xFF7F3C80, 0x7F3C80}, {0x00403C90, 0x403C90}, {0x99407FA3, 0x407FA3},  // note off/on, key pressure
        {0x12345BB0, 0x345BB0}, {0x007712C5, 0x12C5},   {0x7F7F40D1, 0x40D1},    // controller, program, pressure
        {0x102030E2, 0x2030E2}, {0x00001AF1, 0x1AF1},   {0x00337FF2, 0x337FF2},  // bend, time code, song position
        {0x007F05F3, 0x05F3},   {0x00FFFFF6, 0xF6},     {0x007F0AF8, 0xF8},      // song select, tune, clock
        {0x000000FF, 0xFF},     {0x000000F0, -1},       {0x000000F7, -1},        // reset; sysex is no short message
    };
    for (const auto &[message, recorded] : cases) EXPECT_EQ(sent(message), recorded) << std::hex << message;
}

TEST_F(Capture, DataFirstMessagesContinueTheRunningStatus) {
    // Each row: a status message sent first (0: none), then a data-first one.
    const uint32_t cases[][3] = {
        {0, 0x00117F45, (uint32_t)-1},     // nothing to continue yet
        {0x00403C90, 0x00117F45, 0x7F45},  // two data bytes of a note on
        {0x000005C3, 0x00117F45, 0x45},    // one of a program change
        {0x000000FE, 0x00000012, 0x12},    // real-time bytes keep it
        {0x000003F3, 0x00000012, (uint32_t)-1},  // system common ends it
        {0x000020E5, 0x00117F45, 0x7F45},  // two of a pitch bend
    };
    for (const auto &c : cases) {
        if (c[0]) sent(c[0]);
        EXPECT_EQ(sent(c[1]), (int64_t)(int32_t)c[2]) << std::hex << c[0];
    }
}

TEST_F(Capture, ResetKeptWindowAndVolume) {
    EXPECT_EQ(midi_out_reset(m), MIDI_NOERROR);  // sustain off, all notes off, each channel
    ASSERT_EQ(midi_capture_count(), 32u);
    for (uint32_t i = 0; i < 32; i++) EXPECT_EQ(midi_capture_message(i), 0xB0u + i / 2 + ((i % 2 ? 123u : 64u) << 8));
    midi_capture_clear();
    for (uint32_t i = 0; i < 5000; i++) midi_out_short_msg(m, 0x90u | ((i & 0x7F) << 8));
    EXPECT_EQ(std::make_pair(midi_capture_count(), midi_capture_kept()), std::make_pair(5000u, 4096u));
    EXPECT_EQ((std::vector<uint32_t>{midi_capture_message(0), midi_capture_message(4095), midi_capture_message(4096)}),
              (std::vector<uint32_t>{0x90u | ((904u & 0x7F) << 8), 0x90u | ((4999u & 0x7F) << 8), 0u}));
    midi_capture_clear();
    uint32_t v = 0, after = 0;
    EXPECT_EQ(midi_out_get_volume(m, &v), MIDI_NOERROR);
    EXPECT_EQ(midi_out_set_volume(m, 0x03FF03FF), MIDI_NOERROR);
    EXPECT_EQ(midi_out_get_volume(m, &after), MIDI_NOERROR);
    EXPECT_EQ(std::make_pair(v, after), std::make_pair(0xFFFFFFFFu, 0x03FF03FFu));
    MIDI_CAPS caps;  // bad handles and arguments
    EXPECT_EQ((std::vector<int32_t>{midi_out_get_volume(m, nullptr), midi_out_short_msg(nullptr, 0x403C90), midi_out_reset(nullptr),
                                    midi_out_get_dev_caps(0, &caps, 0), midi_out_open(nullptr, 0)}),
              (std::vector<int32_t>{MIDI_INVALPARAM, MIDI_INVALHANDLE, MIDI_INVALHANDLE, MIDI_INVALPARAM, MIDI_INVALPARAM}));
    EXPECT_EQ(midi_capture_count(), 0u);  // the volume is no message
}

// ---- Which device is 0 ------------------------------------------------------------

TEST(MidiDevices, DeviceZeroFollowsTheChoiceHeadless) {
    start_backend(1);
    const struct { const char *where, *soundfont; uint32_t devices; int32_t caps0; const char *name; uint16_t technology; } choices[] = {
        {"synth", nullptr, 1, MIDI_NOERROR, synth_name, MIDI_TECH_SWSYNTH},
        {"capture", nullptr, 1, MIDI_NOERROR, "RIVO7315 capture", MIDI_TECH_PORT},
        {"none", nullptr, 0, MIDI_BADDEVICEID, "", 0},
        {"14:0", nullptr, 0, MIDI_BADDEVICEID, "", 0},  // headless runs list no port
        // Without a SoundFont the capture device stands in.
        {"synth", "/no/such.sf2", 1, MIDI_NOERROR, "RIVO7315 capture", MIDI_TECH_PORT},
    };
    for (const auto &c : choices) {
        ASSERT_EQ(midi_out_choose(c.where), 1);
        synth_set_soundfont(c.soundfont);
        if (!c.soundfont && !synth_soundfont() && !strcmp(c.where, "synth")) continue;
        MIDI_CAPS caps{};
        EXPECT_EQ(midi_out_get_num_devs(), c.devices) << c.where;
        EXPECT_EQ(midi_out_get_dev_caps(0, &caps, sizeof caps), c.caps0) << c.where;
        EXPECT_EQ(std::make_pair(std::string(caps.name), caps.technology), std::make_pair(std::string(c.name), c.technology)) << c.where;
        EXPECT_EQ(midi_out_get_dev_caps(1, &caps, sizeof caps), MIDI_BADDEVICEID) << c.where;
    }
    EXPECT_EQ(midi_out_choose(""), 0);
    midi_out_choose(nullptr), synth_set_soundfont(nullptr), backend_stop();
}

TEST(MidiDevices, TheSynthesiserReportsItselfAndKeepsItsVolume) {
    start_backend(1);
    midi_out_choose("synth");
    if (!synth_soundfont()) GTEST_SKIP() << "no General MIDI SoundFont installed";
    MIDI_CAPS caps, cut;
    std::memset(&caps, 0xEE, sizeof caps), std::memset(&cut, 0xEE, sizeof cut);
    ASSERT_EQ(midi_out_get_dev_caps(0, &caps, sizeof caps), MIDI_NOERROR);
    ASSERT_EQ(midi_out_get_dev_caps(0, &cut, 4), MIDI_NOERROR);  // a short buffer gets the first bytes only
    EXPECT_STREQ(caps.name, "RIVO7315 GM Synthesizer");
    // mid, pid, driver version, technology, voices, notes, channels, support (volume and left/right).
    EXPECT_EQ((std::vector<uint32_t>{caps.mid, caps.pid, caps.driver_version, caps.technology, caps.voices, caps.notes,
                                     caps.channel_mask, caps.support, cut.driver_version}),
              (std::vector<uint32_t>{0, 0, 0x0100, 7, 64, 64, 0xFFFF, 3, 0xEEEEEEEE}));
    MIDI_OUT *m = nullptr;
    uint32_t v = 0;
    ASSERT_EQ(midi_out_open(&m, 0), MIDI_NOERROR);
    EXPECT_EQ((std::vector<int32_t>{midi_out_set_volume(m, 0x12345678), midi_out_get_volume(m, &v), midi_out_short_msg(m, 0x7F3C90),
                                    midi_out_reset(m), midi_out_close(m)}),
              std::vector<int32_t>(5, MIDI_NOERROR));
    EXPECT_EQ(v, 0x12345678u);
    backend_stop();
}

// In a window run the ALSA ports follow the synthesiser; on a machine
// without a sequencer there are none.
TEST(MidiDevices, PortsFollowDeviceZeroInAWindowRun) {
    start_backend(0);
    midi_out_choose("capture");
    uint32_t n = midi_out_get_num_devs();
    MIDI_CAPS caps{};
    MIDI_OUT *m = nullptr;
    int32_t beyond = midi_out_get_dev_caps(n, &caps, sizeof caps), second = midi_out_get_dev_caps(1, &caps, sizeof caps);
    EXPECT_TRUE(n >= 1 && (beyond == MIDI_BADDEVICEID || beyond == MIDI_NODRIVER)) << n << " " << beyond;
    EXPECT_TRUE(n == 1 || (second == MIDI_NOERROR && caps.technology == MIDI_TECH_PORT)) << n;
    EXPECT_EQ(midi_out_open(&m, n), beyond);
    EXPECT_EQ(m, nullptr);
    EXPECT_EQ((midi_out_choose("none"), midi_out_get_num_devs()), 0u);
    midi_out_choose(nullptr), backend_stop();
}

TEST(MidiDevices, ResultTextsSayWhatToDo) {
    const char *cases[][2] = {
        {"none", "--midi-out none"}, {"Roland", "'Roland'"}, {"synth", "snd-seq-dummy"},
        {"synth", "sequencer"},      {"synth", "memory"},    {"synth", "unknown MIDI error"},
    };
    const int32_t results[] = {MIDI_BADDEVICEID, MIDI_BADDEVICEID, MIDI_BADDEVICEID, MIDI_NODRIVER, MIDI_NOMEM, 12345};
    for (int i = 0; i < 6; i++) {
        midi_out_choose(cases[i][0]);
        EXPECT_NE(std::string(midi_out_result_text(results[i])).find(cases[i][1]), std::string::npos) << cases[i][1];
    }
    midi_out_choose(nullptr);
}

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
