// Command line: options into the CLI record, key lists and names, and the
// exit statuses of --help, --version and bad options, both parsed in process
// and from the built program.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/cli.h"

namespace {

// Parses the words as a command line; status, output and error text back.
struct Parsed {
    int status;
    CLI cli;
    std::string out, err;
};

Parsed parse(std::vector<const char *> words) {
    Parsed p{};
    std::vector<char *> argv;
    argv.push_back((char *)"rivo7315");
    for (const char *w : words) argv.push_back((char *)w);
    FILE *out = tmpfile(), *err = tmpfile();
    p.status = cli_parse(&p.cli, (int)argv.size(), argv.data(), out, err);
    char buf[8192];
    for (auto [f, s] : {std::pair{out, &p.out}, std::pair{err, &p.err}}) {
        rewind(f);
        size_t n = fread(buf, 1, sizeof buf - 1, f);
        buf[n] = 0;
        *s = buf;
        fclose(f);
    }
    return p;
}

// Runs the built program with arguments; its exit status.
int run_program(const std::string &args) {
    std::string cmd = std::string(RIVO_PROGRAM) + " " + args + " >/dev/null 2>&1";
    int rc = system(cmd.c_str());
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

}  // namespace

TEST(Cli, EveryOptionIsRead) {
    Parsed p = parse({"--headless", "--frames", "120", "--hash", "--capture", "/tmp/x", "--zoom=3",
                      "--fullscreen", "--keys", "5:A"});
    ASSERT_EQ(p.status, CLI_RUN) << p.err;
    EXPECT_EQ(p.cli.headless, 1);
    EXPECT_EQ(p.cli.frames, 120);
    EXPECT_EQ(p.cli.hash, 1);
    ASSERT_NE(p.cli.capture, nullptr);
    EXPECT_STREQ(p.cli.capture, "/tmp/x");
    EXPECT_EQ(p.cli.zoom, 3);
    EXPECT_EQ(p.cli.fullscreen, 1);
    ASSERT_EQ(p.cli.key_count, 1);
    EXPECT_EQ(p.cli.keys[0].frame, 5u);
    EXPECT_EQ(p.cli.keys[0].vk, 0x41);
    cli_free(&p.cli);
    EXPECT_EQ(p.cli.keys, nullptr);
    EXPECT_EQ(p.cli.capture, nullptr);
}

TEST(Cli, KeyListIsSortedByFrameKeepingTheGivenOrderOfEqualFrames) {
    Parsed p = parse({"--keys", "900:ESC,100:SPACE,250:P", "--keys=250:Q,260:p"});
    ASSERT_EQ(p.status, CLI_RUN) << p.err;
    ASSERT_EQ(p.cli.key_count, 5);
    const uint32_t frames[5] = {100, 250, 250, 260, 900};
    const int32_t codes[5] = {0x20, 0x50, 0x51, 0x50, 0x1B};
    for (int i = 0; i < 5; i++) {
        EXPECT_EQ(p.cli.keys[i].frame, frames[i]) << i;
        EXPECT_EQ(p.cli.keys[i].vk, codes[i]) << i;
    }
    cli_free(&p.cli);
}

TEST(Cli, KeyNamesGiveVirtualKeyCodes) {
    const struct { const char *name; size_t len; int32_t vk; } cases[] = {
        {"SPACE", 5, 0x20}, {"esc", 3, 0x1B},  {"Escape", 6, 0x1B}, {"a", 1, 0x41},    {"Z", 1, 0x5A},
        {"0", 1, 0x30},     {"9", 1, 0x39},    {"F1", 2, 0x70},     {"F12", 3, 0x7B},  {"f24", 3, 0x87},
        {"ENTER", 5, 0x0D}, {"COMMA", 5, 0xBC}, {"F0", 2, 0},       {"F25", 3, 0},     {"SPACEBAR", 8, 0},
        {"SPAC", 4, 0},     {"!", 1, 0},       {"", 0, 0},          {nullptr, 3, 0},
        {"SPACE,1:A", 5, 0x20},  // only the first len characters count
    };
    for (const auto &c : cases) EXPECT_EQ(cli_key_code(c.name, c.len), c.vk) << (c.name ? c.name : "null");
}

TEST(Cli, MalformedKeyListsAreRejected) {
    for (const char *bad : {"", "A", "1:", ":A", "1:NOPE", "1:A,", ",1:A", "x:A", "-1:A", "1:A,,2:B",
                            "1:A;2:B", "4294967296:A", "1 :A", "1:A 2:B"}) {
        CLI cli;
        memset(&cli, 0, sizeof cli);
        EXPECT_FALSE(cli_add_keys(&cli, bad)) << "'" << bad << "'";
        cli_free(&cli);
    }
    CLI cli;
    memset(&cli, 0, sizeof cli);
    EXPECT_TRUE(cli_add_keys(&cli, "0:A,4294967295:F12"));  // both ends of the frame range
    EXPECT_EQ(cli.keys[0].frame, 0u);
    EXPECT_EQ(cli.keys[1].frame, 4294967295u);
    cli_free(&cli);
    EXPECT_FALSE(cli_add_keys(nullptr, "1:A"));
}

// Numbers at both ends of their range and inside it are taken as given.
TEST(Cli, NumbersAtAndInsideTheirBoundsAreAccepted) {
    const struct { const char *option; int32_t CLI::*field; int32_t value; } cases[] = {
        {"--frames=1", &CLI::frames, 1},         {"--frames=2", &CLI::frames, 2},
        {"--frames=5401", &CLI::frames, 5401},   {"--frames=2147483646", &CLI::frames, 2147483646},
        {"--frames=2147483647", &CLI::frames, 2147483647},
        {"--frames=007", &CLI::frames, 7},       {"--zoom=1", &CLI::zoom, 1},
        {"--zoom=2", &CLI::zoom, 2},             {"--zoom=15", &CLI::zoom, 15},
        {"--zoom=16", &CLI::zoom, 16},
    };
    for (const auto &c : cases) {
        Parsed p = parse({c.option});
        EXPECT_EQ(p.status, CLI_RUN) << c.option << ": " << p.err;
        EXPECT_EQ(p.cli.*c.field, c.value) << c.option;
        cli_free(&p.cli);
    }
}

// Every bad command line exits with 2, says on stderr what is wrong (the
// option, the value, what is allowed) and then the usage line.
TEST(Cli, BadOptionsNameOptionValueAndWhatIsAllowed) {
    const struct { std::vector<const char *> words; const char *message; } cases[] = {
        {{"--frames", "0"}, "--frames: '0' is not a whole number from 1 to 2147483647"},
        {{"--frames", "-5"}, "--frames: '-5' is not a whole number from 1 to 2147483647"},
        {{"--frames", "12x"}, "--frames: '12x' is not a whole number from 1 to 2147483647"},
        {{"--frames", ""}, "--frames: '' is not a whole number from 1 to 2147483647"},
        {{"--frames", "2147483648"}, "--frames: '2147483648' is not a whole number from 1 to 2147483647"},
        {{"--frames=+3"}, "--frames: '+3' is not a whole number from 1 to 2147483647"},
        {{"--frames"}, "--frames needs a whole number from 1 to 2147483647"},
        {{"--zoom", "0"}, "--zoom: '0' is not a whole number from 1 to 16"},
        {{"--zoom", "17"}, "--zoom: '17' is not a whole number from 1 to 16"},
        {{"--zoom"}, "--zoom needs a whole number from 1 to 16"},
        {{"--keys", "5:WHAT"}, "--keys: '5:WHAT' names no key; key names: SPACE ESC ENTER"},
        {{"--keys", "1:A,5A"}, "--keys: '5A' is not FRAME:KEY; key names:"},
        {{"--keys", "x:A,2:B"}, "--keys: 'x:A' has no frame number from 0 to 4294967295"},
        {{"--keys"}, "--keys needs a list FRAME:KEY,...; key names:"},
        {{"--capture"}, "--capture needs a directory name"},
        {{"--capture="}, "--capture needs a directory name"},
        {{"--midi-out"}, "--midi-out needs a device: synth, CLIENT:PORT, a port name, capture or none"},
        {{"--soundfont="}, "--soundfont needs a SoundFont file name"},
        {{"--hash=1"}, "--hash takes no value ('--hash=1')"},
        {{"--headless=yes"}, "--headless takes no value ('--headless=yes')"},
        {{"--bogus"}, "unknown option '--bogus'"},
        {{"--framesx", "3"}, "unknown option '--framesx'"},
        {{"-x"}, "unexpected argument '-x' (options start with --)"},
        {{"headless"}, "unexpected argument 'headless' (options start with --)"},
    };
    for (const auto &c : cases) {
        Parsed p = parse(c.words);
        EXPECT_EQ(p.status, 2) << c.words[0];
        EXPECT_EQ(p.err.rfind(std::string("rivo7315: ") + c.message, 0), 0u) << p.err;
        EXPECT_NE(p.err.find("\nusage: rivo7315"), std::string::npos) << p.err;
        EXPECT_EQ(p.out, "");
        EXPECT_EQ(p.cli.keys, nullptr);
        EXPECT_EQ(p.cli.capture, nullptr);
    }
}

TEST(Cli, HelpAndVersionPrintAndExitWithZero) {
    Parsed h = parse({"--headless", "--help"});
    EXPECT_EQ(h.status, 0);
    for (const char *part : {"usage: rivo7315", "--keys", "title frame is frame 0", "F11", "5 without a display",
                             "130", "143", "129"})
        EXPECT_NE(h.out.find(part), std::string::npos) << part;
    EXPECT_EQ(h.err, "");
    Parsed v = parse({"--version"});
    EXPECT_EQ(v.status, 0);
    EXPECT_EQ(v.out.rfind("rivo7315 ", 0), 0u);
    EXPECT_EQ(v.err, "");
    Parsed first_bad = parse({"--bogus", "--help"});
    EXPECT_EQ(first_bad.status, 2);
}

TEST(CliProgram, ExitStatusesOfTheBuiltProgram) {
    const struct { const char *args; int status; } cases[] = {
        {"--help", 0}, {"--version", 0}, {"--headless --frames 1", 0}, {"--bogus", 2},
        {"--headless --frames 0", 2}, {"--headless --keys 1:NOPE", 2}, {"--zoom 99", 2}, {"stray", 2},
    };
    for (const auto &c : cases) EXPECT_EQ(run_program(c.args), c.status) << c.args;
}
