// Whole runs of the demo on the headless backend, read through its hash
// lines: the stored hashes of a pass through all seven scenes and back into
// the first, fades, and what scripted keys change (and leave alone). A plain
// run of N frames is a prefix of the stored pass (checked once), so every
// keyed run is compared with the pass. All runs start at once, in threads.
// One run without the headless backend checks the MIDI failure path.
#include <gtest/gtest.h>

#include <fstream>
#include <future>
#include <map>
#include <string>
#include <vector>

#include "platform/outputs.h"
#include "tests/test_run.h"

namespace {

uint32_t black_crc() {
    std::vector<uint8_t> zeros(256 * 256 * 3, 0);
    return outputs_crc32(zeros.data(), zeros.size());
}

// Frames of one pass: title 0; scene 1 fade 1-32, frames 33-782; scene 2
// 783-1283; scene 3 fade 1284-1315, frames 1316-2315; scene 4 fade 2316-2347,
// frames 2348-3247; scene 5 fade 3248-3279, frames 3280-4029; scene 6 fade
// 4030-4061, frames 4062-4811; scene 7 fade 4812-4843, frames 4844-5593.
const char *scene_of(uint32_t f) {
    static const struct { uint32_t end; const char *name; } scenes[] = {
        {1, "title"}, {783, "scene 1"}, {1284, "scene 2"}, {2316, "scene 3"}, {3248, "scene 4"},
        {4030, "scene 5"}, {4812, "scene 6"}, {5594, "scene 7"},
    };
    for (const auto &s : scenes)
        if (f < s.end) return s.name;
    return "scene 1 (second pass)";
}

// A run with keys against the pass: equal up to `same_until` (exclusive),
// different at `differs_at` (0: nowhere), with `presents` hash lines; `base`
// keys (if any) make the run compared with instead of the pass.
struct KeyCase {
    const char *what;
    int frames;
    const char *base;
    const char *keys;
    size_t same_until;
    size_t differs_at;
    size_t presents;
};

// Spaces that reach scene 5's frames at present 159 after 26 timer frames.
#define TO_SCENE_5 "40:SPACE,45:SPACE,85:SPACE,125:SPACE"

const KeyCase key_cases[] = {
    // Typed at present 1000 (scene 2), acting in the next frame: scene 3's fade
    // follows. The skipped frame is a present but not a timer frame.
    {"space skips the rest of scene 2", 1000, "", "1000:SPACE", 1002, 1003, 1 + 32 + 1000 + 1 + 32},
    // Scene 1 ends after 8 timer frames (the skipped one is not counted); scene 2 does not fade.
    {"space in scene 1 starts scene 2 at once", 60, "", "40:SPACE", 42, 42, 42 + 60 - 8},
    // Paused rounds are numbered but show nothing: the same pictures.
    {"pause", 800, "", "100:P,120:P", 1 + 32 + 800, 0, 1 + 32 + 800},
    // Present 102 shows the white the frame was cleared to before the pause.
    {"keys still work while paused", 300, "", "100:P,105:W,120:P", 102, 103, 1 + 32 + 300},
    // Muted over timer frames 69-108, which build no pattern: only the style is drawn.
    {"mute without a pattern", 1000, "", "100:O,140:O", 1 + 32 + 1000, 0, 1 + 32 + 1000},
    // Muted over timer frame 256, where every style builds a pattern.
    {"mute over a pattern", 1000, "", "280:O,300:O", 290, 290, 1 + 32 + 1000},
    // S (acting in scene 4) changes nothing up to scene 5's first frame.
    {"benchmark text", 40, TO_SCENE_5, TO_SCENE_5 ",100:S", 159, 159, 159 + 14},
    // The status overlay from present 102 on.
    {"status overlay", 300, "", "100:8", 102, 102, 1 + 32 + 300},
    // Present 101 carries the key; 32 fade presents follow (checked below).
    {"escape", 400, "", "100:ESC", 102, 0, 102 + 32},
};

std::string args_of(int frames, const std::string &keys) {
    return "--headless --hash --midi-out capture --frames " + std::to_string(frames) +
           (keys.empty() ? "" : " --keys " + keys);
}

// Every run of this program, started together on first use. The MIDI output
// is the capture device, so the pictures show its report whatever the machine has.
const ProgramRun &run_of(const std::string &args) {
    static std::map<std::string, std::shared_future<ProgramRun>> runs;
    if (runs.empty()) {
        std::vector<std::string> all = {args_of(5450, ""), args_of(900, ""), args_of(100, "40:P")};
        for (const KeyCase &k : key_cases) {
            all.push_back(args_of(k.frames, k.keys));
            if (*k.base) all.push_back(args_of(k.frames, k.base));
        }
        for (const std::string &a : all) runs.emplace(a, std::async(std::launch::async, run_program, a, ""));
    }
    return runs.at(args).get();
}

const ProgramRun &pass() { return run_of(args_of(5450, "")); }

}  // namespace

TEST(DemoRun, AllScenesMatchTheStoredHashes) {
    std::ifstream in(std::string(RIVO_SOURCE_DIR) + "/tests/scene_hashes.txt");
    ASSERT_TRUE(in.good()) << "tests/scene_hashes.txt is missing";
    std::vector<uint32_t> frames, crcs;
    unsigned f;
    std::string h;
    while (in >> f >> h) frames.push_back(f), crcs.push_back((uint32_t)std::stoul(h, nullptr, 16));
    // 5401 timer frames make one pass; 49 more go into scene 1 again.
    const ProgramRun &r = pass();
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.other.empty());
    ASSERT_EQ(r.crc.size(), crcs.size()) << "regenerate with: rivo7315 --headless --frames 5450 --hash --midi-out capture";
    for (size_t i = 0; i < crcs.size(); i++) {
        ASSERT_EQ(r.frame[i], frames[i]);
        ASSERT_EQ(r.crc[i], crcs[i]) << "first difference at frame " << frames[i] << " (" << scene_of(frames[i])
                                     << "); when intended, regenerate with\n  rivo7315 --headless --frames 5450"
                                        " --hash --midi-out capture > tests/scene_hashes.txt\nand say why in the commit";
    }
    // One pass is 5594 frames; scene 1's fade and frames follow.
    EXPECT_EQ(r.frame.back(), 5594u + 32u + 48u);
    // Fades go to black in two rounds.
    EXPECT_NE(r.crc[1], black_crc());
    for (uint32_t f : {2u, 32u, 1285u, 1315u, 2317u, 3249u, 4031u, 4813u}) EXPECT_EQ(r.crc[f], black_crc()) << f;
}

TEST(DemoRun, AShorterRunIsAPrefixOfThePass) {
    const ProgramRun &a = run_of(args_of(900, ""));
    ASSERT_EQ(a.crc.size(), 1 + 32 + 750 + 150u);
    for (size_t i = 0; i < a.crc.size(); i++) ASSERT_EQ(a.crc[i], pass().crc[i]) << i;
}

class DemoKeys : public testing::TestWithParam<KeyCase> {};

TEST_P(DemoKeys, ChangeWhatTheyShouldAndNothingElse) {
    const KeyCase &k = GetParam();
    const ProgramRun &r = run_of(args_of(k.frames, k.keys));
    const ProgramRun &plain = *k.base ? run_of(args_of(k.frames, k.base)) : pass();
    EXPECT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.crc.size(), k.presents);
    for (size_t i = 0; i < k.same_until && i < r.crc.size(); i++) ASSERT_EQ(r.crc[i], plain.crc[i]) << i;
    if (k.differs_at) {
        EXPECT_NE(r.crc[k.differs_at], plain.crc[k.differs_at]);
    }
}

INSTANTIATE_TEST_SUITE_P(Keys, DemoKeys, testing::ValuesIn(key_cases));

TEST(DemoRun, EscapeAndSkippedScenesFadeToBlackPausedRoundsAreNumbered) {
    const ProgramRun &esc = run_of(args_of(400, "100:ESC"));
    for (size_t i = 103; i < esc.crc.size(); i++) EXPECT_EQ(esc.crc[i], black_crc()) << i;
    const ProgramRun &skip = run_of(args_of(1000, "1000:SPACE"));
    for (uint32_t f = 1003; f <= 1033; f++) EXPECT_EQ(skip.crc[f], black_crc()) << f;
    const ProgramRun &paused = run_of(args_of(800, "100:P,120:P"));
    ASSERT_GT(paused.frame.size(), 102u);
    EXPECT_EQ(paused.frame[101], 101u);
    EXPECT_EQ(paused.frame[102], 122u);  // rounds 102-121 were paused
    // A pause that no scripted key ends stops the run after the frame paused in.
    const ProgramRun &stuck = run_of(args_of(100, "40:P"));
    EXPECT_EQ(stuck.status, 1);
    EXPECT_NE(stuck.err.find("paused with no scripted key left"), std::string::npos) << stuck.err;
    ASSERT_FALSE(stuck.frame.empty());
    EXPECT_EQ(stuck.frame.back(), 41u);
}

TEST(DemoRun, NoMidiOutputEndsTheDemoWithItsCode) {
    // A real (dummy-driver) window run; two spaces skip scenes 1 and 2.
    ProgramRun r = run_program("--midi-out none --keys 40:SPACE,45:SPACE", "SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy");
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find("MIDI output is turned off"), std::string::npos) << r.err;
}
