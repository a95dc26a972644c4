// Command line: options into the RUN_OPTIONS record, key lists and names, every
// number option at and beyond its bounds, and the exit status (with its
// message) of --help, --version, bad options and every way a run ends, both
// parsed in process and from the built program.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/cli.h"
#include "tests/test_run.h"
#include "tests/test_support.h"

namespace {

// Parses the words as a command line; status, output and error text back.
struct Line {
    int status;
    RUN_OPTIONS cli;
    std::string out, err;
    ~Line() { cli_free(&cli); }
};

void parse(Line &p, std::vector<const char *> words) {
    words.insert(words.begin(), "rivo7315");
    FILE *out = tmpfile(), *err = tmpfile();
    p.status = cli_parse(&p.cli, (int)words.size(), (char **)words.data(), out, err);
    for (auto [f, s] : {std::pair{out, &p.out}, std::pair{err, &p.err}}) rewind(f), *s = slurp(f), fclose(f);
}

}  // namespace

TEST(Cli, EveryOptionIsReadAndKeysAreSortedByFrameKeepingTheGivenOrder) {
    Line p;
    parse(p, {"--headless", "--frames", "120", "--hash", "--capture", "/tmp/x", "--zoom=3", "--fullscreen",
              "--keys", "900:ESC,100:SPACE,250:P", "--keys=250:Q,260:p", "--record=a.MP4", "--screenshot-dir", "s",
              "--midi-out=none", "--soundfont", "f.sf2"});
    ASSERT_EQ(p.status, CLI_RUN) << p.err;
    const int32_t flags[] = {p.cli.headless, p.cli.frames, p.cli.hash, p.cli.zoom, p.cli.fullscreen};
    EXPECT_EQ(std::vector<int32_t>(flags, flags + 5), (std::vector<int32_t>{1, 120, 1, 3, 1}));
    std::string texts = std::string(p.cli.capture) + "|" + p.cli.record + "|" + p.cli.screenshot_dir + "|" +
                        p.cli.midi_out + "|" + p.cli.soundfont;
    EXPECT_EQ(texts, "/tmp/x|a.MP4|s|none|f.sf2");
    std::string keys;
    for (int32_t i = 0; i < p.cli.key_count; i++) keys += std::to_string(p.cli.keys[i].frame) + ":" + std::to_string(p.cli.keys[i].vk) + " ";
    EXPECT_EQ(keys, "100:32 250:80 250:81 260:80 900:27 ");
    cli_free(&p.cli);
    EXPECT_TRUE(p.cli.keys == nullptr && p.cli.capture == nullptr && p.cli.zoom == 1);
}

TEST(Cli, KeyNamesAndLists) {
    const struct { const char *name; size_t len; int32_t vk; } cases[] = {
        {"SPACE", 5, 0x20}, {"esc", 3, 0x1B},   {"Escape", 6, 0x1B}, {"a", 1, 0x41},    {"Z", 1, 0x5A},
        {"0", 1, 0x30},     {"9", 1, 0x39},     {"F1", 2, 0x70},     {"F12", 3, 0x7B},  {"f24", 3, 0x87},
        {"ENTER", 5, 0x0D}, {"COMMA", 5, 0xBC}, {"PERIOD", 6, 0xBE}, {"down", 4, 0x28}, {"F0", 2, 0},
        {"F25", 3, 0},      {"SPACEBAR", 8, 0}, {"SPAC", 4, 0},      {"!", 1, 0},       {"", 0, 0},
        {nullptr, 3, 0},    {"SPACE,1:A", 5, 0x20},  // only the first len characters count
    };
    for (const auto &c : cases) EXPECT_EQ(cli_key_code(c.name, c.len), c.vk) << (c.name ? c.name : "null");
    for (const char *bad : {"", "A", "1:", ":A", "1:NOPE", "1:A,", ",1:A", "x:A", "-1:A", "1:A,,2:B", "1:A;2:B",
                            "4294967296:A", "1 :A", "1:A 2:B"}) {
        RUN_OPTIONS cli{};
        EXPECT_FALSE(cli_add_keys(&cli, bad)) << "'" << bad << "'";
        cli_free(&cli);
    }
    RUN_OPTIONS cli{};
    EXPECT_TRUE(cli_add_keys(&cli, "4294967295:F12,0:A"));  // both ends of the frame range
    EXPECT_TRUE(cli.key_count == 2 && cli.keys[0].frame == 0u && cli.keys[1].frame == 4294967295u);
    cli_free(&cli);
    EXPECT_FALSE(cli_add_keys(nullptr, "1:A"));
}

// Each number option at min - 1, min, max and max + 1 (and a few more shapes):
// taken as given inside, refused outside with exit status 2, a message naming
// the option, the value and the range, and then the usage line.
TEST(Cli, NumbersAtTheirBoundsAndBadOptionsNameOptionValueAndWhatIsAllowed) {
    const std::string frames = "is not a whole number from 1 to 2147483647", zoom = "is not a whole number from 1 to 16";
    const struct { std::vector<const char *> words; int32_t value; std::string message; } cases[] = {
        {{"--frames", "0"}, 0, "--frames: '0' " + frames},
        {{"--frames=1"}, 1, ""},
        {{"--frames=2147483647"}, 2147483647, ""},
        {{"--frames", "2147483648"}, 0, "--frames: '2147483648' " + frames},
        {{"--frames=007"}, 7, ""},
        {{"--zoom", "0"}, 0, "--zoom: '0' " + zoom},
        {{"--zoom=1"}, 1, ""},
        {{"--zoom=16"}, 16, ""},
        {{"--zoom", "17"}, 0, "--zoom: '17' " + zoom},
        {{"--frames", "-5"}, 0, "--frames: '-5' " + frames},
        {{"--frames=+3"}, 0, "--frames: '+3' " + frames},
        {{"--frames=99999999999"}, 0, "--frames: '99999999999' " + frames},
        {{"--frames"}, 0, "--frames needs a whole number from 1 to 2147483647"},
        {{"--zoom"}, 0, "--zoom needs a whole number from 1 to 16"},
        {{"--keys", "5:WHAT"}, 0, "--keys: '5:WHAT' names no key; key names: SPACE ESC ENTER"},
        {{"--keys", "1:A,5A"}, 0, "--keys: '5A' is not FRAME:KEY; key names:"},
        {{"--keys", "x:A,2:B"}, 0, "--keys: 'x:A' has no frame number from 0 to 4294967295"},
        {{"--keys"}, 0, "--keys needs a list FRAME:KEY,...; key names:"},
        {{"--capture="}, 0, "--capture needs a directory name"},
        {{"--screenshot-dir"}, 0, "--screenshot-dir needs a directory name"},
        {{"--record=run.avi"}, 0, "--record: 'run.avi' does not end in .mkv or .mp4"},
        {{"--record", ".mkv"}, 0, "--record: '.mkv' does not end in .mkv or .mp4"},
        {{"--record"}, 0, "--record needs a file name ending in .mkv or .mp4"},
        {{"--midi-out"}, 0, "--midi-out needs a device: synth, CLIENT:PORT, a port name, capture or none"},
        {{"--soundfont="}, 0, "--soundfont needs a SoundFont file name"},
        {{"--hash=1"}, 0, "--hash takes no value ('--hash=1')"},
        {{"--headless=yes"}, 0, "--headless takes no value ('--headless=yes')"},
        {{"--fullscreen="}, 0, "--fullscreen takes no value ('--fullscreen=')"},
        {{"--bogus"}, 0, "unknown option '--bogus'"},
        {{"--framesx", "3"}, 0, "unknown option '--framesx'"},
        {{"--bogus", "--help"}, 0, "unknown option '--bogus'"},
        {{"-x"}, 0, "unexpected argument '-x' (options start with --)"},
        {{"headless"}, 0, "unexpected argument 'headless' (options start with --)"},
    };
    for (const auto &c : cases) {
        Line p;
        parse(p, c.words);
        if (c.message.empty()) {
            EXPECT_EQ(p.status, CLI_RUN) << c.words[0] << ": " << p.err;
            EXPECT_EQ(c.words[0][2] == 'f' ? p.cli.frames : p.cli.zoom, c.value) << c.words[0];
            continue;
        }
        EXPECT_EQ(p.status, 2) << c.words[0];
        EXPECT_EQ(p.err.rfind("rivo7315: " + c.message, 0), 0u) << p.err;
        EXPECT_NE(p.err.find("\nusage: rivo7315"), std::string::npos) << p.err;
        EXPECT_TRUE(p.out.empty() && p.cli.keys == nullptr && p.cli.capture == nullptr) << c.words[0];
    }
}

TEST(Cli, HelpAndVersionPrintAndExitWithZero) {
    Line h, v;
    parse(h, {"--headless", "--help"});
    EXPECT_EQ(h.status, 0);
    for (const char *part : {"usage: rivo7315", "--keys", "title frame is frame 0", "F11", "5 without a display",
                             "3 when scene 3 finds no MIDI", "4 when a capture", "6 when memory", "129, 130, 143"})
        EXPECT_NE(h.out.find(part), std::string::npos) << part;
    EXPECT_EQ(h.err, "");
    parse(v, {"--version"});
    EXPECT_EQ(v.status, 0);
    EXPECT_EQ(v.out.rfind("rivo7315 ", 0), 0u);
    EXPECT_EQ(v.err, "");
}

// The built program: status and message on stderr ("" for none) of every way
// a run ends here (capture and record failures in detail: test_capture).
TEST(CliProgram, ExitStatusesAndMessages) {
    const struct { const char *args; int status; const char *message; } cases[] = {
        {"--help", 0, ""},
        {"--headless --frames 3", 0, ""},
        {"--headless --keys 40:ESC", 0, ""},
        {"--headless --bogus", 2, "unknown option '--bogus'"},
        {"--zoom 99", 2, "--zoom: '99' is not"},
        {"--frames 1 --record /nonexistent-dir/run.MKV", 4, "'/nonexistent-dir/run.MKV': No such file or directory"},
    };
    for (const auto &c : cases) {
        ProgramRun r = run_program(c.args);
        EXPECT_EQ(r.status, c.status) << c.args << ": " << r.err;
        if (*c.message)
            EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << ": " << r.err;
        else
            EXPECT_EQ(r.err, "") << c.args;
    }
}
