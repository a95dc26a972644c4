// SAM: the WAV reader (hand-built chunk layouts and broken headers), the WAV
// writer byte for byte, the SAM text and binary formats both ways, headerless
// data, the reader fallback, rendering and normalising. SAMDRAW: waveform
// columns, index stepping, range clamping, the smoothed waveform and the peak
// markers, each a table line with a picture worked out by hand ('.'
// background, '#' wave, 'm' marker). WINSND: the WAV image, the feed queue,
// and the player: the virtual one (stereo capture, the synthesiser mixed with
// saturation, mute) and the SDL one (data and MIDI changing while the audio
// thread plays; no device).
#include <gtest/gtest.h>

#include <SDL.h>
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "audio/sam.h"
#include "audio/samdraw.h"
#include "audio/sample.h"
#include "audio/winsnd.h"
#include "host/backend.h"
#include "host/cli.h"
#include "host/midi.h"
#include "host/synth.h"
#include "tests/test_picture.h"
#include "tests/test_support.h"

namespace {

using Values = std::vector<int32_t>;
using Sam = Own<sam_del>;
const Values failed = {-999};

std::string le16(uint32_t v) { return std::string{(char)(v & 0xFF), (char)((v >> 8) & 0xFF)}; }
std::string le32(uint32_t v) { return le16(v & 0xFFFF) + le16(v >> 16); }
std::string chunk(const char *id, const std::string &body) {
    return id + le32((uint32_t)body.size()) + body + (body.size() & 1 ? std::string(1, '\0') : "");
}
std::string fmt(uint32_t tag, uint32_t channels, uint32_t bits) {
    uint32_t align = channels * bits / 8;
    return le16(tag) + le16(channels) + le32(44100) + le32(44100 * align) + le16(align) + le16(bits);
}
std::string riff(const std::string &chunks) { return "RIFF" + le32(4 + (uint32_t)chunks.size()) + "WAVE" + chunks; }
// The canonical 44-byte header with the given fields, then `data`.
std::string wav(uint32_t tag, uint32_t channels, uint32_t bits, uint32_t size, const std::string &data) {
    return "RIFF" + le32(36 + size) + "WAVEfmt " + le32(16) + fmt(tag, channels, bits) + "data" + le32(size) + data;
}

SAMPLE *make_sample(const Values &values) {
    SAMPLE *s = sample_new();
    for (int32_t v : values) sample_push(s, v);
    return s;
}

Values values_of(const SAMPLE *s) { return s ? Values(s->data, s->data + s->count) : Values{}; }

SAM *sam_for(const std::string &path, const Values *values = nullptr) {
    SAM *s = sam_new();
    sam_set_name(s, path.c_str()), values ? sam_set_sample(s, make_sample(*values)) : (void)0;
    return s;
}

// Loads `path` into a record holding {42}: the values, or `failed` when the
// load is refused (and then the old sample must stay). No file stays open.
Values load(const std::string &path, SAM *s = nullptr) {
    Sam own(s ? nullptr : sam_for(path));
    if (!s) s = own;
    sam_set_sample(s, make_sample({42}));
    bool ok = sam_load(s);
    EXPECT_EQ(s->file, nullptr);
    if (!ok) {
        EXPECT_EQ(values_of(s->sample), Values{42}) << path;
    }
    return ok ? values_of(s->sample) : failed;
}

class SamFile : public testing::Test {
protected:
    TempDir dir{"test_sam"};
    std::string path = dir.file("t.wav");
    Values load_bytes(const std::string &bytes) { return write_file(path, bytes), load(path); }
};

const std::string four16("\x01\x00\xff\xff\x00\x80\xff\x7f", 8);  // 1, -1, -32768, 32767
const Values four = {1, -1, -32768, 32767};

const uint32_t B = 0x808080, W = 0xFFFFFF;

// A drawer over a new SAM holding `values` and a new w x h image.
struct Drawing {
    Own<sam_del> sam{sam_new()};
    Own<img_del> image;
    Own<samdraw_del> d{samdraw_new()};
    Drawing(const std::vector<int32_t> &values, int32_t w, int32_t h) : image(grid_image(w, h)) {
        sam_set_sample(sam, make_sample(values));
        d->sam = sam, d->target = image, d->last = (int32_t)values.size() - 1;
    }
};

// ---- WAV reader ---------------------------------------------------------------------

TEST_F(SamFile, CanonicalFilesGiveTheirValuesAndFields) {
    const struct { uint32_t channels, bits; std::string data; Values values; char sign; } cases[] = {
        {1, 16, four16, four, 's'},
        {2, 8, std::string("\x00\x7f\x80\xff", 4), {0, 127, 128, 255}, 'u'},  // not re-centred
        {1, 24, std::string("\x01\x00\x00\xff\xff\xff\x00\x00\x80", 9), {1, -1, -8388608}, 's'},
        {1, 32, four16, {-65535, 2147450880}, 's'},  // 0xFFFF0001, 0x7FFF8000
    };
    for (const auto &c : cases) {
        write_file(path, wav(1, c.channels, c.bits, (uint32_t)c.data.size(), c.data));
        Sam s(sam_for(path));
        ASSERT_TRUE(sam_read_wav(s)) << c.bits;
        EXPECT_EQ(values_of(s->sample), c.values);
        EXPECT_EQ((Values{s->channels, s->sample_width, s->sign, s->order, s->file != nullptr}), (Values{(int32_t)c.channels, (int32_t)c.bits, c.sign, 'l', 0}));
    }
}

TEST_F(SamFile, ChunksAreWalkedAndBrokenHeadersRefused) {
    const std::string f16 = chunk("fmt ", fmt(1, 1, 16)), data = chunk("data", four16), abcd = wav(1, 1, 16, 4, "abcd");
    // Extensible: cbSize 22, valid bits, channel mask, then the sub-format GUID.
    auto extensible = [](uint32_t sub) {
        return chunk("fmt ", fmt(0xFFFE, 1, 16) + le16(22) + le16(16) + le32(4) + le16(sub) +
                                 std::string("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14));
    };
    const struct { const char *layout; std::string bytes; Values values; } cases[] = {
        {"LIST between", riff(f16 + chunk("LIST", "INFOISFT\x03\0\0\0abc") + data), four},
        {"odd chunk and its pad byte", riff(chunk("junk", "abc") + f16 + chunk("fact", le32(4)) + data), four},
        {"longer format chunk", riff(chunk("fmt ", fmt(1, 1, 16) + le16(0)) + data), four},
        {"extensible PCM", riff(extensible(1) + data), four},
        {"a short last value", wav(1, 1, 16, 2, std::string("\x05\x00\x06\x00", 4)), {5}},
        {"extensible float", riff(extensible(3) + data), failed},
        {"format 3", riff(chunk("fmt ", fmt(3, 1, 32)) + data), failed},
        {"data before fmt", riff(data + f16), failed},
        {"no data chunk", riff(f16 + chunk("LIST", "abcd")), failed},
        {"chunk beyond the file", riff(f16 + "LIST" + le32(1000) + "abcd" + data), failed},
        {"format chunk too short", riff(chunk("fmt ", fmt(1, 1, 16).substr(0, 14)) + data), failed},
        {"two format chunks", riff(f16 + f16 + data), failed},
        {"not WAVE", abcd.substr(0, 8) + "WAVX" + abcd.substr(12), failed},
        {"width 0", wav(1, 1, 0, 4, "abcd"), failed},   {"width 4", wav(1, 1, 4, 4, "abcd"), failed},
        {"width 12", wav(1, 1, 12, 4, "abcd"), failed}, {"no channel", wav(1, 0, 16, 4, "abcd"), failed},
        {"cut short", abcd.substr(0, 43), failed},     {"not RIFF", "X" + abcd.substr(1), failed},
    };
    for (const auto &c : cases) EXPECT_EQ(load_bytes(c.bytes), c.values) << c.layout;
}

TEST_F(SamFile, TheDataSizeOnlyBoundsTheRead) {
    // 4 GiB claimed; the file holds two values and half of a third.
    write_file(path, wav(1, 1, 16, 0xFFFFFFF0u, std::string("\x05\x00\x06\x00\x07", 5)));
    Sam s(sam_for(path));
    EXPECT_EQ(load(path, s), (Values{5, 6}));
    EXPECT_LE(s->sample->capacity, 64);  // nothing reserved for the claimed size
}

// ---- Writers -------------------------------------------------------------------------------

TEST_F(SamFile, SavingToAWavNameWritesACanonicalPcmFile) {
    Values values = {1, -2};
    Sam s(sam_for(dir.file("out.WAV"), &values));
    ASSERT_TRUE(sam_save(s));
    EXPECT_EQ(read_file(dir.file("out.WAV")), wav(1, 1, 16, 4, std::string("\x01\x00\xfe\xff", 4)));
    // Stereo: values saturate and silence pads the last frame.
    values = {40000, -40000, 7};
    s.reset(sam_for(path, &values));
    s->channels = 2;
    ASSERT_TRUE(sam_save(s));
    EXPECT_EQ(read_file(path), wav(1, 2, 16, 8, std::string("\xff\x7f\x00\x80\x07\x00\x00\x00", 8)));
    EXPECT_EQ(load(path), (Values{32767, -32768, 7, 0}));
    // No directory, more channels than a WAV block holds, nothing to write.
    s.reset(sam_for(dir.path + "/missing/x.wav", &values));
    EXPECT_FALSE(sam_save(s));
    s->channels = 40000, sam_set_name(s, path.c_str());
    EXPECT_FALSE(sam_save(s) || sam_save(Sam(sam_for(path))));
}

TEST_F(SamFile, SamFilesAreWrittenAsGivenAndReadBack) {
    const struct { const char *name; char encoding; Values values; std::string bytes; Values back; } cases[] = {
        {"t.sam", 'A', {5, -7, 0, 123456},
         "SAM\nASCII\nsigned\nbits 16\nlittle endian\nchanels 1\n4\n5\n-7\n0\n123456\n", {5, -7, 0, 123456}},
        {"b.dat", 'b', {1, -2, 70000},  // keeps the low 16 bits: 4464
         "SAM\nbinary\nsigned\nbits 16\nlittle endian\nchanels 1\n3\n" + std::string("\x01\x00\xfe\xff\x70\x11", 6),
         {1, -2, 4464}},
        {"u.sam", 'x', {1}, "SAM\n", failed},  // no such encoding: the first line only, unreadable
        {"v.raw", 0, {1, -1}, std::string("SAM\nbinary\n2\n8\n\x01\xff", 17), {1, -1}},
        {"w.raw", 0, {128, -129}, std::string("SAM\nbinary\n2\n16\n\x00\x80\xff\x7f", 20), {128, -129}},
        {"x.raw", 0, {-32769}, std::string("SAM\nbinary\n1\n24\n\xff\x7f\xff", 19), {-32769}},
        {"y.raw", 0, {8388608, INT32_MIN},
         std::string("SAM\nbinary\n2\n32\n\x00\x80\x00\x00\x80\x00\x00\x00", 24), {8388608, INT32_MIN}},
    };
    for (const auto &c : cases) {
        Sam s(sam_for(dir.file(c.name), &c.values));
        s->encoding = c.encoding;
        EXPECT_EQ(sam_save(s), c.encoding != 'x') << c.name;
        EXPECT_EQ(read_file(dir.file(c.name)), c.bytes) << c.name;
        EXPECT_EQ(load(dir.file(c.name)), c.back) << c.name;
    }
}

TEST_F(SamFile, WidthLineWriterUsesHighByteFirst) {
    Sam s(sam_for(path));
    const std::pair<Values, std::string> cases[] = {
        {{1, -1}, std::string("8\n\x01\xff", 4)}, {{1000, -2}, std::string("16\n\x03\xe8\xff\xfe", 7)}, {{40000}, ""}};
    for (const auto &[values, bytes] : cases) {
        sam_set_sample(s, make_sample(values));
        EXPECT_EQ(sam_write_width(s), !bytes.empty());
        EXPECT_EQ(read_file(path), bytes);
    }
}

// ---- Readers by header, record and ending -------------------------------------------------

TEST_F(SamFile, SamHeaderWordsNumbersAndComments) {
    const std::pair<std::string, Values> cases[] = {
        {"# by hand\nsam a s 16 3 2\n10 -20\n30 40\n", {10, -20, 30}},  // width, count, channels
        {"SAM\nB\nS\n16 2 1\n\x01\x02\xff\xfe", {258, -2}},            // high byte first by default
        {"SAM binary unsigned chanels 1 bits 16 2\n\x01\x02\xff\xfe", {258, 65534}},
        {"SAM b s little endian bits 24 2 chanels 1\n" + std::string("\x01\x00\x80\xff\xff\xff", 6), {-8388607, -1}},
        {"SAM a s 16 2000000000 1\n1 2\n", {1, 2}},  // a short body ends at the end of the file
        {"SAM\nASCII\nsigned\nbits 16\n", failed},   // no count
        {"SAM a s 0 2 1\n1 2\n", failed},
        {"SAM a s 33 2 1\n1 2\n", failed},
        {"SAM a s 16 99999999999 1\n1 2\n", failed},
    };
    path = dir.file("h.sam");
    for (const auto &[bytes, values] : cases) EXPECT_EQ(load_bytes(bytes), values) << bytes;
}

TEST_F(SamFile, HeaderlessValuesFollowTheRecordsOwnLayout) {
    path = dir.file("d.pcm");
    write_file(path, std::string("\x01\x02\xff\xfe\x07", 5));
    const struct { int32_t width; char order, sign; Values values; } cases[] = {
        {16, 'm', 's', {258, -2}},  // the odd byte is dropped
        {16, 'l', 'u', {513, 65279}},
        {8, 'l', 's', {1, 2, -1, -2, 7}},
        {24, 'l', 's', {-65023}},  // 0xFF0201 sign-extended
        {12, 'l', 's', failed},
        {16, 'x', 's', failed},
    };
    for (const auto &c : cases) {
        Sam s(sam_for(path));
        s->sample_width = c.width, s->order = c.order, s->sign = c.sign;
        EXPECT_EQ(load(path, s), c.values) << c.width << c.order << c.sign;
    }
}

TEST_F(SamFile, TheEndingChoosesFirstAndTheOthersFollow) {
    write_file(dir.file("sam.wav"), "SAM a s 16 2 1\n4 5\n");
    write_file(dir.file("wav.sam"), wav(1, 1, 16, 2, std::string("\x09\x00", 2)));
    write_file(dir.file("junk.bin"), "nothing here");
    // Headerless needs a width; a missing file reads nothing.
    const std::pair<const char *, Values> cases[] = {{"sam.wav", {4, 5}}, {"wav.sam", {9}}, {"junk.bin", failed}, {"absent.wav", failed}};
    for (const auto &[name, values] : cases) EXPECT_EQ(load(dir.file(name)), values) << name;
    Sam s(sam_new());
    EXPECT_FALSE(sam_load(s));  // neither a name nor a file
    s->file = fopen(dir.file("wav.sam").c_str(), "rb");
    EXPECT_EQ(load("", s), Values{9});  // an open file is read and closed
}

// ---- Rendering -----------------------------------------------------------------------------

TEST(SamRender, LoopsFromLoopStartOnceLoopEndIsReached) {
    const Values ten = {0, 10, 20, 30, 40, 50, 60, 70, 80, 90};
    const struct { int32_t start, end, position, n; Values out; int32_t after; } cases[] = {
        {2, 6, 0, 3, {0, 10, 20}, 3},
        {2, 6, 4, 7, {40, 50, 20, 30, 40, 50, 20}, 3},
        {0, 0, 8, 4, {80, 90, 0, 0}, 12},  // no loop: silence past the end
        {8, 100, 9, 3, {90, 80, 90}, 10},  // a loop end beyond the sample ends with it
        {2, 6, 6, 2, {20, 30}, 4},          // at loop_end the next value is loop_start's
    };
    for (const auto &c : cases) {
        Sam s(sam_for("x", &ten));
        s->loop_start = c.start, s->loop_end = c.end, s->position = c.position;
        Own<sample_del> out(make_sample(Values(9, -1)));
        sam_render(s, out, c.n), sam_render(s, out, 0), sam_render(s, nullptr, 2);  // the last two refused
        Values want = c.out;
        want.resize(9, -1);
        EXPECT_EQ(values_of(out), want) << c.position;
        EXPECT_EQ(std::make_pair(s->position, s->mode), std::make_pair(c.after, 'l'));
    }
}

TEST(SamNormalize, PeakBecomesAbout32767Times32768) {
    // m = 200; 0x3FFF8000 / 200 = 5368545. Silence stays silence.
    for (auto [in, out] : {std::pair<Values, Values>{{100, -200, 50}, {536854500, -1073709000, 268427250}}, {{0, 0}, {0, 0}}}) {
        Own<sample_del> s(make_sample(in));
        sam_normalize(s.address());
        EXPECT_EQ(values_of(s), out);
    }
    sam_normalize(nullptr);
}

// ---- Drawing ---------------------------------------------------------------------------

TEST(Samdraw, DrawsAsPictures) {
    using Draw = void (*)(SAMDRAW *);
    struct Case { const char *name; Draw draw; std::vector<int32_t> values; int32_t first, last, w, h; const char *want; } cases[] = {
        // Height 4, mid 2: 32767 reaches row 3, -32768 row 0, 0 stays on row 2.
        {"one per column", samdraw_draw, {32767, -32768, 16384, 0}, 0, 3, 4, 4, ".#..|.#..|####|#.#."},
        {"8 in 4", samdraw_draw, {32767, -32768, 0, 32767, -32768, 0, 0, 0}, 0, 7, 4, 4, "..#.|..#.|####|#..."},
        {"2 in 4", samdraw_draw, {32767, -32768}, 0, 1, 4, 4, "..##|..##|####|##.."},
        {"exchanged range", samdraw_draw, {0, 32767, -32768, 32767}, 3, 1, 4, 4, ".#..|.#..|###.|#.#."},
        {"clamped range", samdraw_draw, {0, 32767, -32768, 32767}, -5, 99, 4, 4, "..#.|..#.|####|.#.#"},
        {"empty", samdraw_draw, {}, 0, 0, 2, 2, "..|.."},
        // Means 10000, 0, -9000, -9000 on height 8: rows 4 + 1, 4, 4 - 2.
        {"smooth", samdraw_draw_smooth, {30000, 0, -30000, 3000}, 0, 3, 4, 8, "....|....|..##|..##|####|#...|....|...."},
        // argmax 1 in column 4 * 1 / 8 = 0, argmin 3 in column 1; no clearing.
        {"peaks", samdraw_draw_peaks, {0, 32767, 0, -32768, 0, 0, 0, 0}, 0, 7, 4, 4, "xmxx|xmxx|mmxx|mxxx"},
    };
    for (const Case &c : cases) {
        Drawing t(c.values, c.w, c.h);
        img_clear(t.image, 0x123456);
        t.d->first = c.first;
        t.d->last = c.last;
        c.draw(t.d);
        EXPECT_TRUE(grid_equals(t.image, picture(c.want, ".#mx", {B, W, 0, 0x123456}))) << c.name;
        EXPECT_EQ(std::make_pair(t.d->first, t.d->last), std::make_pair(c.first, c.last)) << c.name;
    }
    std::vector<int32_t> alternate;  // 512 values into 256 columns: every second value
    for (int i = 0; i < 512; i++) alternate.push_back(i % 2 ? -32768 : 32767);
    Drawing t(alternate, 256, 4);
    samdraw_draw(t.d);
    std::vector<uint32_t> want(256 * 4, B);
    std::fill(want.begin() + 512, want.end(), W);
    EXPECT_TRUE(grid_equals(t.image, want));
}

TEST(Samdraw, MissingPiecesDrawNothing) {
    Drawing t({1, 2}, 2, 2);
    img_clear(t.image, 0x123456);
    for (auto draw : {samdraw_draw, samdraw_draw_smooth, samdraw_draw_peaks}) draw(nullptr);
    SAMPLE *sample = t.sam->sample;
    t.d->sam = nullptr;
    samdraw_draw(t.d);
    t.d->sam = t.sam, t.sam->sample = nullptr;
    samdraw_draw(t.d);
    samdraw_draw_peaks(t.d);
    t.sam->sample = sample, t.d->target = nullptr;
    samdraw_draw(t.d);
    EXPECT_TRUE(grid_equals(t.image, std::vector<uint32_t>(4, 0x123456)));
    Own<samdraw_del> a(samdraw_new()), b(samdraw_new());
    EXPECT_EQ(samdraw_to_text(a), nullptr);
    EXPECT_TRUE(samdraw_compare(a, b) && !samdraw_compare(a, nullptr));
}

constexpr int32_t L = winsnd_length;
using Player = Own<winsnd_del>;
using Sample = Own<sample_del>;

void use_backend(int headless) {
    CLI cli{};
    cli.headless = headless;
    backend_start(&cli);
}

SAMPLE *constant(int32_t n, int32_t v) {
    SAMPLE *s = sample_new();
    sample_set_count(s, n);
    for (int32_t i = 0; i < n; i++) s->data[i] = v;
    return s;
}

// Data slot i of the image as a signed 16-bit value.
int32_t slot(const WINSND *w, int32_t i) {
    const uint8_t *p = w->image + winsnd_header_size + 2 * i;
    return (int16_t)(uint16_t)(p[0] | (p[1] << 8));
}

// The frames of a capture file (left, right interleaved), after checking its
// header field by field against the data that follows: PCM, stereo, 44100
// frames a second, 176400 bytes a second, 4 bytes a frame, 16 bits.
std::vector<int16_t> captured(const std::string &path) {
    std::string b = read_file(path);
    uint32_t n = (uint32_t)b.size();
    std::vector<int16_t> v(n < 44 ? 0 : (n - 44) / 2);
    if (n < 44) return v;
    EXPECT_EQ(b.substr(0, 44), "RIFF" + le32(n - 8) + "WAVEfmt " + le32(16) + le16(1) + le16(2) + le32(44100) +
                                   le32(176400) + le16(4) + le16(16) + "data" + le32(n - 44));
    memcpy(v.data(), b.data() + 44, 2 * v.size());  // little-endian values
    return v;
}

// Headless, capturing to a private file.
class Winsnd : public testing::Test {
protected:
    TempDir dir{"test_winsnd"};
    std::string wav = dir.file("sound.wav");
    void SetUp() override { use_backend(1), winsnd_capture_to(wav.c_str()); }
    void TearDown() override { winsnd_capture_to(nullptr), winsnd_mute(0); }
    std::vector<Sample> kept;  // outlives the test's players
    // A new player with s queued and fed once.
    Player playing(SAMPLE *s) {
        Player w(winsnd_new());
        kept.emplace_back(s), list_push(w->queue, s), winsnd_feed(w);
        return w;
    }
};

}  // namespace

// 264648 bytes follow the RIFF header; a format chunk of 16: PCM, one channel,
// 44100 values and 88200 bytes a second, 2 bytes and 16 bits a value; the
// private chunk holding 11025; 264600 bytes of data, all silence.
TEST_F(Winsnd, HeaderIsTheFiftySixBytesOfTheImage) {
    Player w(winsnd_new());
    ASSERT_NE(w->image, nullptr);
    EXPECT_EQ(std::string((const char *)w->image, 56 + 2 * L), "RIFF" + le32(264648) + "WAVEfmt " + le32(16) + le16(1) + le16(1) + le32(44100) +
                                                               le32(88200) + le16(2) + le16(16) + "RIVI" + le32(4) + le32(11025) + "data" +
                                                               le32(264600) + std::string(2 * L, '\0'));
}

TEST_F(Winsnd, FeedCopiesAStretchAtATimeAndDropsFinishedEntries) {
    Player w(winsnd_new());
    Sample a(constant(2 * L + 5, 1)), b(constant(2, -9));
    for (int32_t i = L; i < 2 * L; i++) a->data[i] = 2;
    a->data[2 * L] = 40000;  // keeps its low 16 bits: -25536
    list_push(w->queue, a), list_push(w->queue, b);
    // Each row: what one feed returns, then position, total, queue length
    // and slots 0, 4, 5 and L - 1 afterwards.
    const struct { bool more; int32_t position, total, queued, s0, s4, s5, last; } steps[] = {
        {true, L, L, 2, 1, 1, 1, 1},
        {true, 2 * L, 2 * L, 2, 2, 2, 2, 2},
        {true, 0, 2 * L + 5, 1, -25536, 1, 2, 2},  // the rest: five values, then dropped
        {false, 0, 2 * L + 7, 0, -9, 1, 2, 2},     // shorter than the area: the rest stays
        {false, 0, 2 * L + 7, 0, -9, 1, 2, 2},     // nothing queued
    };
    for (const auto &s : steps) {
        bool more = winsnd_feed(w);
        EXPECT_EQ((std::vector<int32_t>{more, w->position, w->total, w->queue->count, slot(w, 0), slot(w, 4), slot(w, 5),
                                        slot(w, L - 1)}),
                  (std::vector<int32_t>{s.more, s.position, s.total, s.queued, s.s0, s.s4, s.s5, s.last}));
    }
    EXPECT_EQ(a->count, 2 * L + 5);  // queued samples belong to others
}

TEST_F(Winsnd, OddQueuesAndNullRecordsCopyNothing) {
    Player w(winsnd_new());
    Sample s(constant(L + 10, 4));
    list_del(&w->queue);
    EXPECT_FALSE(winsnd_feed(w));  // no queue: one is made
    list_push(w->queue, nullptr);
    EXPECT_FALSE(winsnd_feed(w));  // a null head stays
    EXPECT_EQ(w->queue->count, 1);
    w->queue->items[0] = s;
    EXPECT_TRUE(winsnd_feed(w));
    sample_set_count(s, 100);  // shrunk while queued: nothing more to copy
    EXPECT_FALSE(winsnd_feed(w));
    list_push(w->queue, s);
    EXPECT_FALSE(winsnd_feed_restart(w));  // copied whole and dropped: position 0
    EXPECT_EQ(w->total, L + 100);
    EXPECT_FALSE(winsnd_feed(nullptr) || winsnd_feed_restart(nullptr));
}

// ---- The virtual player ---------------------------------------------------------

// Muted for 10 ms after the first second the player is silent and the loop
// goes on in time.
TEST_F(Winsnd, VirtualPlayerPlaysTheLoopInBothChannelsAsTheClockAdvances) {
    EXPECT_EQ(winsnd_now(), -1);  // nothing plays yet
    SAMPLE *s = sample_new();
    for (int32_t i = 0; i < L; i++) sample_push(s, 1 + i % 30000);
    Player w = playing(s);
    int64_t start = winsnd_now();
    for (int32_t ms : {1000, 10, 2490}) {  // past the loop's end: it starts again from 0
        backend_sleep(ms);
        winsnd_mute(ms == 1000);
    }
    winsnd_feed(w);
    EXPECT_EQ(winsnd_now() - start, 154350);
    std::vector<int16_t> v = captured(wav), want;
    for (int32_t j = 0; j < 154350; j++) want.insert(want.end(), 2, (int16_t)(j / 441 == 100 ? 0 : 1 + (j % L) % 30000));
    EXPECT_TRUE(v == want);
}

// What plays was in the data area when its time came.
TEST_F(Winsnd, ChangesAreHeardFromTheTimeTheyAreMade) {
    Player w = playing(constant(L, 11));
    Sample b(constant(L, -22));
    backend_sleep(20);
    winsnd_feed(w), list_push(w->queue, b), winsnd_feed(w);  // the first sample is dropped, then b fed
    backend_sleep(20);
    winsnd_feed(w);
    std::vector<int16_t> v = captured(wav);
    ASSERT_EQ(v.size(), 2 * 1764u);
    EXPECT_EQ(std::make_pair(v[2 * 881], v[2 * 882]), std::make_pair((int16_t)11, (int16_t)-22));
}

TEST_F(Winsnd, OneImagePlaysAtATimeUntilDelOrRestart) {
    Player first = playing(constant(L, 1)), second = playing(constant(L, 2));
    backend_sleep(10);
    winsnd_feed_restart(second);  // takes the player over from here
    backend_sleep(10);
    first.reset();  // not playing: nothing stops
    winsnd_feed(second);
    second.reset();  // plays what is due, then stops
    backend_sleep(1000);
    std::vector<int16_t> v = captured(wav);
    ASSERT_EQ(v.size(), 2 * 882u);
    EXPECT_EQ(std::make_pair(v[2 * 440], v[2 * 441]), std::make_pair((int16_t)1, (int16_t)2));
}

TEST_F(Winsnd, AClockThatGoesBackPlaysOnFromTheNewTime) {
    Player w(winsnd_new());
    backend_sleep(100), winsnd_feed(w);
    use_backend(1), winsnd_feed(w);  // the virtual clock starts again at 0
    backend_sleep(10), winsnd_feed(w);  // 441 more frames, not weeks of them
    EXPECT_EQ(captured(wav).size(), 2 * (4410u + 441u));
}

TEST_F(Winsnd, TheSynthesiserIsAddedWithSaturation) {
    SYNTH *synth = synth_new(synth_soundfont());
    if (!synth) GTEST_SKIP() << "no General MIDI SoundFont installed";
    Player w = playing(constant(L, 32000));
    winsnd_mix_synth(synth), synth_send(synth, winsnd_now(), 0x7F3C90);
    backend_sleep(200), winsnd_feed(w);
    winsnd_mix_synth(nullptr), synth_del(&synth);
    std::vector<int16_t> v = captured(wav);
    // No sum wrapped round to a negative value.
    EXPECT_GT(std::count(v.begin(), v.end(), 32767), 100);
    EXPECT_GT(std::count_if(v.begin(), v.end(), [](int16_t x) { return x < 32000; }), 100);
}

// ---- The SDL player -----------------------------------------------------------

// The frame loop rewrites the data area and sends MIDI to the synthesiser
// while the audio thread plays both (ThreadSanitizer runs this one).
TEST(WinsndSdl, PlaysThroughADeviceWhileDataAndNotesChange) {
    use_backend(0), setenv("SDL_AUDIODRIVER", "dummy", 1);
    TempDir dir("test_winsnd_sdl");
    std::string path = dir.file("sdl.wav");
    winsnd_capture_to(path.c_str()), midi_out_choose("synth");
    Player w(winsnd_new());
    MIDI_OUT *m = nullptr;
    bool synth = synth_soundfont() && midi_out_open(&m, 0) == MIDI_NOERROR;
    Sample s(constant(L, 5));
    for (int round = 0; round < 40; round++) {
        s->data[0] = round;
        list_push(w->queue, s), winsnd_feed(w), winsnd_feed(w);
        if (synth) midi_out_set_volume(m, 0x03FF03FF), midi_out_short_msg(m, 0x403C90u + (uint32_t)round);
        SDL_Delay(5);
    }
    if (synth) midi_out_close(m);
    w.reset();  // stops the device before the image goes
    winsnd_capture_to(nullptr), unsetenv("SDL_AUDIODRIVER");
    EXPECT_GT(captured(path).size(), 0u) << "the dummy device played nothing in 200 ms";
}

TEST(WinsndSdl, WithoutASoundDeviceTheProgramSaysSoOnceAndGoesOn) {
    use_backend(0), setenv("SDL_AUDIODRIVER", "no-such-driver", 1), testing::internal::CaptureStderr();
    Player w(winsnd_new());
    w.reset(), w.reset(winsnd_new());
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("running without sound"), std::string::npos) << said;
    EXPECT_EQ(said.find('\n'), said.size() - 1) << said;
    Sample s(constant(10, 3));
    list_push(w->queue, s);
    EXPECT_FALSE(winsnd_feed(w));
    EXPECT_EQ(slot(w, 9), 3);
    unsetenv("SDL_AUDIODRIVER");
}
