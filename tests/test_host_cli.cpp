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

TEST(Cli, NoArgumentsIsThePlainWindowRun) {
    Parsed p = parse({});
    EXPECT_EQ(p.status, CLI_RUN);
    EXPECT_EQ(p.cli.headless, 0);
    EXPECT_EQ(p.cli.frames, 0);
    EXPECT_EQ(p.cli.hash, 0);
    EXPECT_EQ(p.cli.zoom, 1);
    EXPECT_EQ(p.cli.fullscreen, 0);
    EXPECT_EQ(p.cli.capture, nullptr);
    EXPECT_EQ(p.cli.key_count, 0);
    EXPECT_EQ(p.out, "");
    EXPECT_EQ(p.err, "");
    cli_free(&p.cli);
}

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
    EXPECT_EQ(cli_key_code("SPACE", 5), 0x20);
    EXPECT_EQ(cli_key_code("esc", 3), 0x1B);
    EXPECT_EQ(cli_key_code("Escape", 6), 0x1B);
    EXPECT_EQ(cli_key_code("a", 1), 0x41);
    EXPECT_EQ(cli_key_code("Z", 1), 0x5A);
    EXPECT_EQ(cli_key_code("0", 1), 0x30);
    EXPECT_EQ(cli_key_code("9", 1), 0x39);
    EXPECT_EQ(cli_key_code("F1", 2), 0x70);
    EXPECT_EQ(cli_key_code("F12", 3), 0x7B);
    EXPECT_EQ(cli_key_code("f24", 3), 0x87);
    EXPECT_EQ(cli_key_code("ENTER", 5), 0x0D);
    EXPECT_EQ(cli_key_code("COMMA", 5), 0xBC);
    EXPECT_EQ(cli_key_code("F0", 2), 0);
    EXPECT_EQ(cli_key_code("F25", 3), 0);
    EXPECT_EQ(cli_key_code("SPACEBAR", 8), 0);
    EXPECT_EQ(cli_key_code("SPAC", 4), 0);
    EXPECT_EQ(cli_key_code("!", 1), 0);
    EXPECT_EQ(cli_key_code("", 0), 0);
    EXPECT_EQ(cli_key_code(nullptr, 3), 0);
    EXPECT_EQ(cli_key_code("SPACE,1:A", 5), 0x20);  // only the first len characters count
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
    EXPECT_TRUE(cli_add_keys(&cli, "4294967295:F12"));
    EXPECT_EQ(cli.keys[0].frame, 4294967295u);
    cli_free(&cli);
    EXPECT_FALSE(cli_add_keys(nullptr, "1:A"));
}

TEST(Cli, MalformedOptionsExitWithStatus2AndAUsageLine) {
    const std::vector<std::vector<const char *>> bad = {
        {"--bogus"},          {"-x"},               {"headless"},          {"--frames"},
        {"--frames", "0"},    {"--frames", "-5"},   {"--frames", "12x"},   {"--frames", ""},
        {"--frames", "2147483648"}, {"--frames=+3"}, {"--zoom", "0"},       {"--zoom", "17"},
        {"--zoom"},           {"--keys"},           {"--keys", "5:WHAT"},  {"--capture"},
        {"--capture="},       {"--hash=1"},         {"--headless=yes"},    {"--framesx", "3"},
    };
    for (const auto &words : bad) {
        Parsed p = parse(words);
        EXPECT_EQ(p.status, 2) << words[0];
        EXPECT_NE(p.err.find("usage: rivo7315"), std::string::npos) << words[0];
        EXPECT_EQ(p.out, "");
        EXPECT_EQ(p.cli.keys, nullptr);
        EXPECT_EQ(p.cli.capture, nullptr);
    }
}

TEST(Cli, LargestFrameCountIsAccepted) {
    Parsed p = parse({"--frames", "2147483647"});
    EXPECT_EQ(p.status, CLI_RUN);
    EXPECT_EQ(p.cli.frames, 2147483647);
    cli_free(&p.cli);
}

TEST(Cli, HelpAndVersionPrintAndExitWithZero) {
    Parsed h = parse({"--headless", "--help"});
    EXPECT_EQ(h.status, 0);
    EXPECT_NE(h.out.find("usage: rivo7315"), std::string::npos);
    EXPECT_NE(h.out.find("--keys"), std::string::npos);
    EXPECT_NE(h.out.find("title frame is frame 0"), std::string::npos);
    EXPECT_EQ(h.err, "");
    Parsed v = parse({"--version"});
    EXPECT_EQ(v.status, 0);
    EXPECT_EQ(v.out.rfind("rivo7315 ", 0), 0u);
    EXPECT_EQ(v.err, "");
    Parsed first_bad = parse({"--bogus", "--help"});
    EXPECT_EQ(first_bad.status, 2);
}

TEST(CliProgram, ExitStatusesOfTheBuiltProgram) {
    EXPECT_EQ(run_program("--help"), 0);
    EXPECT_EQ(run_program("--version"), 0);
    EXPECT_EQ(run_program("--bogus"), 2);
    EXPECT_EQ(run_program("--headless --frames 0"), 2);
    EXPECT_EQ(run_program("--headless --keys 1:NOPE"), 2);
    EXPECT_EQ(run_program("--zoom 99"), 2);
    EXPECT_EQ(run_program("stray"), 2);
}

TEST(CliProgram, UsageLineGoesToStandardError) {
    std::string cmd = std::string(RIVO_PROGRAM) + " --bogus 2>&1 >/dev/null";
    FILE *f = popen(cmd.c_str(), "r");
    ASSERT_NE(f, nullptr);
    char buf[1024] = {0};
    size_t n = fread(buf, 1, sizeof buf - 1, f);
    buf[n] = 0;
    int rc = pclose(f);
    EXPECT_EQ(WEXITSTATUS(rc), 2);
    EXPECT_NE(std::string(buf).find("usage: rivo7315"), std::string::npos) << buf;
}
