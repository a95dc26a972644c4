// MIDI output: the headless capture device (its report, what it records of
// each message, running status, reset, volume, the kept window of messages)
// and the sequencer path's results when there is no sequencer or no port.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "host/backend.h"
#include "host/cli.h"
#include "host/midi.h"

static void start_backend(int headless) {
    CLI cli;
    std::memset(&cli, 0, sizeof cli);
    cli.headless = headless;
    ASSERT_EQ(backend_start(&cli), 1);
}

class MidiCapture : public testing::Test {
protected:
    void SetUp() override {
        start_backend(1);
        midi_capture_clear();
    }
};

TEST_F(MidiCapture, OneDeviceWithAFixedReport) {
    EXPECT_EQ(midi_out_get_num_devs(), 1u);
    MIDI_CAPS caps;
    std::memset(&caps, 0xEE, sizeof caps);
    ASSERT_EQ(midi_out_get_dev_caps(0, &caps, sizeof caps), MIDI_NOERROR);
    EXPECT_STREQ(caps.name, "RIVO7315 capture");
    EXPECT_EQ(caps.mid, 0);
    EXPECT_EQ(caps.pid, 0);
    EXPECT_EQ(caps.driver_version, 0x0100u);
    EXPECT_EQ(caps.technology, 1);
    EXPECT_EQ(caps.voices, 0);
    EXPECT_EQ(caps.notes, 0);
    EXPECT_EQ(caps.channel_mask, 0xFFFF);
    EXPECT_EQ(caps.support, 0u);
}

TEST_F(MidiCapture, ReportIsCutToTheGivenSize) {
    MIDI_CAPS caps;
    std::memset(&caps, 0xEE, sizeof caps);
    ASSERT_EQ(midi_out_get_dev_caps(0, &caps, 4), MIDI_NOERROR);
    EXPECT_EQ(caps.mid, 0);
    EXPECT_EQ(caps.pid, 0);
    EXPECT_EQ(caps.driver_version, 0xEEEEEEEEu);  // beyond the 4 bytes asked for
}

TEST_F(MidiCapture, BadQueriesGiveTheirCodes) {
    MIDI_CAPS caps;
    EXPECT_EQ(midi_out_get_dev_caps(1, &caps, sizeof caps), MIDI_BADDEVICEID);
    EXPECT_EQ(midi_out_get_dev_caps(0, nullptr, sizeof caps), MIDI_INVALPARAM);
    EXPECT_EQ(midi_out_get_dev_caps(0, &caps, 0), MIDI_INVALPARAM);
    MIDI_OUT *m = reinterpret_cast<MIDI_OUT *>(&caps);
    EXPECT_EQ(midi_out_open(&m, 1), MIDI_BADDEVICEID);
    EXPECT_EQ(m, nullptr);
    EXPECT_EQ(midi_out_open(nullptr, 0), MIDI_INVALPARAM);
}

TEST_F(MidiCapture, RecordsTheBytesEachStatusTakes) {
    MIDI_OUT *m = nullptr;
    ASSERT_EQ(midi_out_open(&m, 0), MIDI_NOERROR);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(midi_out_short_msg(m, 0x00403C90), MIDI_NOERROR);  // note on: 3 bytes
    EXPECT_EQ(midi_out_short_msg(m, 0x007712C5), MIDI_NOERROR);  // program change: 2 bytes
    EXPECT_EQ(midi_out_short_msg(m, 0x007F0AF8), MIDI_NOERROR);  // clock: 1 byte
    EXPECT_EQ(midi_out_short_msg(m, 0x102030E2), MIDI_NOERROR);  // pitch bend: 3 bytes, top byte dropped
    ASSERT_EQ(midi_capture_count(), 4u);
    EXPECT_EQ(midi_capture_message(0), 0x403C90u);
    EXPECT_EQ(midi_capture_message(1), 0x12C5u);
    EXPECT_EQ(midi_capture_message(2), 0xF8u);
    EXPECT_EQ(midi_capture_message(3), 0x2030E2u);
    EXPECT_EQ(midi_out_close(m), MIDI_NOERROR);
}

TEST_F(MidiCapture, DataFirstMessagesUseTheRunningStatus) {
    MIDI_OUT *m = nullptr;
    ASSERT_EQ(midi_out_open(&m, 0), MIDI_NOERROR);
    // No status yet: nothing to continue.
    EXPECT_EQ(midi_out_short_msg(m, 0x00007F45), MIDI_INVALPARAM);
    EXPECT_EQ(midi_capture_count(), 0u);
    midi_out_short_msg(m, 0x00403C90);
    EXPECT_EQ(midi_out_short_msg(m, 0x00117F45), MIDI_NOERROR);  // two data bytes of a note on
    EXPECT_EQ(midi_capture_message(1), 0x7F45u);
    midi_out_short_msg(m, 0x000005C3);
    EXPECT_EQ(midi_out_short_msg(m, 0x00117F45), MIDI_NOERROR);  // one data byte of a program change
    EXPECT_EQ(midi_capture_message(3), 0x45u);
    // Real-time bytes keep the running status; system common ends it.
    midi_out_short_msg(m, 0x000000FE);
    EXPECT_EQ(midi_out_short_msg(m, 0x00000012), MIDI_NOERROR);
    midi_out_short_msg(m, 0x000003F3);
    EXPECT_EQ(midi_out_short_msg(m, 0x00000012), MIDI_INVALPARAM);
    EXPECT_EQ(midi_capture_count(), 7u);
    midi_out_close(m);
}

TEST_F(MidiCapture, SysexBytesAreNoShortMessage) {
    MIDI_OUT *m = nullptr;
    ASSERT_EQ(midi_out_open(&m, 0), MIDI_NOERROR);
    EXPECT_EQ(midi_out_short_msg(m, 0x000000F0), MIDI_INVALPARAM);
    EXPECT_EQ(midi_out_short_msg(m, 0x000000F7), MIDI_INVALPARAM);
    EXPECT_EQ(midi_capture_count(), 0u);
    midi_out_close(m);
}

TEST_F(MidiCapture, VolumeIsKept) {
    MIDI_OUT *m = nullptr;
    ASSERT_EQ(midi_out_open(&m, 0), MIDI_NOERROR);
    uint32_t v = 0;
    EXPECT_EQ(midi_out_get_volume(m, &v), MIDI_NOERROR);
    EXPECT_EQ(v, 0xFFFFFFFFu);
    EXPECT_EQ(midi_out_set_volume(m, 0x03FF03FF), MIDI_NOERROR);
    EXPECT_EQ(midi_out_get_volume(m, &v), MIDI_NOERROR);
    EXPECT_EQ(v, 0x03FF03FFu);
    EXPECT_EQ(midi_out_get_volume(m, nullptr), MIDI_INVALPARAM);
    EXPECT_EQ(midi_capture_count(), 0u);  // volume is no message
    midi_out_close(m);
}

TEST_F(MidiCapture, ResetSilencesEveryChannel) {
    MIDI_OUT *m = nullptr;
    ASSERT_EQ(midi_out_open(&m, 0), MIDI_NOERROR);
    EXPECT_EQ(midi_out_reset(m), MIDI_NOERROR);
    ASSERT_EQ(midi_capture_count(), 32u);
    for (uint32_t ch = 0; ch < 16; ch++) {
        EXPECT_EQ(midi_capture_message(2 * ch), 0xB0u + ch + (64u << 8));
        EXPECT_EQ(midi_capture_message(2 * ch + 1), 0xB0u + ch + (123u << 8));
    }
    midi_out_close(m);
}

TEST_F(MidiCapture, KeepsTheLatestMessagesAndCountsAll) {
    MIDI_OUT *m = nullptr;
    ASSERT_EQ(midi_out_open(&m, 0), MIDI_NOERROR);
    for (uint32_t i = 0; i < 5000; i++) midi_out_short_msg(m, 0x90u | ((i & 0x7F) << 8));
    EXPECT_EQ(midi_capture_count(), 5000u);
    EXPECT_EQ(midi_capture_kept(), 4096u);
    EXPECT_EQ(midi_capture_message(0), 0x90u | (((5000u - 4096u) & 0x7F) << 8));
    EXPECT_EQ(midi_capture_message(4095), 0x90u | ((4999u & 0x7F) << 8));
    EXPECT_EQ(midi_capture_message(4096), 0u);
    midi_out_close(m);
}

TEST_F(MidiCapture, NullHandlesAreRefused) {
    uint32_t v;
    EXPECT_EQ(midi_out_short_msg(nullptr, 0x403C90), MIDI_INVALHANDLE);
    EXPECT_EQ(midi_out_set_volume(nullptr, 1), MIDI_INVALHANDLE);
    EXPECT_EQ(midi_out_get_volume(nullptr, &v), MIDI_INVALHANDLE);
    EXPECT_EQ(midi_out_reset(nullptr), MIDI_INVALHANDLE);
    EXPECT_EQ(midi_out_close(nullptr), MIDI_INVALHANDLE);
    EXPECT_EQ(midi_capture_count(), 0u);
}

// Without the headless backend the devices are the sequencer's ports. On a
// machine without a sequencer (or without any port) every device query fails
// with the codes the demo's shutdown reacts to.
TEST(MidiSequencer, QueriesAgreeWithTheNumberOfPorts) {
    start_backend(0);
    uint32_t n = midi_out_get_num_devs();
    MIDI_CAPS caps;
    MIDI_OUT *m = nullptr;
    if (n == 0) {
        int32_t r = midi_out_get_dev_caps(0, &caps, sizeof caps);
        EXPECT_TRUE(r == MIDI_NODRIVER || r == MIDI_BADDEVICEID) << r;
        EXPECT_EQ(midi_out_open(&m, 0), r);
        EXPECT_EQ(m, nullptr);
    } else {
        ASSERT_EQ(midi_out_get_dev_caps(0, &caps, sizeof caps), MIDI_NOERROR);
        EXPECT_NE(caps.name[0], '\0');
        EXPECT_EQ(caps.name[sizeof caps.name - 1], '\0');
        ASSERT_EQ(midi_out_open(&m, 0), MIDI_NOERROR);
        EXPECT_EQ(midi_out_short_msg(m, 0x00403C90), MIDI_NOERROR);
        EXPECT_EQ(midi_out_reset(m), MIDI_NOERROR);
        EXPECT_EQ(midi_out_close(m), MIDI_NOERROR);
    }
    EXPECT_EQ(midi_out_get_dev_caps(n, &caps, sizeof caps),
              n == 0 ? midi_out_get_dev_caps(0, &caps, sizeof caps) : MIDI_BADDEVICEID);
    backend_stop();
}

TEST(MidiSequencer, ResultTextsSayWhatToDo) {
    EXPECT_NE(std::string(midi_out_result_text(MIDI_BADDEVICEID)).find("snd-seq-dummy"),
              std::string::npos);
    EXPECT_NE(std::string(midi_out_result_text(MIDI_NODRIVER)).find("sequencer"), std::string::npos);
    EXPECT_NE(std::string(midi_out_result_text(MIDI_NOMEM)).find("memory"), std::string::npos);
    EXPECT_STREQ(midi_out_result_text(12345), "unknown MIDI error");
}
