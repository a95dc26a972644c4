// The options that reach the machine: every bad value answered with status 2
// and one line before a window could open, the SoundFont check, the volume
// applied to everything played, the synthesiser's level, long key lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/cli.h"
#include "platform/synth.h"
#include "tests/test_run.h"
#include "tests/test_support.h"

// Little-endian 32-bit value as four bytes.
static std::string le32(uint32_t v) {
    return std::string{(char)(v & 0xFF), (char)(v >> 8 & 0xFF), (char)(v >> 16 & 0xFF), (char)(v >> 24)};
}

// A RIFF "sfbk" form holding LIST chunks of the given types (each with 4
// bytes of body after its type), its size field `declared` bytes off.
static std::string soundfont(const std::vector<std::string> &lists, int32_t declared = 0) {
    std::string body = "sfbk";
    for (const std::string &type : lists) body += "LIST" + le32(8) + type + "abcd";
    return "RIFF" + le32((uint32_t)((int32_t)body.size() + declared)) + body;
}

TEST(Options, SoundFontProblems) {
    TempDir dir("test_options");
    const struct { const char *name; std::string bytes; const char *problem; } cases[] = {
        {"good.sf2", soundfont({"INFO", "sdta", "pdta"}), nullptr},
        {"text.sf2", "root:x:0:0:root:/root:/bin/sh\n", "no RIFF sfbk header"},
        {"wave.sf2", "RIFF" + le32(4) + "WAVE", "no RIFF sfbk header"},
        {"short.sf2", soundfont({"INFO", "sdta", "pdta"}, 100), "cut short (the file is smaller"},
        {"chunk.sf2", soundfont({"INFO", "sdta", "pdta"}, -4), "cut short (a chunk reaches"},
        {"nopdta.sf2", soundfont({"INFO", "sdta"}), "part is missing"},
        {"empty.sf2", "", "no RIFF sfbk header"},
    };
    for (const auto &c : cases) {
        write_file(dir.file(c.name), c.bytes);
        const char *problem = synth_soundfont_problem(dir.file(c.name).c_str());
        if (!c.problem) EXPECT_EQ(problem, nullptr) << c.name << ": " << problem;
        else EXPECT_NE(std::string(problem ? problem : "").find(c.problem), std::string::npos) << c.name;
    }
    EXPECT_STREQ(synth_soundfont_problem(dir.file("missing.sf2").c_str()), "No such file or directory");
}

// Status 2 and one line, without a display: the check comes before the
// window would open (which would end with status 5).
TEST(Options, BadValuesEndTheRunAtOnce) {
    TempDir dir("test_options");
    write_file(dir.file("cut.sf2"), soundfont({"INFO", "sdta", "pdta"}, 64));
    write_file(dir.file("plain"), "a file, not a folder");
    const struct { std::string args, message; } cases[] = {
        {"--midi-out no-such-port", "--midi-out 'no-such-port': no such MIDI output port; the ports: "},
        {"--headless --midi-out 14:0", "headless runs use no ALSA port"},
        {"--soundfont /etc/passwd", "--soundfont '/etc/passwd': not a SoundFont"},
        {"--soundfont " + dir.file("cut.sf2"), "cut short"},
        {"--soundfont /no/such.sf2", "No such file or directory"},
        {"--audio-device no-such-device", "--audio-device 'no-such-device': no such sound output device"},
        {"--volume 101", "--volume: '101' is not a whole number from 0 to 100"},
        {"--screenshot-dir " + dir.file("plain") + "/shots", "/plain/shots': cannot make it: Not a directory"},
    };
    for (const auto &c : cases) {
        ProgramRun r = run_program(c.args, "env -u DISPLAY -u WAYLAND_DISPLAY SDL_AUDIODRIVER=dummy");
        EXPECT_EQ(r.status, 2) << c.args << ": " << r.err;
        EXPECT_EQ(r.err.rfind("rivo7315: ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << ": " << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), c.args.rfind("--volume", 0) == 0 ? 2 : 1)
            << r.err;  // a usage error adds the usage line
    }
}

TEST(Options, TheScreenshotFolderIsMadeWithItsParents) {
    TempDir dir("test_options");
    ProgramRun r = run_program("--headless --frames 1 --screenshot-dir " + dir.file("a") + "/b/c");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(run("test -d '" + dir.file("a") + "/b/c' && echo made"), "made\n");
}

// The sound of a short headless capture (the music plays from the title on).
static std::vector<int16_t> captured_sound(const std::string &volume) {
    TempDir dir("test_options_capture");
    ProgramRun r = run_program("--capture " + dir.path + " --frames 60" + volume);
    EXPECT_EQ(r.status, 0) << r.err;
    std::string wav = read_file(dir.file("sound.wav"));
    std::vector<int16_t> v(wav.size() > 44 ? (wav.size() - 44) / 2 : 0);
    if (!v.empty()) memcpy(v.data(), wav.data() + 44, 2 * v.size());
    return v;
}

TEST(Options, VolumeScalesEverythingPlayed) {
    std::vector<int16_t> full = captured_sound(""), half = captured_sound(" --volume 50"),
                         none = captured_sound(" --volume 0");
    ASSERT_EQ(full.size(), half.size());
    ASSERT_EQ(full.size(), none.size());
    EXPECT_GT(std::count_if(full.begin(), full.end(), [](int16_t v) { return v != 0; }), 10000);
    for (size_t i = 0; i < full.size(); i++) {
        ASSERT_EQ(half[i], full[i] / 2) << "value " << i;  // truncated toward zero
        ASSERT_EQ(none[i], 0) << "value " << i;
    }
}

// A velocity-127 middle C on the GM piano at full device volume, as a General
// MIDI synthesiser plays it: its peak between -9 and -3 dBFS.
TEST(Options, APianoNoteAtFullVolumePeaksNearMinusSixDecibels) {
    SYNTH *s = synth_new(synth_soundfont());
    if (!s) GTEST_SKIP() << "no General MIDI SoundFont installed";
    synth_set_volume(s, 0, 0xFFFFFFFFu);
    synth_send(s, 0, 0x0000C0), synth_send(s, 0, 0x7F3C90);  // piano, then the note
    std::vector<int32_t> mix(2 * 44100);
    synth_mix(s, 0, mix.data(), 44100);
    synth_del(&s);
    int32_t peak = 0;
    for (int32_t v : mix) peak = std::max(peak, std::abs(v));
    EXPECT_GE(peak, 11627);  // -9 dBFS of 32768
    EXPECT_LE(peak, 23197);  // -3 dBFS
}

// Keys given in descending frame order come out sorted, equal frames in the
// order given.
TEST(Options, LongKeyListsAreSortedOnce) {
    std::string list;
    for (int f = 180000; f > 0; f--) list += std::to_string(f) + ":" + (f % 2 ? "A" : "B") + ",";
    list += "7:SPACE,7:ESC";
    RUN_OPTIONS o;
    std::string arg = "--keys=" + list;
    char *argv[] = {(char *)"rivo7315", arg.data()};
    ASSERT_EQ(cli_parse(&o, 2, argv, stdout, stderr), CLI_RUN);
    ASSERT_EQ(o.key_count, 180002);
    EXPECT_EQ(o.keys[0].frame, 1u);
    const RUN_KEY seventh[] = {{7, 'A'}, {7, 0x20}, {7, 0x1B}};
    for (int i = 0; i < 3; i++) EXPECT_EQ(o.keys[6 + i].vk, seventh[i].vk) << i;
    EXPECT_EQ(o.keys[180001].frame, 180000u);
    EXPECT_TRUE(std::is_sorted(o.keys, o.keys + o.key_count,
                               [](const RUN_KEY &a, const RUN_KEY &b) { return a.frame < b.frame; }));
    cli_free(&o);
}
