// Whole-program runs of the headless backend: repeatable hashes numbered one
// by one, and the exit status (with its message) of every way a run ends.
#include <gtest/gtest.h>

#include <string>

#include "tests/test_run.h"
#include "tests/test_support.h"

TEST(HostRun, SameArgumentsGiveTheSameHashesNumberedOneByOne) {
    const char *args = "--headless --frames 80 --hash --keys 50:W,60:SPACE";
    ProgramRun a = run_program(args), b = run_program(args);
    EXPECT_EQ(a.status, 0);
    ASSERT_FALSE(a.crc.empty());
    EXPECT_EQ(a.out, b.out);
    EXPECT_TRUE(a.other.empty());
    for (size_t i = 0; i < a.frame.size(); i++) ASSERT_EQ(a.frame[i], i);
}

struct EndCase {
    const char *what;
    const char *args;  // "FILE" stands for an existing regular file
    int status;
    const char *message;  // on standard error ("" for none)
};

const EndCase end_cases[] = {
    {"escape", "--headless --keys 40:ESC", 0, ""},
    {"frame limit", "--headless --frames 3", 0, ""},
    {"unknown option", "--headless --bogus", 2, "unknown option '--bogus'"},
    {"pause nothing ends", "--headless --frames 100 --keys 40:P", 1, "paused with no scripted key left"},
    {"capture into a file", "--frames 1 --capture FILE", 4, "': Not a directory"},
    {"record beside a file", "--frames 1 --record FILE/run.mkv", 4, "/run.mkv': Not a directory"},
};

class HostEnd : public testing::TestWithParam<EndCase> {};

TEST_P(HostEnd, StatusAndMessage) {
    TempDir dir("rivo_end");
    write_file(dir.file("file"), "");
    std::string args = GetParam().args;
    size_t at = args.find("FILE");
    if (at != std::string::npos) args.replace(at, 4, dir.file("file"));
    ProgramRun r = run_program(args);
    EXPECT_EQ(r.status, GetParam().status) << r.err;
    if (*GetParam().message) {
        EXPECT_NE(r.err.find(GetParam().message), std::string::npos) << r.err;
    } else {
        EXPECT_EQ(r.err, "");
    }
}

INSTANTIATE_TEST_SUITE_P(Ends, HostEnd, testing::ValuesIn(end_cases));

TEST(HostRun, PauseThatNothingEndsStopsAfterTheFramePausedIn) {
    ProgramRun r = run_program("--headless --frames 100 --hash --keys 40:P");
    EXPECT_EQ(r.status, 1);
    ASSERT_FALSE(r.frame.empty());
    EXPECT_EQ(r.frame.back(), 41u);
}
