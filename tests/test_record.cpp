// --record: the lossless .mkv decodes (with ffmpeg) to exactly the frames
// whose CRCs --hash prints, each repeated for as long as it stayed on screen
// at 50 frames per second; picture and sound last equally long (within one
// frame) across scene 3, fades, pauses and a rate change; the .mp4 is H.264 at
// three times the size with AAC. (Bad names: test_host_cli.)
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "host/backend.h"
#include "tests/test_run.h"
#include "tests/test_support.h"

namespace {

// CRC of each decoded frame, rows turned bottom-up as --hash sees them.
std::vector<uint32_t> decoded_crcs(const std::string &file) {
    std::vector<uint32_t> crcs;
    FILE *p = popen(("ffmpeg -v error -i '" + file + "' -map 0:v -f rawvideo -pix_fmt bgr24 -").c_str(), "r");
    const size_t row = 256 * 3, size = row * 256;
    std::vector<uint8_t> frame(size), flipped(size);
    while (p && fread(frame.data(), 1, size, p) == size) {
        for (size_t y = 0; y < 256; y++) std::copy_n(&frame[y * row], row, &flipped[(255 - y) * row]);
        crcs.push_back(backend_crc32(flipped.data(), size));
    }
    if (p) pclose(p);
    return crcs;
}

// One field of the first stream of a kind ("v" or "a"), as ffprobe prints it.
std::string probe(const std::string &file, const char *stream, const char *entry) {
    std::string v = run(std::string("ffprobe -v error -select_streams ") + stream + ":0 -show_entries " + entry +
                        " -of default=nw=1:nk=1 '" + file + "'");
    return v.substr(0, v.find('\n'));
}

// Seconds of a stream: Matroska's "HH:MM:SS.nnnnnnnnn" tag, or plain seconds.
double seconds(const std::string &file, const char *stream) {
    bool mkv = file.compare(file.size() - 4, 4, ".mkv") == 0;
    std::string text = probe(file, stream, mkv ? "stream_tags=DURATION" : "stream=duration");
    int h = 0, m = 0;
    double s = 0;
    if (sscanf(text.c_str(), "%d:%d:%lf", &h, &m, &s) == 3) return h * 3600.0 + m * 60.0 + s;
    return atof(text.c_str());
}

// Arguments, and the first frame at 25 per second (two video frames a round).
struct RecordCase {
    const char *args;
    uint32_t slow_from;
};

// Two skips into scene 3 (fade and unpaced frames), a pause, a rate change.
const RecordCase record_cases[] = {
    {"--frames 40 --keys 40:SPACE,45:SPACE", UINT32_MAX},
    {"--frames 30 --keys 40:P,45:P", UINT32_MAX},
    {"--frames 30 --keys 40:5", 41},
};

class Record : public testing::TestWithParam<RecordCase> {};

TEST_P(Record, LosslessFileHoldsTheHashedFramesInStepWithTheSound) {
    if (!have_tool("ffmpeg") || !have_tool("ffprobe")) GTEST_SKIP() << "ffmpeg is not installed";
    TempDir dir("rivo_record");
    std::string file = dir.file("run.mkv");
    ProgramRun r = run_program(std::string(GetParam().args) + " --hash --record " + file);
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_FALSE(r.crc.empty());
    // Each hash line's picture stays until the next numbered frame.
    std::vector<uint32_t> want;
    for (size_t i = 0; i < r.crc.size(); i++) {
        uint32_t rounds = i + 1 < r.frame.size() ? r.frame[i + 1] - r.frame[i] : 1;
        want.insert(want.end(), rounds * (r.frame[i] >= GetParam().slow_from ? 2 : 1), r.crc[i]);
    }
    EXPECT_EQ(decoded_crcs(file), want);
    double video = seconds(file, "v"), sound = seconds(file, "a");
    EXPECT_NEAR(video, want.size() / 50.0, 1e-6);
    EXPECT_LT(std::fabs(video - sound), 0.02) << "video " << video << " s, sound " << sound << " s";
    EXPECT_NE(r.err.find("recorded " + file), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(Runs, Record, testing::ValuesIn(record_cases));

TEST(RecordMp4, IsH264AtThreeTimesTheSizeWithAac) {
    if (!have_tool("ffprobe")) GTEST_SKIP() << "ffprobe is not installed";
    TempDir dir("rivo_record");
    std::string file = dir.file("run.mp4");
    ProgramRun r = run_program("--frames 40 --keys 40:SPACE,45:SPACE --hash --record " + file);
    ASSERT_EQ(r.status, 0) << r.err;
    std::string got = probe(file, "v", "stream=codec_name") + " " + probe(file, "v", "stream=width") + " " +
                      probe(file, "v", "stream=height") + " " + probe(file, "v", "stream=nb_frames") + " " +
                      probe(file, "a", "stream=codec_name");
    EXPECT_EQ(got, "h264 768 768 " + std::to_string(r.crc.size()) + " aac");
    double video = seconds(file, "v"), sound = seconds(file, "a");
    EXPECT_NEAR(video, r.crc.size() / 50.0, 1e-6);
    EXPECT_LT(std::fabs(video - sound), 0.02) << "video " << video << " s, sound " << sound << " s";
}

}  // namespace
