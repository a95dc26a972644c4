// --record: the lossless .mkv decodes (with ffmpeg) to exactly the frames
// whose CRCs --hash prints, each repeated for as long as it stayed on screen
// at 50 frames per second; picture and sound last equally long (within one
// frame) across scene 3, fades, pauses and a rate change; the .mp4 is H.264 at
// three times the size with AAC; bad names and unwritable files are refused.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "host/backend.h"
#include "tests/test_run.h"
#include "tests/test_support.h"

namespace {

// CRC of each decoded frame, rows turned bottom-up as --hash sees them.
std::vector<uint32_t> decoded_crcs(const std::string &file) {
    std::vector<uint32_t> crcs;
    std::string cmd = "ffmpeg -v error -i '" + file + "' -map 0:v -f rawvideo -pix_fmt bgr24 -";
    FILE *p = popen(cmd.c_str(), "r");
    if (!p) return crcs;
    const size_t row = 256 * 3, size = row * 256;
    std::vector<uint8_t> frame(size), flipped(size);
    while (fread(frame.data(), 1, size, p) == size) {
        for (size_t y = 0; y < 256; y++) std::copy_n(&frame[y * row], row, &flipped[(255 - y) * row]);
        crcs.push_back(backend_crc32(flipped.data(), size));
    }
    pclose(p);
    return crcs;
}

// One value of each stream by its kind ("video", "audio"): `entries` asks for
// the stream's codec_type and one more field, e.g. "stream=codec_type,codec_name".
std::map<std::string, std::string> probe(const std::string &file, const std::string &entries) {
    std::map<std::string, std::string> out;
    std::string text = run("ffprobe -v error -show_entries " + entries + " -of compact=p=0:nk=1 '" + file + "'");
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        size_t bar = line.find('|');
        if (bar != std::string::npos) {
            std::string a = line.substr(0, bar), b = line.substr(bar + 1);
            // ffprobe prints the fields in its own order.
            if (a == "video" || a == "audio") out[a] = b;
            else out[b] = a;
        }
        at = end + 1;
    }
    return out;
}

// Seconds of "HH:MM:SS.nnnnnnnnn" (Matroska's duration tag) or plain seconds.
double seconds(const std::string &text) {
    int h = 0, m = 0;
    double s = 0;
    if (sscanf(text.c_str(), "%d:%d:%lf", &h, &m, &s) == 3) return h * 3600.0 + m * 60.0 + s;
    return atof(text.c_str());
}

// Video and sound durations of a recording.
void durations(const std::string &file, double *video, double *sound) {
    bool mkv = file.size() > 4 && file.compare(file.size() - 4, 4, ".mkv") == 0;
    auto d = probe(file, mkv ? "stream=codec_type:stream_tags=DURATION" : "stream=codec_type,duration");
    *video = d.count("video") ? seconds(d["video"]) : -1;
    *sound = d.count("audio") ? seconds(d["audio"]) : -1;
}

// The frames the video should hold: each hash line's picture stays until the
// next numbered frame, and from frame `slow_from` on every round lasts two
// video frames (the rate was switched to 25 per second).
std::vector<uint32_t> expected_video(const ProgramRun &r, uint32_t slow_from) {
    std::vector<uint32_t> crcs;
    for (size_t i = 0; i < r.crc.size(); i++) {
        uint32_t rounds = i + 1 < r.frame.size() ? r.frame[i + 1] - r.frame[i] : 1;
        uint32_t each = r.frame[i] >= slow_from ? 2 : 1;
        crcs.insert(crcs.end(), rounds * each, r.crc[i]);
    }
    return crcs;
}

struct RecordCase {
    const char *what;
    const char *args;    // keys and frame count
    uint32_t slow_from;  // first frame at 25 per second
};

// Two skips into scene 3 (fade and unpaced frames), a pause, a rate change.
const RecordCase record_cases[] = {
    {"scene 3 and its fade", "--frames 40 --keys 40:SPACE,45:SPACE", UINT32_MAX},
    {"a pause in scene 1", "--frames 30 --keys 40:P,45:P", UINT32_MAX},
    {"25 frames per second", "--frames 30 --keys 40:5", 41},
};

class Record : public testing::TestWithParam<RecordCase> {};

TEST_P(Record, LosslessFileHoldsTheHashedFramesInStepWithTheSound) {
    if (!have_tool("ffmpeg") || !have_tool("ffprobe")) GTEST_SKIP() << "ffmpeg is not installed";
    TempDir dir("rivo_record");
    std::string file = dir.file("run.mkv");
    ProgramRun r = run_program(std::string(GetParam().args) + " --hash --record " + file);
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_FALSE(r.crc.empty());
    std::vector<uint32_t> want = expected_video(r, GetParam().slow_from);
    std::vector<uint32_t> got = decoded_crcs(file);
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); i++) ASSERT_EQ(got[i], want[i]) << "video frame " << i;
    double video, sound;
    durations(file, &video, &sound);
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
    EXPECT_EQ(probe(file, "stream=codec_type,codec_name")["video"], "h264");
    EXPECT_EQ(probe(file, "stream=codec_type,codec_name")["audio"], "aac");
    EXPECT_EQ(probe(file, "stream=codec_type,width")["video"], "768");
    EXPECT_EQ(probe(file, "stream=codec_type,nb_frames")["video"], std::to_string(r.crc.size()));
    double video, sound;
    durations(file, &video, &sound);
    EXPECT_NEAR(video, r.crc.size() / 50.0, 1e-6);
    EXPECT_LT(std::fabs(video - sound), 0.02) << "video " << video << " s, sound " << sound << " s";
}

TEST(RecordFile, OtherNamesAreUsageErrorsAndUnwritableOnesEndWithStatus4) {
    EXPECT_EQ(run_program("--frames 1 --record run.avi").status, 2);
    EXPECT_EQ(run_program("--frames 1 --record").status, 2);
    ProgramRun r = run_program("--frames 1 --record /nonexistent-dir/run.MKV");
    EXPECT_EQ(r.status, 4);
    EXPECT_NE(r.err.find("'/nonexistent-dir/run.MKV'"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("No such file or directory"), std::string::npos) << r.err;
}

}  // namespace
