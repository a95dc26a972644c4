// MIDI output: the bytes each status takes and running status (through the
// capture device), its kept window, reset and volume; what device 0 is for
// each --midi-out choice and the synthesiser's report; the result texts.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "host/backend.h"
#include "host/cli.h"
#include "host/midi.h"
#include "host/synth.h"

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
        start_backend(1);
        midi_out_choose("capture");
        midi_capture_clear();
        ASSERT_EQ(midi_out_open(&m, 0), MIDI_NOERROR);
    }
    void TearDown() override {
        midi_out_close(m);
        midi_out_choose(nullptr);
        synth_set_soundfont(nullptr);
        backend_stop();
    }
    // What the capture device recorded of one message, or -1 when it was refused.
    int64_t sent(uint32_t message) {
        uint32_t before = midi_capture_count();
        if (midi_out_short_msg(m, message) != MIDI_NOERROR) return -1;
        return midi_capture_count() == before + 1 ? (int64_t)midi_capture_message(midi_capture_kept() - 1) : -2;
    }
};

}  // namespace

TEST_F(Capture, EachStatusTakesItsNumberOfBytes) {
    const struct {
        uint32_t message;
        int64_t recorded;
    } cases[] = {
        {0xFF7F3C80, 0x7F3C80}, {0x00403C90, 0x403C90}, {0x99407FA3, 0x407FA3},  // note off/on, key pressure
        {0x12345BB0, 0x345BB0}, {0x007712C5, 0x12C5},   {0x7F7F40D1, 0x40D1},    // controller, program, pressure
        {0x102030E2, 0x2030E2}, {0x00001AF1, 0x1AF1},   {0x00337FF2, 0x337FF2},  // bend, time code, song position
        {0x007F05F3, 0x05F3},   {0x00FFFFF6, 0xF6},     {0x007F0AF8, 0xF8},      // song select, tune, clock
        {0x000000FF, 0xFF},     {0x000000F0, -1},       {0x000000F7, -1},        // reset; sysex is no short message
    };
    for (const auto &c : cases) EXPECT_EQ(sent(c.message), c.recorded) << std::hex << c.message;
}

TEST_F(Capture, DataFirstMessagesContinueTheRunningStatus) {
    // Each row: a status message sent first (0: none), then a data-first one.
    const struct {
        uint32_t status;
        uint32_t data;
        int64_t recorded;
    } cases[] = {
        {0, 0x00117F45, -1},            // nothing to continue yet
        {0x00403C90, 0x00117F45, 0x7F45},  // two data bytes of a note on
        {0x000005C3, 0x00117F45, 0x45},    // one of a program change
        {0x000000FE, 0x00000012, 0x12},    // real-time bytes keep it
        {0x000003F3, 0x00000012, -1},      // system common ends it
    };
    for (const auto &c : cases) {
        if (c.status) sent(c.status);
        EXPECT_EQ(sent(c.data), c.recorded) << std::hex << c.status;
    }
}

TEST_F(Capture, ResetEndsSustainAndNotesOnEveryChannel) {
    EXPECT_EQ(midi_out_reset(m), MIDI_NOERROR);
    ASSERT_EQ(midi_capture_count(), 32u);
    for (uint32_t ch = 0; ch < 16; ch++) {
        EXPECT_EQ(midi_capture_message(2 * ch), 0xB0u + ch + (64u << 8));
        EXPECT_EQ(midi_capture_message(2 * ch + 1), 0xB0u + ch + (123u << 8));
    }
}

TEST_F(Capture, KeepsTheLatestMessagesAndCountsAll) {
    for (uint32_t i = 0; i < 5000; i++) midi_out_short_msg(m, 0x90u | ((i & 0x7F) << 8));
    EXPECT_EQ(midi_capture_count(), 5000u);
    EXPECT_EQ(midi_capture_kept(), 4096u);
    EXPECT_EQ(midi_capture_message(0), 0x90u | (((5000u - 4096u) & 0x7F) << 8));
    EXPECT_EQ(midi_capture_message(4095), 0x90u | ((4999u & 0x7F) << 8));
    EXPECT_EQ(midi_capture_message(4096), 0u);
}

TEST_F(Capture, VolumeIsKeptAndIsNoMessage) {
    uint32_t v = 0;
    EXPECT_EQ(midi_out_get_volume(m, &v), MIDI_NOERROR);
    EXPECT_EQ(v, 0xFFFFFFFFu);
    EXPECT_EQ(midi_out_set_volume(m, 0x03FF03FF), MIDI_NOERROR);
    EXPECT_EQ(midi_out_get_volume(m, &v), MIDI_NOERROR);
    EXPECT_EQ(v, 0x03FF03FFu);
    EXPECT_EQ(midi_out_get_volume(m, nullptr), MIDI_INVALPARAM);
    EXPECT_EQ(midi_capture_count(), 0u);
}

TEST_F(Capture, BadHandlesAndParametersAreRefused) {
    MIDI_CAPS caps;
    EXPECT_EQ(midi_out_short_msg(nullptr, 0x403C90), MIDI_INVALHANDLE);
    EXPECT_EQ(midi_out_reset(nullptr), MIDI_INVALHANDLE);
    EXPECT_EQ(midi_out_get_dev_caps(0, &caps, 0), MIDI_INVALPARAM);
    EXPECT_EQ(midi_out_open(nullptr, 0), MIDI_INVALPARAM);
    EXPECT_EQ(midi_capture_count(), 0u);
}

// ---- Which device is 0 ------------------------------------------------------------

namespace {

struct Choice {
    const char *where;     // --midi-out
    const char *soundfont; // --soundfont, or null
    uint32_t devices;      // headless
    int32_t caps0;         // result of the report of device 0
    const char *name;      // its name
    uint16_t technology;
};

}  // namespace

TEST(MidiDevices, DeviceZeroFollowsTheChoiceHeadless) {
    start_backend(1);
    const Choice choices[] = {
        {"synth", nullptr, 1, MIDI_NOERROR, synth_name, MIDI_TECH_SWSYNTH},
        {"capture", nullptr, 1, MIDI_NOERROR, "RIVO7315 capture", MIDI_TECH_PORT},
        {"none", nullptr, 0, MIDI_BADDEVICEID, "", 0},
        {"14:0", nullptr, 0, MIDI_BADDEVICEID, "", 0},  // headless runs list no port
        // Without a SoundFont the capture device stands in.
        {"synth", "/no/such.sf2", 1, MIDI_NOERROR, "RIVO7315 capture", MIDI_TECH_PORT},
    };
    for (const Choice &c : choices) {
        ASSERT_EQ(midi_out_choose(c.where), 1);
        synth_set_soundfont(c.soundfont);
        if (!c.soundfont && !synth_soundfont() && !strcmp(c.where, "synth")) continue;
        MIDI_CAPS caps{};
        EXPECT_EQ(midi_out_get_num_devs(), c.devices) << c.where;
        EXPECT_EQ(midi_out_get_dev_caps(0, &caps, sizeof caps), c.caps0) << c.where;
        EXPECT_STREQ(caps.name, c.name) << c.where;
        EXPECT_EQ(caps.technology, c.technology) << c.where;
        EXPECT_EQ(midi_out_get_dev_caps(1, &caps, sizeof caps), MIDI_BADDEVICEID) << c.where;
    }
    EXPECT_EQ(midi_out_choose(""), 0);
    midi_out_choose(nullptr);
    synth_set_soundfont(nullptr);
    backend_stop();
}

TEST(MidiDevices, TheSynthesiserReportsItselfAndKeepsItsVolume) {
    start_backend(1);
    midi_out_choose("synth");
    if (!synth_soundfont()) GTEST_SKIP() << "no General MIDI SoundFont installed";
    MIDI_CAPS caps;
    std::memset(&caps, 0xEE, sizeof caps);
    ASSERT_EQ(midi_out_get_dev_caps(0, &caps, sizeof caps), MIDI_NOERROR);
    EXPECT_LE(std::strlen(caps.name), 31u);
    EXPECT_NE(std::string(caps.name).find("RIVO7315"), std::string::npos);
    EXPECT_EQ(caps.mid, 0);
    EXPECT_EQ(caps.pid, 0);
    EXPECT_EQ(caps.driver_version, 0x0100u);
    EXPECT_EQ(caps.technology, 7);
    EXPECT_EQ(caps.voices, synth_polyphony);
    EXPECT_EQ(caps.notes, synth_polyphony);
    EXPECT_EQ(caps.channel_mask, 0xFFFF);
    EXPECT_EQ(caps.support, 3u);  // volume and left/right volume
    // A short buffer gets the report's first bytes only.
    std::memset(&caps, 0xEE, sizeof caps);
    ASSERT_EQ(midi_out_get_dev_caps(0, &caps, 4), MIDI_NOERROR);
    EXPECT_EQ(caps.driver_version, 0xEEEEEEEEu);
    MIDI_OUT *m = nullptr;
    ASSERT_EQ(midi_out_open(&m, 0), MIDI_NOERROR);
    uint32_t v = 0;
    EXPECT_EQ(midi_out_set_volume(m, 0x12345678), MIDI_NOERROR);
    EXPECT_EQ(midi_out_get_volume(m, &v), MIDI_NOERROR);
    EXPECT_EQ(v, 0x12345678u);
    EXPECT_EQ(midi_out_short_msg(m, 0x7F3C90), MIDI_NOERROR);
    EXPECT_EQ(midi_out_reset(m), MIDI_NOERROR);
    EXPECT_EQ(midi_out_close(m), MIDI_NOERROR);
    backend_stop();
}

// In a window run the ALSA ports follow the synthesiser; on a machine
// without a sequencer there are none.
TEST(MidiDevices, PortsFollowDeviceZeroInAWindowRun) {
    start_backend(0);
    midi_out_choose("capture");
    uint32_t n = midi_out_get_num_devs();
    ASSERT_GE(n, 1u);
    MIDI_CAPS caps;
    int32_t beyond = midi_out_get_dev_caps(n, &caps, sizeof caps);
    EXPECT_TRUE(beyond == MIDI_BADDEVICEID || beyond == MIDI_NODRIVER) << beyond;
    MIDI_OUT *m = nullptr;
    EXPECT_EQ(midi_out_open(&m, n), beyond);
    EXPECT_EQ(m, nullptr);
    if (n > 1) {
        ASSERT_EQ(midi_out_get_dev_caps(1, &caps, sizeof caps), MIDI_NOERROR);
        EXPECT_EQ(caps.technology, MIDI_TECH_PORT);
    }
    midi_out_choose("none");
    EXPECT_EQ(midi_out_get_num_devs(), 0u);
    midi_out_choose(nullptr);
    backend_stop();
}

TEST(MidiDevices, TheCommandLineNamesDeviceZeroAndTheSoundFont) {
    const char *good[] = {"rivo7315", "--midi-out=14:0", "--soundfont", "/x/y.sf2"};
    CLI cli;
    ASSERT_EQ(cli_parse(&cli, 4, const_cast<char **>(good), stdout, stderr), CLI_RUN);
    EXPECT_STREQ(cli.midi_out, "14:0");
    EXPECT_STREQ(cli.soundfont, "/x/y.sf2");
    cli_free(&cli);
    FILE *null = std::fopen("/dev/null", "w");
    for (const char *bad : {"--midi-out", "--midi-out=", "--soundfont="}) {
        const char *argv[] = {"rivo7315", bad};
        EXPECT_EQ(cli_parse(&cli, 2, const_cast<char **>(argv), null, null), 2) << bad;
    }
    std::fclose(null);
}

TEST(MidiDevices, ResultTextsSayWhatToDo) {
    const struct {
        const char *where;
        int32_t result;
        const char *says;
    } cases[] = {
        {"none", MIDI_BADDEVICEID, "--midi-out none"},
        {"Roland", MIDI_BADDEVICEID, "'Roland'"},
        {"synth", MIDI_BADDEVICEID, "snd-seq-dummy"},
        {"synth", MIDI_NODRIVER, "sequencer"},
        {"synth", MIDI_NOMEM, "memory"},
        {"synth", 12345, "unknown MIDI error"},
    };
    for (const auto &c : cases) {
        midi_out_choose(c.where);
        EXPECT_NE(std::string(midi_out_result_text(c.result)).find(c.says), std::string::npos) << c.says;
    }
    midi_out_choose(nullptr);
}
