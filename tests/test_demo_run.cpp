// Whole runs of the demo on the headless backend, read through its hash
// lines: the stored hashes of a pass through all seven scenes and back into
// the first, fades, and what scripted keys change (and leave alone). One run
// without the headless backend checks the MIDI failure path (--midi-out none).
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "host/backend.h"
#include "tests/test_run.h"

namespace {

uint32_t black_crc() {
    std::vector<uint8_t> zeros(256 * 256 * 3, 0);
    return backend_crc32(zeros.data(), zeros.size());
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

// A run of `frames` timer frames with the given keys (none: a plain run),
// made once per test program. The MIDI output is the capture device, so the
// pictures show its report whatever the machine has.
const ProgramRun &keyed_run(int frames, const std::string &keys = "") {
    static std::map<std::string, ProgramRun> runs;
    std::string args = "--headless --hash --midi-out capture --frames " + std::to_string(frames) +
                       (keys.empty() ? "" : " --keys " + keys);
    auto found = runs.find(args);
    if (found != runs.end()) return found->second;
    return runs.emplace(args, run_program(args)).first->second;
}

const ProgramRun &plain_run(int frames) { return keyed_run(frames); }

}  // namespace

TEST(DemoRun, AllScenesMatchTheStoredHashes) {
    std::ifstream in(std::string(RIVO_SOURCE_DIR) + "/tests/scene_hashes.txt");
    ASSERT_TRUE(in.good()) << "tests/scene_hashes.txt is missing";
    std::vector<uint32_t> frames, crcs;
    unsigned f;
    std::string h;
    while (in >> f >> h) {
        frames.push_back(f);
        crcs.push_back((uint32_t)std::stoul(h, nullptr, 16));
    }
    // 5401 timer frames make one pass; 49 more go into scene 1 again.
    const ProgramRun &r = plain_run(5450);
    EXPECT_EQ(r.status, 0);
    ASSERT_EQ(r.crc.size(), crcs.size()) << "regenerate with: rivo7315 --headless --frames 5450 --hash --midi-out capture";
    for (size_t i = 0; i < crcs.size(); i++) {
        ASSERT_EQ(r.frame[i], frames[i]);
        ASSERT_EQ(r.crc[i], crcs[i]) << "first difference at frame " << frames[i] << " (" << scene_of(frames[i])
                                     << "); when intended, regenerate with\n  rivo7315 --headless --frames 5450"
                                        " --hash --midi-out capture > tests/scene_hashes.txt\nand say why in the commit";
    }
    // One pass is 5594 frames; scene 1's fade and frames follow.
    EXPECT_EQ(r.frame.back(), 5594u + 32u + 48u);
}

TEST(DemoRun, ShorterRunsArePrefixesOfLongerOnes) {
    const ProgramRun &a = plain_run(900), &b = plain_run(1300);
    ASSERT_EQ(a.crc.size(), 1 + 32 + 750 + 150u);
    for (size_t i = 0; i < a.crc.size(); i++) ASSERT_EQ(a.crc[i], b.crc[i]) << i;
}

TEST(DemoRun, FadesGoToBlackInTwoRounds) {
    const ProgramRun &r = plain_run(1300);
    ASSERT_GT(r.crc.size(), 1316u);
    EXPECT_NE(r.crc[1], black_crc());
    for (uint32_t f = 2; f <= 32; f++) EXPECT_EQ(r.crc[f], black_crc()) << f;        // scene 1's fade
    for (uint32_t f = 1285; f <= 1315; f++) EXPECT_EQ(r.crc[f], black_crc()) << f;  // scene 3's
}

// A run with keys against the run of the same length with only the `base`
// keys: equal up to `same_until` (exclusive), different at `differs_at` (0:
// nowhere), with `presents` hash lines.
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
    // Present 101 carries the key; 32 fade presents follow (checked below).
    {"escape", 400, "", "100:ESC", 102, 0, 102 + 32},
};

class DemoKeys : public testing::TestWithParam<KeyCase> {};

TEST_P(DemoKeys, ChangeWhatTheyShouldAndNothingElse) {
    const KeyCase &k = GetParam();
    const ProgramRun &r = keyed_run(k.frames, k.keys);
    const ProgramRun &plain = keyed_run(k.frames, k.base);
    EXPECT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.crc.size(), k.presents);
    for (size_t i = 0; i < k.same_until && i < r.crc.size(); i++) ASSERT_EQ(r.crc[i], plain.crc[i]) << i;
    if (k.differs_at) {
        EXPECT_NE(r.crc[k.differs_at], plain.crc[k.differs_at]);
    }
}

INSTANTIATE_TEST_SUITE_P(Keys, DemoKeys, testing::ValuesIn(key_cases));

TEST(DemoRun, EscapeAndSkippedScenesFadeToBlack) {
    const ProgramRun &esc = keyed_run(400, "100:ESC");
    for (size_t i = 103; i < esc.crc.size(); i++) EXPECT_EQ(esc.crc[i], black_crc()) << i;
    const ProgramRun &skip = keyed_run(1000, "1000:SPACE");
    for (uint32_t f = 1003; f <= 1033; f++) EXPECT_EQ(skip.crc[f], black_crc()) << f;
}

TEST(DemoRun, PausedRoundsAreNumberedFrames) {
    const ProgramRun &r = keyed_run(800, "100:P,120:P");
    ASSERT_GT(r.frame.size(), 102u);
    EXPECT_EQ(r.frame[101], 101u);
    EXPECT_EQ(r.frame[102], 122u);  // rounds 102-121 were paused
}

TEST(DemoRun, NoMidiOutputEndsTheDemoWithItsCode) {
    // A real (dummy-driver) window run; two spaces skip scenes 1 and 2.
    ProgramRun r = run_program("--midi-out none --keys 40:SPACE,45:SPACE", "SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy");
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find("MIDI output is turned off"), std::string::npos) << r.err;
}
