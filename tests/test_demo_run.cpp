// Whole runs of the program on the headless backend, read through its
// per-frame hash lines: the stored hashes of a run through all seven scenes
// and back into the first, and scripted keys (space, P, W, O, S, escape). One more
// run without the headless backend checks the MIDI failure path where the
// machine has no MIDI output.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "host/backend.h"
#include "host/cli.h"
#include "host/midi.h"

struct RunResult {
    int status = -1;                 // exit code, -1 when it did not exit normally
    std::vector<uint32_t> frame;     // frame number of each present
    std::vector<std::string> hash;   // its CRC-32
    std::string err;                 // standard error
};

static RunResult run_program(const std::string &args, const std::string &env = "") {
    RunResult r;
    // One file per process and run: ctest runs these tests side by side.
    static int runs = 0;
    std::string err_file = testing::TempDir() + "demo_run_err_" + std::to_string(getpid()) + "_" +
                           std::to_string(runs++) + ".txt";
    // The capture device as MIDI output: the stored pictures show its report.
    std::string midi = args.find("--midi-out") == std::string::npos ? " --midi-out capture" : "";
    std::string cmd = env + " '" + RIVO_PROGRAM + "' " + args + midi + " 2>'" + err_file + "'";
    FILE *p = popen(cmd.c_str(), "r");
    if (!p) return r;
    char line[128];
    while (std::fgets(line, sizeof line, p)) {
        unsigned f = 0;
        char h[16] = {};
        if (std::sscanf(line, "%u %15s", &f, h) == 2) {
            r.frame.push_back(f);
            r.hash.push_back(h);
        }
    }
    int st = pclose(p);
    if (WIFEXITED(st)) r.status = WEXITSTATUS(st);
    std::ifstream in(err_file);
    std::getline(in, r.err, '\0');
    std::remove(err_file.c_str());
    return r;
}

// The hash of an all-black 256 x 256 frame.
static std::string black_hash() {
    std::vector<uint8_t> zeros(256 * 256 * 3, 0);
    char h[16];
    std::snprintf(h, sizeof h, "%08x", backend_crc32(zeros.data(), zeros.size()));
    return h;
}

// Presents of one pass through the loop: title 0; scene 1 fade 1-32 and frames
// 33-782; scene 2 783-1283; scene 3 fade 1284-1315 and two presents per frame
// 1316-3315; scene 4 fade 3316-3347, frames 3348-4247; scene 5 fade 4248-4279,
// frames 4280-5029; scene 6 fade 5030-5061, frames 5062-5811; scene 7 fade
// 5812-5843, frames 5844-6593; scene 1 again from 6594.
static const char *scene_of(uint32_t f) {
    if (f == 0) return "title";
    if (f < 783) return "scene 1";
    if (f < 1284) return "scene 2";
    if (f < 3316) return "scene 3";
    if (f < 4248) return "scene 4";
    if (f < 5030) return "scene 5";
    if (f < 5812) return "scene 6";
    if (f < 6594) return "scene 7";
    return "scene 1 (second loop)";
}

// 5401 frames make one loop; 49 more go into scene 1 again.
static const char *golden_args = "--headless --frames 5450 --hash --midi-out capture";

// A run without keys of `frames` timer frames, made once per length (each
// test program under ctest makes only the one it needs).
static const RunResult &plain_run(int frames) {
    static std::map<int, RunResult> runs;
    auto found = runs.find(frames);
    if (found != runs.end()) return found->second;
    std::string args = "--headless --frames " + std::to_string(frames) + " --hash";
    return runs.emplace(frames, run_program(args)).first->second;
}

TEST(DemoRun, AllScenesMatchTheStoredHashes) {
    std::ifstream in(std::string(RIVO_SOURCE_DIR) + "/tests/scene_hashes.txt");
    ASSERT_TRUE(in.good()) << "tests/scene_hashes.txt is missing";
    std::vector<uint32_t> frames;
    std::vector<std::string> hashes;
    unsigned f;
    std::string h;
    while (in >> f >> h) {
        frames.push_back(f);
        hashes.push_back(h);
    }
    const RunResult &r = plain_run(5450);
    EXPECT_EQ(r.status, 0);
    ASSERT_EQ(r.hash.size(), hashes.size()) << "regenerate with: rivo7315 " << golden_args;
    for (size_t i = 0; i < hashes.size(); i++) {
        ASSERT_EQ(r.frame[i], frames[i]);
        ASSERT_EQ(r.hash[i], hashes[i])
            << "first difference at frame " << frames[i] << " (" << scene_of(frames[i])
            << "); when the change is intended, regenerate the list with\n  rivo7315 "
            << golden_args << " > tests/scene_hashes.txt\nand say why in the commit";
    }
    // The loop's shape: 6594 presents make one pass, then scene 1's fade and
    // frames start again.
    EXPECT_EQ(r.frame.back(), 6594u + 32u + 48u);
}

TEST(DemoRun, ShorterRunsArePrefixesOfLongerOnes) {
    RunResult a = run_program("--headless --frames 900 --hash");
    EXPECT_EQ(a.status, 0);
    ASSERT_EQ(a.frame.size(), 1 + 32 + 750 + 150u);
    const RunResult &plain = plain_run(1300);
    for (size_t i = 0; i < a.hash.size(); i++) ASSERT_EQ(a.hash[i], plain.hash[i]) << i;
}

TEST(DemoRun, FadesGoToBlackInTwoRounds) {
    const RunResult &r = plain_run(1300);
    ASSERT_GT(r.hash.size(), 1316u);
    std::string black = black_hash();
    EXPECT_NE(r.hash[1], black);
    for (uint32_t f = 2; f <= 32; f++) EXPECT_EQ(r.hash[f], black) << f;  // scene 1's fade
    for (uint32_t f = 1285; f <= 1315; f++) EXPECT_EQ(r.hash[f], black) << f;  // scene 3's
}

TEST(DemoRun, SpaceSkipsTheRestOfAScene) {
    // Typed while present 1000 (scene 2) is shown, it acts in the next frame:
    // scene 3's fade follows at once.
    RunResult r = run_program("--headless --frames 1000 --hash --keys 1000:SPACE");
    EXPECT_EQ(r.status, 0);
    ASSERT_GT(r.hash.size(), 1040u);
    const RunResult &plain = plain_run(1000);
    for (size_t i = 0; i <= 1001; i++) ASSERT_EQ(r.hash[i], plain.hash[i]) << i;
    std::string black = black_hash();
    EXPECT_NE(plain.hash[1003], black);
    for (uint32_t f = 1003; f <= 1033; f++) EXPECT_EQ(r.hash[f], black) << f;
    // Scene 3 presents twice per frame, so its frames come in pairs after the fade.
    EXPECT_EQ(r.frame[1034], 1034u);
}

TEST(DemoRun, SpaceInSceneOneStartsSceneTwoWithoutAFade) {
    RunResult r = run_program("--headless --frames 60 --hash --keys 40:SPACE");
    const RunResult &plain = plain_run(60);
    ASSERT_GT(r.hash.size(), 50u);
    for (size_t i = 0; i <= 41; i++) ASSERT_EQ(r.hash[i], plain.hash[i]) << i;
    EXPECT_NE(r.hash[42], plain.hash[42]);
    // Scene 1 ended after 8 timer frames (the skipped frame is not counted)
    // and scene 2 does not fade: 42 presents, then one per remaining timer frame.
    EXPECT_EQ(r.hash.size(), 42u + 60u - 8u);
}

TEST(DemoRun, PausedRoundsShowNothingAndTheSceneResumes) {
    const RunResult &plain = plain_run(800);
    RunResult paused = run_program("--headless --frames 800 --hash --keys 100:P,120:P");
    EXPECT_EQ(paused.status, 0);
    // The same pictures in the same order: pausing neither draws nor draws numbers.
    ASSERT_EQ(paused.frame.size(), 1 + 32 + 750 + 50u);
    for (size_t i = 0; i < paused.hash.size(); i++) ASSERT_EQ(paused.hash[i], plain.hash[i]) << i;
    // While paused the rounds are numbered but nothing is presented.
    EXPECT_EQ(paused.frame[101], 101u);
    EXPECT_GT(paused.frame[102], 110u);
}

TEST(DemoRun, KeysStillWorkWhilePaused) {
    const RunResult &plain = plain_run(300);
    RunResult white = run_program("--headless --frames 300 --hash --keys 100:P,105:W,120:P");
    ASSERT_EQ(white.hash.size(), 1 + 32 + 300u);
    for (size_t i = 0; i <= 101; i++) ASSERT_EQ(white.hash[i], plain.hash[i]) << i;
    // Present 102 still shows the white the frame was cleared to before the
    // pause; from then on it is cleared black.
    EXPECT_NE(white.hash[103], plain.hash[103]);
}

TEST(DemoRun, MutedMusicStillDrawsItsStyleNumber) {
    // Muted over scene 1's timer frames 69 to 108, which build no pattern:
    // only the style is drawn, as when playing, so the pictures stay the same
    // (every frame's shape sprinkle shows at once when a draw goes missing).
    const RunResult &plain = plain_run(1000);
    RunResult muted = run_program("--headless --frames 1000 --hash --keys 100:O,140:O");
    ASSERT_EQ(muted.hash.size(), 1 + 32 + 1000u);
    for (size_t i = 0; i < muted.hash.size(); i++) ASSERT_EQ(muted.hash[i], plain.hash[i]) << i;
}

TEST(DemoRun, MutedMusicBuildsNoPattern) {
    // Muted over timer frame 256, where every style builds a pattern: the
    // pattern's draws are missing, so the next frame's sprinkle differs.
    const RunResult &plain = plain_run(1000);
    RunResult muted = run_program("--headless --frames 1000 --hash --keys 280:O,300:O");
    ASSERT_EQ(muted.hash.size(), 1 + 32 + 1000u);
    for (size_t i = 0; i <= 289; i++) ASSERT_EQ(muted.hash[i], plain.hash[i]) << i;
    EXPECT_NE(muted.hash[290], plain.hash[290]);  // timer frame 257
}

TEST(DemoRun, EscapeFadesOutAndExitsWithZero) {
    RunResult r = run_program("--headless --frames 400 --hash --keys 100:ESC");
    EXPECT_EQ(r.status, 0);
    // Present 101 carries the key; then 32 fade presents, the last 31 black.
    ASSERT_EQ(r.hash.size(), 102u + 32u);
    std::string black = black_hash();
    for (size_t i = 103; i < r.hash.size(); i++) EXPECT_EQ(r.hash[i], black) << i;
}

TEST(DemoRun, BenchmarkTextKeyChangesOnlyTheBenchmarkScenes) {
    // S before scene 5: everything up to scene 5's frames is unchanged.
    const RunResult &plain = plain_run(3650);
    RunResult quiet = run_program("--headless --frames 3650 --hash --keys 4000:S");
    ASSERT_EQ(quiet.hash.size(), 4779u);
    for (size_t i = 0; i < 4280; i++) ASSERT_EQ(quiet.hash[i], plain.hash[i]) << i;
    EXPECT_NE(quiet.hash[4280], plain.hash[4280]);  // scene 5's first frame
}

TEST(DemoRun, NoMidiOutputEndsTheDemoWithItsCode) {
    // A real (dummy-driver) window run; two spaces skip scenes 1 and 2.
    RunResult r = run_program("--midi-out none --keys 40:SPACE,45:SPACE",
                              "SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy");
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find("MIDI output is turned off"), std::string::npos) << r.err;
}
