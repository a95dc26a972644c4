// Whole-program runs of the headless backend: repeatable hashes, frame
// numbering across pauses, captures that match the hashes, the frame limit,
// escape, and a pause that nothing can end.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/backend.h"

namespace {

struct RunResult {
    int status;
    std::string out;
};

// Runs the built program with arguments, standard output captured.
RunResult run(const std::string &args) {
    RunResult r{-1, ""};
    std::string cmd = std::string(RIVO_PROGRAM) + " " + args + " 2>/dev/null";
    FILE *f = popen(cmd.c_str(), "r");
    if (!f) return r;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) r.out.append(buf, n);
    int rc = pclose(f);
    r.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return r;
}

struct HashLine {
    uint32_t frame;
    uint32_t crc;
};

// The "NNNNNN xxxxxxxx" lines of --hash; fails the test on any other line.
std::vector<HashLine> hash_lines(const std::string &out) {
    std::vector<HashLine> lines;
    size_t at = 0;
    while (at < out.size()) {
        size_t end = out.find('\n', at);
        if (end == std::string::npos) end = out.size();
        std::string line = out.substr(at, end - at);
        unsigned frame = 0, crc = 0;
        char extra;
        EXPECT_EQ(line.size(), 15u) << line;
        EXPECT_EQ(sscanf(line.c_str(), "%6u %8x%c", &frame, &crc, &extra), 2) << line;
        lines.push_back({frame, crc});
        at = end + 1;
    }
    return lines;
}

std::string temp_dir() {
    char path[] = "/tmp/rivo_run_XXXXXX";
    char *p = mkdtemp(path);
    return p ? p : "";
}

std::vector<uint8_t> read_file(const std::string &path) {
    std::vector<uint8_t> bytes;
    FILE *f = fopen(path.c_str(), "rb");
    if (!f) return bytes;
    uint8_t buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) bytes.insert(bytes.end(), buf, buf + n);
    fclose(f);
    return bytes;
}

// Pixel bytes of a binary PPM (red, green, blue, top row first), header checked.
std::vector<uint8_t> ppm_pixels(const std::vector<uint8_t> &file, int w, int h) {
    std::string head(file.begin(), file.begin() + std::min<size_t>(file.size(), 64));
    size_t n = (size_t)w * (size_t)h * 3;
    if (file.size() < n || head.rfind("P6", 0) != 0) return {};
    return std::vector<uint8_t>(file.end() - (long)n, file.end());
}

// The same picture as the window gets it: blue, green, red, bottom row first.
std::vector<uint8_t> to_bottom_up_bgr(const std::vector<uint8_t> &rgb, int w, int h) {
    std::vector<uint8_t> out(rgb.size());
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            const uint8_t *s = &rgb[((size_t)y * w + x) * 3];
            uint8_t *d = &out[((size_t)(h - 1 - y) * w + x) * 3];
            d[0] = s[2];
            d[1] = s[1];
            d[2] = s[0];
        }
    return out;
}

}  // namespace

TEST(HostRun, SameArgumentsGiveTheSameHashes) {
    RunResult a = run("--headless --frames 80 --hash --keys 50:W,60:SPACE");
    RunResult b = run("--headless --frames 80 --hash --keys 50:W,60:SPACE");
    EXPECT_EQ(a.status, 0);
    EXPECT_EQ(b.status, 0);
    EXPECT_FALSE(a.out.empty());
    EXPECT_EQ(a.out, b.out);
}

TEST(HostRun, EveryPresentIsTheNextFrameNumber) {
    RunResult r = run("--headless --frames 40 --hash");
    EXPECT_EQ(r.status, 0);
    std::vector<HashLine> lines = hash_lines(r.out);
    ASSERT_FALSE(lines.empty());
    for (size_t i = 0; i < lines.size(); i++) ASSERT_EQ(lines[i].frame, i);
}

TEST(HostRun, PausedRoundsAreFramesAndTheScriptedKeyResumes) {
    // P typed at frame 40 pauses in frame 41's handler; rounds 42..46 are
    // paused frames (the second P is typed at 45 and read at 46); 47 is next.
    RunResult r = run("--headless --frames 60 --hash --keys 40:P,45:P");
    EXPECT_EQ(r.status, 0);
    std::vector<HashLine> lines = hash_lines(r.out);
    ASSERT_GT(lines.size(), 43u);
    for (size_t i = 0; i <= 41; i++) ASSERT_EQ(lines[i].frame, i);
    EXPECT_EQ(lines[42].frame, 47u);
    for (size_t i = 43; i < lines.size(); i++) EXPECT_EQ(lines[i].frame, lines[i - 1].frame + 1);
    // Paused frames show nothing new: the same count of frame-timer frames.
    EXPECT_EQ(lines.size(), run("--headless --frames 60 --hash").out.size() / 16);
}

TEST(HostRun, EscapeFadesToBlackAndEndsWithZero) {
    RunResult r = run("--headless --hash --keys 40:ESC");
    EXPECT_EQ(r.status, 0);
    std::vector<HashLine> lines = hash_lines(r.out);
    // Frame 41 acts on the key: 32 fade presents follow, numbered 42..73.
    ASSERT_EQ(lines.size(), 74u);
    std::vector<uint8_t> black(256 * 256 * 3, 0);
    EXPECT_EQ(lines.back().frame, 73u);
    EXPECT_EQ(lines.back().crc, backend_crc32(black.data(), black.size()));
}

TEST(HostRun, CapturedFramesMatchTheirHashesAndTheSoundIsAWav) {
    std::string dir = temp_dir();
    ASSERT_FALSE(dir.empty());
    RunResult r = run("--headless --frames 5 --hash --capture " + dir);
    EXPECT_EQ(r.status, 0);
    std::vector<HashLine> lines = hash_lines(r.out);
    ASSERT_FALSE(lines.empty());
    for (const HashLine &l : lines) {
        char name[64];
        snprintf(name, sizeof name, "/frame_%06u.ppm", l.frame);
        std::vector<uint8_t> file = read_file(dir + name);
        std::vector<uint8_t> rgb = ppm_pixels(file, 256, 256);
        ASSERT_EQ(rgb.size(), 256u * 256u * 3u) << name;
        std::vector<uint8_t> bgr = to_bottom_up_bgr(rgb, 256, 256);
        EXPECT_EQ(backend_crc32(bgr.data(), bgr.size()), l.crc) << name;
        unlink((dir + name).c_str());
    }
    std::vector<uint8_t> sound = read_file(dir + "/sound.wav");
    ASSERT_GE(sound.size(), 44u);
    EXPECT_EQ(memcmp(sound.data(), "RIFF", 4), 0);
    EXPECT_EQ(memcmp(sound.data() + 8, "WAVE", 4), 0);
    unlink((dir + "/sound.wav").c_str());
    EXPECT_EQ(rmdir(dir.c_str()), 0) << "only frames and the sound were written";
}

TEST(HostRun, TitleFrameIsStoredTopRowFirst) {
    std::string dir = temp_dir();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(run("--headless --frames 1 --capture " + dir).status, 0);
    std::vector<uint8_t> rgb = ppm_pixels(read_file(dir + "/frame_000000.ppm"), 256, 256);
    ASSERT_EQ(rgb.size(), 256u * 256u * 3u);
    // The outer band is white and the innermost band (i = 63) is 0x0381C0.
    const uint8_t white[3] = {0xFF, 0xFF, 0xFF}, inner[3] = {0x03, 0x81, 0xC0};
    EXPECT_EQ(memcmp(&rgb[0], white, 3), 0);
    EXPECT_EQ(memcmp(&rgb[(70 * 256 + 70) * 3], inner, 3), 0);     // above the logo
    EXPECT_EQ(memcmp(&rgb[(185 * 256 + 70) * 3], inner, 3), 0);    // below it
    EXPECT_EQ(system(("rm -rf " + dir).c_str()), 0);
}

TEST(HostRun, CaptureIntoAFileFailsWithStatus1) {
    char path[] = "/tmp/rivo_file_XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    EXPECT_EQ(run(std::string("--headless --frames 1 --capture ") + path).status, 1);
    unlink(path);
}

TEST(HostRun, PauseThatNothingEndsStopsWithStatus1) {
    RunResult r = run("--headless --frames 100 --hash --keys 40:P");
    EXPECT_EQ(r.status, 1);
    std::vector<HashLine> lines = hash_lines(r.out);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().frame, 41u);
}
