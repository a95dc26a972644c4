// --capture and F12: PNG frames equal to the hashed ones, one per video frame,
// and a sound.wav exactly as long, its header field by field; every way a
// capture can fail to be written (a full file system, a read-only directory, a
// name too long for the system, the directory moved away, sound.wav taken by a
// directory) ends the run with status 4 and a message naming the file, leaving
// a valid WAV; F12 saves the frame on screen as a PNG and names it, and a
// failed F12 lets the demo go on. --record: the lossless .mkv decodes (with
// ffmpeg) to exactly the frames whose CRCs --hash prints, each repeated for as
// long as it stayed on screen at 50 frames per second; picture and sound last
// equally long (within one frame) across scene 3, fades, pauses and a rate
// change; the .mp4 is H.264 at three times the size with AAC.
#include <gtest/gtest.h>

#include <png.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/options.h"
#include "platform/outputs.h"
#include "app/cli.h"
#include "tests/test_run.h"
#include "tests/test_support.h"

namespace {

// CRC of a 256 x 256 PNG decoded as --hash sees frames (BGR, bottom row first).
uint32_t png_crc(const std::string &path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return 0;
    image.format = PNG_FORMAT_BGR;
    std::vector<uint8_t> bytes(PNG_IMAGE_SIZE(image));
    if (image.width != 256 || image.height != 256) {
        png_image_free(&image);  // a finished read frees it; one abandoned here must be freed
        return 0;
    }
    if (!png_image_finish_read(&image, nullptr, bytes.data(), -(int)PNG_IMAGE_ROW_STRIDE(image), nullptr)) return 0;
    return outputs_crc32(bytes.data(), bytes.size());
}

uint32_t le32(const std::string &s, size_t at) {
    uint32_t v = 0;
    for (int k = 3; k >= 0; k--) v = v << 8 | (uint8_t)s[at + k];
    return v;
}

// A valid 16-bit PCM WAV whose sizes match the file; its sound frames (-1: invalid).
long wav_frames(const std::string &path) {
    std::string w = read_file(path);
    if (w.size() < 44 || w.compare(0, 4, "RIFF") || w.compare(8, 8, "WAVEfmt ") || w.compare(36, 4, "data")) return -1;
    uint32_t channels = (uint8_t)w[22], data = le32(w, 40);
    if (le32(w, 4) != w.size() - 8 || data != w.size() - 44 || channels < 1 || channels > 2) return -1;
    if (le32(w, 24) != 44100 || le32(w, 28) != 44100 * 2 * channels || w[32] != (char)(2 * channels)) return -1;
    return w[20] == 1 && w[34] == 16 && data % (2 * channels) == 0 ? (long)(data / (2 * channels)) : -1;
}

size_t files_in(const std::string &dir) { return (size_t)atoi(run("ls -A '" + dir + "' | wc -l").c_str()); }

}  // namespace

TEST(Capture, FramesAreTheHashedOnesAndTheSoundLastsAsLong) {
    TempDir dir("rivo_capture");
    // Two skips reach scene 3: its fade, then unpaced frames with two presents each.
    ProgramRun r = run_program("--frames 40 --keys 40:SPACE,45:SPACE --hash --capture " + dir.path);
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.frame.back() + 1, r.frame.size()) << "one frame number per 20 ms";
    for (size_t i = 0; i < r.frame.size(); i++) {
        char name[32];
        snprintf(name, sizeof name, "frame_%06u.png", r.frame[i]);
        ASSERT_EQ(png_crc(dir.file(name)), r.crc[i]) << name;
    }
    EXPECT_EQ(files_in(dir.path), r.frame.size() + 1) << "frames and sound.wav only";
    // 882 sound frames (20 ms at 44100 per second) for every picture.
    EXPECT_EQ(wav_frames(dir.file("sound.wav")), 882L * (long)r.frame.size());
}

TEST(Capture, SoundIsStereoAsPlayedMonoInBothChannelsSilenceToTheEndOfTheRound) {
    TempDir dir("rivo_sound");
    RUN_OPTIONS cli{};
    cli.zoom = 1;
    cli.capture = (char *)dir.path.c_str();
    ASSERT_EQ(backend_start(&cli), RUN_OK);
    uint32_t pixel[1] = {0};
    backend_show(pixel, 1, 1);  // the first round, 20 ms
    const int16_t stereo[4] = {1, -1, 2, -2}, mono[1] = {7};
    backend_sound_played(stereo, 2, 2);
    backend_sound_played(mono, 1, 1);
    backend_stop();
    std::string w = read_file(dir.file("sound.wav"));
    // 882 frames of two 16-bit channels: 3528 data bytes; 176400 bytes a second, 4 a frame.
    const std::string header("RIFF\xEC\x0D\0\0WAVEfmt \x10\0\0\0\1\0\2\0\x44\xAC\0\0\x10\xB1\2\0\4\0\x10\0data\xC8\x0D\0\0", 44);
    EXPECT_EQ(w.substr(0, 44), header);
    EXPECT_EQ(w.size(), 44u + 3528u);
    const int16_t want[8] = {1, -1, 2, -2, 7, 7, 0, 0};
    EXPECT_EQ(w.substr(44, 16), std::string((const char *)want, 16));
    EXPECT_EQ(w.find_first_not_of('\0', 44 + 6 * 2), std::string::npos) << "silence after the sound played";
    EXPECT_EQ(read_file(dir.file("frame_000000.png")).substr(0, 8), "\x89PNG\r\n\x1a\n");
    EXPECT_EQ(files_in(dir.path), 2u);
}

// A capture or recording onto a 200 kB file system. Without permission to
// mount one, a 200 kB file size limit makes the writes fail the same way.
TEST(CaptureFails, OnAFullDiskWithStatus4AndAValidWav) {
    TempDir dir("rivo_full");
    bool mounted = mount("tmpfs", dir.path.c_str(), "tmpfs", 0, "size=200k") == 0;
    std::string limit = mounted ? "" : "trap '' XFSZ; ulimit -f 400;";
    ProgramRun cap = run_program("--frames 300 --capture " + dir.file("cap"), limit);
    long frames = wav_frames(dir.file("cap/sound.wav"));
    ProgramRun rec = run_program("--frames 300 --record " + dir.file("run.mkv"), limit);
    if (mounted) umount(dir.path.c_str());
    EXPECT_EQ(cap.status, 4);
    EXPECT_NE(cap.err.find("cannot write '" + dir.file("cap") + "/"), std::string::npos) << cap.err;
    EXPECT_GT(frames, 0);
    EXPECT_EQ(rec.status, 4);
    EXPECT_NE(rec.err.find("cannot write '" + dir.file("run.mkv") + "'"), std::string::npos) << rec.err;
}

// The directory at frame 50 of a running capture: status 4, the reason named.
TEST(CaptureFails, WhenItsDirectoryIsMovedAway) {
    TempDir dir("rivo_moved");
    std::string cap = dir.file("cap"), wait = cap + "/frame_000050.png";
    std::string script = "'" + std::string(RIVO_PROGRAM) + "' --frames 3000 --capture " + cap + " 2>" + dir.file("err") +
                         " & i=0; until [ -e " + wait + " ] || [ $i -ge 1000 ]; do sleep 0.01; i=$((i+1)); done; mv " +
                         cap + " " + dir.file("away") + "; wait $!";
    int status = -1;
    run("sh -c '" + script + "'", &status);
    EXPECT_EQ(WEXITSTATUS(status), 4);
    EXPECT_NE(read_file(dir.file("err")).find("moved or replaced"), std::string::npos) << read_file(dir.file("err"));
    EXPECT_GT(wav_frames(dir.file("away/sound.wav")), 0);
}

TEST(CaptureFails, IntoAReadOnlyDirectoryOrOverADirectoryOrUnderTooLongANameBeforeTheFirstFrame) {
    TempDir ro("rivo_readonly"), wavdir("rivo_wavdir"), deep("rivo_long");
    // sound.wav may be written, frames may not: the run stops at the first frame.
    write_file(ro.file("sound.wav"), "");
    ASSERT_EQ(chmod(ro.path.c_str(), 0555), 0);
    std::string as_user = geteuid() == 0 ? "chown 65534 '" + ro.path + "' '" + ro.file("sound.wav") +
                                               "' && exec setpriv --reuid=65534 --regid=65534 --clear-groups"
                                         : "";
    ProgramRun r = run_program("--frames 10 --capture " + ro.path, as_user);
    chmod(ro.path.c_str(), 0755);
    EXPECT_EQ(r.status, 4);
    EXPECT_NE(r.err.find("frame_000000.png': Permission denied"), std::string::npos) << r.err;
    EXPECT_EQ(wav_frames(ro.file("sound.wav")), 882L);
    ASSERT_EQ(mkdir(wavdir.file("sound.wav").c_str(), 0777), 0);
    r = run_program("--frames 10 --capture " + wavdir.path);
    EXPECT_EQ(r.status, 4);
    EXPECT_NE(r.err.find("sound.wav': Is a directory"), std::string::npos) << r.err;
    EXPECT_EQ(files_in(wavdir.path), 1u);
    // A 4,090-character directory exists, but no file inside it can be named.
    std::string path = deep.path;
    while (path.size() < 4090) {
        path += "/" + std::string(std::min<size_t>(200, 4090 - path.size() - 1), 'd');
        ASSERT_EQ(mkdir(path.c_str(), 0777), 0) << path.size();
    }
    r = run_program("--frames 10 --capture " + path);
    EXPECT_EQ(r.status, 4);
    EXPECT_NE(r.err.find("File name too long"), std::string::npos) << r.err.substr(r.err.size() - 80);
    EXPECT_EQ(run("find '" + deep.path + "' -type f | wc -l"), "0\n") << "no file under a shorter name";
}

TEST(Screenshot, F12SavesTheFrameOnScreenAndNamesItAFailedOneLetsTheDemoGoOn) {
    TempDir dir("rivo_shot");
    write_file(dir.file("file"), "");
    ProgramRun r = run_program("--headless --frames 10 --hash --keys 35:F12 --screenshot-dir " + dir.file("shots"));
    ASSERT_EQ(r.status, 0) << r.err;
    std::string shot = dir.file("shots/rivo7315_000035.png");
    ASSERT_EQ(r.other, std::vector<std::string>{shot});
    ASSERT_GT(r.crc.size(), 35u);
    EXPECT_EQ(png_crc(shot), r.crc[35]);
    r = run_program("--headless --frames 10 --hash --keys 35:F12 --screenshot-dir " + dir.file("file"));
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("cannot save the screenshot '" + dir.file("file/rivo7315_000035.png") + "': Not a directory"),
              std::string::npos) << r.err;
    EXPECT_TRUE(r.other.empty());
    EXPECT_EQ(r.crc.size(), 1 + 32 + 10u);
}

// ---- --record
namespace {
// CRC of each decoded frame, rows turned bottom-up as --hash sees them.
std::vector<uint32_t> decoded_crcs(const std::string &file) {
    std::vector<uint32_t> crcs;
    FILE *p = popen(("ffmpeg -v error -i '" + file + "' -map 0:v -f rawvideo -pix_fmt bgr24 -").c_str(), "r");
    const size_t row = 256 * 3, size = row * 256;
    std::vector<uint8_t> frame(size), flipped(size);
    while (p && fread(frame.data(), 1, size, p) == size) {
        for (size_t y = 0; y < 256; y++) std::copy_n(&frame[y * row], row, &flipped[(255 - y) * row]);
        crcs.push_back(outputs_crc32(flipped.data(), size));
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

// Arguments, the first frame at 25 per second (two video frames a round), the file's kind.
struct RecordCase {
    const char *args;
    uint32_t slow_from;
    const char *file;
};

// Two skips into scene 3 (fade and unpaced frames), a pause, a rate change;
// the .mp4 is H.264 at three times the size with AAC.
const RecordCase record_cases[] = {
    {"--frames 40 --keys 40:SPACE,45:SPACE", UINT32_MAX, "run.mkv"},
    {"--frames 30 --keys 40:P,45:P", UINT32_MAX, "run.mkv"},
    {"--frames 30 --keys 40:5", 41, "run.mkv"},
    {"--frames 40 --keys 40:SPACE,45:SPACE", UINT32_MAX, "run.mp4"},
};

class Record : public testing::TestWithParam<RecordCase> {};

TEST_P(Record, FileHoldsTheHashedFramesInStepWithTheSound) {
    if (!have_tool("ffmpeg") || !have_tool("ffprobe")) GTEST_SKIP() << "ffmpeg is not installed";
    TempDir dir("rivo_record");
    std::string file = dir.file(GetParam().file);
    ProgramRun r = run_program(std::string(GetParam().args) + " --hash --record " + file);
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_FALSE(r.crc.empty());
    // Each hash line's picture stays until the next numbered frame.
    std::vector<uint32_t> want;
    for (size_t i = 0; i < r.crc.size(); i++) {
        uint32_t rounds = i + 1 < r.frame.size() ? r.frame[i + 1] - r.frame[i] : 1;
        want.insert(want.end(), rounds * (r.frame[i] >= GetParam().slow_from ? 2 : 1), r.crc[i]);
    }
    if (file.back() == 'v')
        EXPECT_EQ(decoded_crcs(file), want);
    else
        EXPECT_EQ(probe(file, "v", "stream=codec_name") + " " + probe(file, "v", "stream=width") + " " + probe(file, "v", "stream=height") +
                      " " + probe(file, "v", "stream=nb_frames") + " " + probe(file, "a", "stream=codec_name"),
                  "h264 768 768 " + std::to_string(want.size()) + " aac");
    double video = seconds(file, "v"), sound = seconds(file, "a");
    EXPECT_NEAR(video, want.size() / 50.0, 1e-6);
    EXPECT_LT(std::fabs(video - sound), 0.02) << "video " << video << " s, sound " << sound << " s";
    EXPECT_NE(r.err.find("recorded " + file), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(Runs, Record, testing::ValuesIn(record_cases));
}  // namespace
