// What IMG and BYTEMAP share, tested once for both through a typed test:
// lifecycle, the text form, the PNM readers and writer, the rectangle blits
// against the "inside both images" rule, the wrap copies, rectangles, scaling.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "host/random.h"
#include "imaging/bytemap.h"
#include "imaging/img.h"
#include "tests/test_support.h"

#define BYTES(literal) std::string(literal, sizeof(literal) - 1)

namespace {

// The calls both kinds name alike, P being the module prefix.
#define RASTER_CALLS(P, R, SAVE)                            \
    using T = R;                                            \
    static constexpr auto del = &P##_del;                   \
    static constexpr auto make = &P##_new;                  \
    static constexpr auto dup = &P##_dup;                   \
    static constexpr auto from_text = &P##_from_text;       \
    static constexpr auto resize = &P##_resize;             \
    static constexpr auto copy = &P##_copy;                 \
    static constexpr auto compare = &P##_compare;           \
    static constexpr auto set = &P##_set_pixel;             \
    static constexpr auto get = &P##_get_pixel;             \
    static constexpr auto to_text = &P##_to_text;           \
    static constexpr auto find = &P##_find_text;            \
    static constexpr auto from_pnm = &P##_from_pnm;         \
    static constexpr auto load = &P##_load_pnm;             \
    static constexpr auto save = &SAVE;                     \
    static constexpr auto blit = &P##_blit;                 \
    static constexpr auto opaque = &P##_blit_opaque;        \
    static constexpr auto spaced = &P##_blit_spaced;        \
    static constexpr auto row_wrap = &P##_blit_row_wrap;    \
    static constexpr auto or_wrap = &P##_or_row_wrap;       \
    static constexpr auto col_wrap = &P##_blit_column_wrap; \
    static constexpr auto fill = &P##_fill_rect;            \
    static constexpr auto rect = &P##_rect;                 \
    static constexpr auto scale = &P##_scale;               \
    static constexpr auto rotate = &P##_rotate;             \
    static constexpr auto mask = &P##_and;

// Each kind also says how a decoded grey, colour or set bit reads, and how
// its text and written file show a value.
struct ImgKind {
    RASTER_CALLS(img, IMG, img_save_ppm)
    using V = uint32_t;
    static constexpr const char *form = "IMG{";
    // Distinct non-zero values with every byte of the word in use.
    static V value(int i) { return 0xA5C3E1u + (uint32_t)i * 0x010305u; }
    static V grey(uint32_t g) { return g * 0x10101u; }
    static V rgb(uint32_t r, uint32_t g, uint32_t b) { return r << 16 | g << 8 | b; }
    static V white() { return 0xFFFFFF; }
    static std::string text_of(V v) {
        char s[16];
        snprintf(s, sizeof s, "%3u %3u %3u", v >> 16 & 255, v >> 8 & 255, v & 255);
        return s;
    }
    // The written file: "P6", one comment line, size, 255, three bytes a pixel.
    static const char *magic() { return "P6"; }
    static bool has_comment() { return true; }
    static std::string raster_of(V v) { return std::string{(char)(v >> 16), (char)(v >> 8), (char)v}; }
};

struct MapKind {
    RASTER_CALLS(bytemap, BYTEMAP, bytemap_save_pgm)
    using V = uint8_t;
    static constexpr const char *form = "BYTEMAP{";
    static V value(int i) { return (uint8_t)(0xA5 + i * 7) | 1; }
    static V grey(uint32_t g) { return (uint8_t)g; }
    static V rgb(uint32_t r, uint32_t g, uint32_t b) { return (uint8_t)((r + g + b) / 3); }
    static V white() { return 255; }
    static std::string text_of(V v) {
        char s[16];
        snprintf(s, sizeof s, "%3u %3u %3u", v, v, v);
        return s;
    }
    static const char *magic() { return "P5"; }
    static bool has_comment() { return false; }
    static std::string raster_of(V v) { return std::string(1, (char)v); }
};

template <typename K>
class Raster : public ::testing::Test {
protected:
    using T = typename K::T;
    using V = typename K::V;
    using Handle = Own<K::del>;

    // A w x h raster whose pixel (x, y) holds value(y * w + x), or all zeros.
    static Handle numbered(int32_t w, int32_t h, bool zero = false) {
        Handle m(K::make());
        K::resize(m, w, h);
        for (int32_t i = 0; i < w * h; i++) m->pixels[i] = zero ? 0 : K::value(i);
        return m;
    }
    static std::vector<V> pixels(const T *m) {
        if (!m || !m->pixels) return {};
        return std::vector<V>(m->pixels, m->pixels + (size_t)m->width * (size_t)m->height);
    }
    // Decodes exactly the given bytes from a heap block of that size, so that
    // the sanitizer sees any read past the end.
    static Handle pnm(const std::string &data) {
        std::unique_ptr<char[]> block(new char[data.size() + !data.size()]);
        std::memcpy(block.get(), data.data(), data.size());
        return Handle(K::from_pnm(block.get(), data.size()));
    }
};

using Kinds = ::testing::Types<ImgKind, MapKind>;
class KindNames {
public:
    template <typename K>
    static std::string GetName(int) {
        return std::is_same_v<K, ImgKind> ? "Img" : "Bytemap";
    }
};
TYPED_TEST_SUITE(Raster, Kinds, KindNames);

}  // namespace

// ---- Lifecycle -----------------------------------------------------------------

TYPED_TEST(Raster, LifecycleKeepsSizesAndWholeValues) {
    using K = TypeParam;
    auto a = this->numbered(3, 2);
    a->x = 5;
    typename TestFixture::Handle b(K::dup(a));
    ASSERT_NE(b.get(), nullptr);
    EXPECT_EQ(b->x, 0);
    EXPECT_EQ(this->pixels(b), this->pixels(a));
    EXPECT_TRUE(K::compare(a, b));
    // A difference in the top bits of one value is a difference.
    b->pixels[5] ^= (typename K::V)(sizeof(typename K::V) == 4 ? 0x80000000u : 0x80u);
    EXPECT_FALSE(K::compare(a, b));
    K::copy(a, b);
    EXPECT_TRUE(K::compare(a, b));
    auto c = this->numbered(2, 3);
    EXPECT_FALSE(K::compare(a, c));  // same count, other shape
    K::copy(a, c);                   // reported, unchanged
    EXPECT_EQ(this->pixels(c), this->pixels(this->numbered(2, 3)));
    K::resize(a, 2, 2);
    EXPECT_EQ(this->pixels(a), std::vector<typename K::V>(4, 0));
    typename K::T *raw = K::make();
    K::del(&raw);
    EXPECT_EQ(raw, nullptr);
    K::del(&raw);  // reported only
}

TYPED_TEST(Raster, FailedSizesLeaveNoPixelsAndEveryUseRefuses) {
    using K = TypeParam;
    for (auto [w, h] : {std::pair{-1, 4}, {4, -1}, {65536, 65536}, {INT32_MAX, 2}}) {
        auto m = this->numbered(2, 2);
        K::resize(m, w, h);
        EXPECT_EQ(m->pixels, nullptr) << w << "x" << h;
        EXPECT_EQ(m->width, w);
        K::set(m, 0, 0, 1);
        EXPECT_EQ(K::get(m, 0, 0), 0);
        EXPECT_EQ(K::to_text(m), nullptr);
        EXPECT_EQ(K::save(m, "/tmp/never-written.pnm"), 0);
    }
}

TYPED_TEST(Raster, PixelsOutsideAreIgnoredAndReadAsZero) {
    using K = TypeParam;
    auto m = this->numbered(3, 2, true);
    const int32_t outside[][2] = {{-1, 0}, {3, 0}, {0, -1}, {0, 2}, {INT32_MIN, 0}, {0, INT32_MAX}};
    for (auto &p : outside) {
        K::set(m, p[0], p[1], K::value(1));
        EXPECT_EQ(K::get(m, p[0], p[1]), 0);
    }
    K::set(m, 2, 1, K::value(9));
    std::vector<typename K::V> want(6, 0);
    want[5] = K::value(9);
    EXPECT_EQ(this->pixels(m), want);
}

// ---- Text form -----------------------------------------------------------------

TYPED_TEST(Raster, TextHoldsSixPixelsALineAndReadsBack) {
    using K = TypeParam;
    auto m = this->numbered(7, 1);
    m->pixels[0] = (typename K::V)(K::value(0) | 0xFF000000u);  // the top byte is not written
    m->pixels[6] = 0;
    char *text = K::to_text(m);
    ASSERT_NE(text, nullptr);
    std::string want = std::string(K::form) + "\nP3\n7 1\n255\n";
    for (int i = 0; i < 7; i++) want += K::text_of(m->pixels[i]) + (i == 5 || i == 6 ? "\n" : " ");
    EXPECT_EQ(text, want + "}\n");
    if (sizeof(typename K::V) == 1) {  // the byte map's text reads back to the same map
        typename TestFixture::Handle back(K::from_text(text));
        EXPECT_TRUE(K::compare(m, back));
    }
    free(text);
    K::resize(m, 0, 3);
    text = K::to_text(m);
    EXPECT_EQ(std::string(text), std::string(K::form) + "}");
    EXPECT_EQ(K::from_text(text), nullptr);
    free(text);
}

TYPED_TEST(Raster, RandomRastersSurviveTheirText) {
    using K = TypeParam;
    random_srand(7);
    for (int round = 0; round < 12; round++) {
        int32_t w = random_rand() % 13 + 1, h = random_rand() % 9 + 1;
        auto m = this->numbered(w, h);
        for (int32_t i = 0; i < w * h; i++) m->pixels[i] = (typename K::V)(random_next() & 0xFFFFFF);
        char *text = K::to_text(m);
        typename TestFixture::Handle back(K::from_text(text));
        free(text);
        ASSERT_NE(back.get(), nullptr);
        EXPECT_TRUE(K::compare(m, back)) << w << "x" << h;
    }
}

// Each text reads as one raster of 2 x 1 with the first value 1 2 3, or is refused.
TYPED_TEST(Raster, TextReaderFindsItsMarkersOrRefuses) {
    using K = TypeParam;
    const std::string own = K::form, other = own == "IMG{" ? "BYTEMAP{" : "IMG{";
    struct Case {
        std::string text;
        bool reads;
    } cases[] = {
        {own + "\nP3\n2 1\n255\n1 2 3\n4 5 6\n}\n", true},
        {"junk " + own.substr(0, own.size() - 1) + " {x P3\n2 1\n9999999999\n1,2,3;;4x5y6}", true},
        {other + "\nP3\n2 1\n255\n1 2 3\n4 5 6\n}\n", false},  // the other kind's form
        {own.substr(0, own.size() - 1) + "\nP3\n2 1\n255\n1 2 3 4 5 6\n}", false},  // no brace
        {own + "\nP6\n2 1\n255\n1 2 3 4 5 6\n}", false},
        {own + "\nP3\n2 1\n255\n1 2 3 4 5", false},  // one value short
        {own + "\nP3\n2 1", false},                  // ends in the header
        {own + "\nP3\n99999 99999\n255\n1 2 3\n}", false},
        {own + "\nP3\n99999999999 1\n255\n1 2 3\n}", false},
        {"", false},
    };
    for (const Case &c : cases) {
        std::string copy = c.text;  // exactly strlen + 1 bytes for the reader
        typename TestFixture::Handle m(K::from_text(copy.c_str()));
        ASSERT_EQ(m.get() != nullptr, c.reads) << c.text;
        if (!m) continue;
        EXPECT_EQ(m->width, 2);
        EXPECT_EQ(m->height, 1);
        EXPECT_EQ(m->pixels[0], K::rgb(1, 2, 3)) << c.text;
        EXPECT_EQ(m->pixels[1], K::rgb(4, 5, 6)) << c.text;
    }
    EXPECT_EQ(K::from_text(nullptr), nullptr);
}

TYPED_TEST(Raster, FindTextGivesTheIndexAfterTheMatch) {
    using K = TypeParam;
    const struct {
        const char *text, *pattern;
        int32_t index;
    } cases[] = {{"xIMG{", "IMG", 4}, {"abc", "{", 0},  {"IMG", "IMG", 3}, {"aaab", "aab", 4},
                 {"ab", "abc", 0},    {"abc", "", 0},   {nullptr, "a", 0}, {"a", nullptr, 0}};
    for (auto &c : cases) EXPECT_EQ(K::find(c.text, c.pattern), c.index) << (c.text ? c.text : "null");
}

// ---- PNM readers ---------------------------------------------------------------

// Each PNM text read from memory (M) or from a file (F): a file's bitmap rows
// start on fresh bytes and keep their width, its "P1" pixels are whole numbers.
TYPED_TEST(Raster, PnmKindsDecode) {
    using K = TypeParam;
    const auto W = K::white();
    const struct {
        char from;
        std::string data;
        int32_t w, h;
        std::vector<typename K::V> want;
    } cases[] = {
        {'M', BYTES("P5\n# any comment\n2 1\n255\n\x10\x20"), 2, 1, {K::grey(0x10), K::grey(0x20)}},
        {'F', BYTES("P5\n# any comment\n2 1\n255\n\x10\x20"), 2, 1, {K::grey(0x10), K::grey(0x20)}},
        {'M', BYTES("P4\n10 2\n\xFF\xC0\x80\x00"), 16, 2, {W, W, W, W, W, W, W, W, W, W, 0, 0, 0, 0, 0, 0,
                                                          W, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {'F', BYTES("P4\n10 2\n\xFF\xC0\x80\x00"), 10, 2, {W, W, W, W, W, W, W, W, W, W, W, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {'M', "P1\n3 2\n1 0 1\n0 1 0\n", 3, 2, {W, 0, W, 0, W, 0}},
        {'M', "P1 # c\n3 2\n102\n090", 3, 2, {W, 0, W, 0, W, 0}},  // one digit a pixel
        {'F', "P1\n3 1\n10 0 1\n", 3, 1, {W, 0, W}},             // whole numbers
        {'M', "P2\n2 2\n255\n0 16\n255 128\n", 2, 2, {0, K::grey(16), K::grey(255), K::grey(128)}},
        {'F', "P2 2 1 255 7 200", 2, 1, {K::grey(7), K::grey(200)}},
        {'M', "P3\n# c\n2 1\n255\n255 0 0  30 60 91\n", 2, 1, {K::rgb(255, 0, 0), K::rgb(30, 60, 91)}},
        {'F', "P3 2 2 255 1 2 3 4 5 6 7 8 9 250 251 252", 2, 2,
         {K::rgb(1, 2, 3), K::rgb(4, 5, 6), K::rgb(7, 8, 9), K::rgb(250, 251, 252)}},
        {'M', BYTES("P6\n2 1\n255\n\x0A\x0B\x0C\xFF\x00\x80"), 2, 1, {K::rgb(10, 11, 12), K::rgb(255, 0, 128)}},
        {'M', BYTES("\x01P5 2 # c 9 9\n\x80 1 #x\n255\n\x10\x20"), 2, 1, {K::grey(0x10), K::grey(0x20)}},
        {'M', BYTES("P5\n2 1\n255\n\n\x10"), 2, 1, {K::grey(10), K::grey(0x10)}},  // the raster starts after one byte
        {'M', "2 1 255 P5\n\x10\x20", 2, 1, {K::grey(0x10), K::grey(0x20)}},
    };
    TempDir dir("raster");
    for (auto &c : cases) {
        write_file(dir.file("in.pnm"), c.data);
        auto m = c.from == 'M' ? this->pnm(c.data) : typename TestFixture::Handle(K::load(dir.file("in.pnm").c_str()));
        ASSERT_NE(m.get(), nullptr) << c.from << " " << c.data;
        EXPECT_EQ(m->width, c.w) << c.data;
        EXPECT_EQ(m->height, c.h) << c.data;
        EXPECT_EQ(this->pixels(m), c.want) << c.from << " " << c.data;
    }
    EXPECT_EQ(K::load(dir.file("missing").c_str()), nullptr);
    EXPECT_EQ(K::load(nullptr), nullptr);
}

TYPED_TEST(Raster, PnmReaderRefusesBadKindsSizesAndShortData) {
    const std::string bad[] = {
        "P7\n1 1\n255\n", "P0\n1 1\n255\n", "P5\n0 4\n255\n", "P5\n4 0\n255\n", "P", "", "abc", "1 2 3 x",
        "P5\n2 ", "P5\n2 2\n255", BYTES("P5\n2 2\n255\n\x01\x02\x03"), BYTES("P6\n2 1\n255\n\x01\x02\x03\x04\x05"),
        BYTES("P4\n9 2\n\xFF\xFF\xFF"), "P3\n2 1\n255\n1 2 3 4 5", "P2\n2 2\n255\n1 2 3", "P1\n2 2\n1 0 1",
        "P5 # comment without end", BYTES("P5\n60000 60000\n255\n\x01\x02"), "P3\n40000 40000\n255\n1 2 3\n",
        "P5\n99999999999 1\n255\n1", "P4\n2147483647 1\n", "P5 P 1 255\n\x01"};
    TempDir dir("raster");
    for (const std::string &data : bad) {
        EXPECT_EQ(this->pnm(data).get(), nullptr) << data;
        write_file(dir.file("bad.pnm"), data);  // the file reader refuses them too
        EXPECT_EQ(TypeParam::load(dir.file("bad.pnm").c_str()), nullptr) << data;
    }
    EXPECT_EQ(TypeParam::from_pnm(nullptr, 10), nullptr);
    // The length given bounds the read: one byte fewer misses the last pixel.
    const std::string full = BYTES("P5\n2 1\n255\n\x10\x20");
    EXPECT_EQ(TypeParam::from_pnm(full.data(), full.size() - 1), nullptr);
}

// The written header, field by field, then exactly the raster bytes.
TYPED_TEST(Raster, WrittenFileHeaderAndRaster) {
    using K = TypeParam;
    TempDir dir("raster");
    auto m = this->numbered(3, 2);
    m->pixels[1] = (typename K::V)0x0A0A0A;  // a line feed in the raster stays one byte
    ASSERT_EQ(K::save(m, dir.file("out").c_str()), 1);
    std::string data = read_file(dir.file("out"));
    std::vector<std::string> lines;
    size_t at = 0;
    for (int k = 0; k < (K::has_comment() ? 4 : 3); k++) {
        size_t end = data.find('\n', at);
        ASSERT_NE(end, std::string::npos);
        lines.push_back(data.substr(at, end - at));
        at = end + 1;
    }
    EXPECT_EQ(lines[0], K::magic());
    if (K::has_comment()) {
        EXPECT_EQ(lines[1].substr(0, 1), "#");
    }
    size_t f = K::has_comment() ? 2 : 1;
    EXPECT_EQ(lines[f], "3 2");
    EXPECT_EQ(lines[f + 1], "255");
    std::string raster;
    for (int i = 0; i < 6; i++) raster += K::raster_of(m->pixels[i]);
    EXPECT_EQ(data.substr(at), raster);
    typename TestFixture::Handle back(K::load(dir.file("out").c_str()));
    ASSERT_NE(back.get(), nullptr);
    for (int i = 0; i < 6; i++) m->pixels[i] &= (typename K::V)0xFFFFFF;
    EXPECT_TRUE(K::compare(m, back));
    // Refused: empty rasters, no raster, no file name, an unwritable place.
    for (auto [w, h] : {std::pair{0, 3}, {3, 0}}) {
        K::resize(m, w, h);
        EXPECT_EQ(K::save(m, dir.file("never").c_str()), 0);
    }
    EXPECT_EQ(K::save(nullptr, dir.file("never").c_str()), 0);
    EXPECT_EQ(read_file(dir.file("never")), "");
    K::resize(m, 1, 1);
    EXPECT_EQ(K::save(m, nullptr), 0);
    EXPECT_EQ(K::save(m, "/nonexistent-dir/x.pnm"), 0);
}

// ---- Blits ---------------------------------------------------------------------

// Every source pixel (sx + i, sy + j) inside the source lands on (dx + i, dy + j)
// when that is inside the target; nothing else changes.
TYPED_TEST(Raster, RectangleBlitsMoveExactlyThePartInsideBoth) {
    using K = TypeParam;
    const int32_t cases[][6] = {
        {0, 0, -2, -2, 4, 4}, {-1, 0, 1, 0, 3, 1}, {0, 0, 3, 2, 3, 3},   {1, -1, 2, 0, 5, 5},
        {0, 0, 5, 0, 3, 3},   {0, 0, 0, 4, 3, 3},  {0, 0, -3, 0, 3, 3},  {3, 0, 0, 0, 3, 3},
        {0, 3, 0, 0, 3, 3},   {-3, 0, 0, 0, 3, 3}, {0, 0, 0, 0, 0, 3},   {0, 0, 0, 0, -2, -2},
        {1, 1, 0, 0, 2, 2},   {0, 0, 1, 1, INT32_MAX, INT32_MAX},        {INT32_MIN, 0, 0, 0, INT32_MAX, 1},
        {INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, {2, 1, 4, 3, 1, 1},
    };
    for (bool opaque : {false, true})
        for (auto &c : cases) {
            auto s = this->numbered(3, 3);
            s->pixels[4] = 0;  // transparent for the plain blit, copied by the opaque one
            auto t = this->numbered(5, 4);
            std::vector<typename K::V> want = this->pixels(t);
            for (int64_t j = 0; j < 8; j++)
                for (int64_t i = 0; i < 8; i++) {
                    int64_t sx = (int64_t)c[0] + i, sy = (int64_t)c[1] + j, dx = c[2] + i, dy = c[3] + j;
                    if (i >= c[4] || j >= c[5] || sx < 0 || sy < 0 || sx >= 3 || sy >= 3) continue;
                    if (dx < 0 || dy < 0 || dx >= 5 || dy >= 4) continue;
                    auto v = s->pixels[sy * 3 + sx];
                    if (v || opaque) want[dy * 5 + dx] = v;
                }
            (opaque ? K::opaque : K::blit)(s, t, c[0], c[1], c[2], c[3], c[4], c[5]);
            EXPECT_EQ(this->pixels(t), want) << (opaque ? "opaque " : "") << c[0] << " " << c[1] << " "
                                             << c[2] << " " << c[3] << " " << c[4] << " " << c[5];
        }
    K::blit(nullptr, this->numbered(2, 2), 0, 0, 0, 0, 2, 2);
    K::opaque(this->numbered(2, 2), nullptr, 0, 0, 0, 0, 2, 2);
}

TYPED_TEST(Raster, SpacedBlitSpreadsAndClipsEachPixel) {
    using K = TypeParam;
    const int32_t cases[][8] = {{0, 0, 1, 0, 2, 2, 2, 3},  {0, 0, -2, -3, 3, 3, 2, 3}, {0, 0, -3, -1, 3, 3, 2, 2},
                                {-1, -2, 4, 0, 3, 4, 3, 2},
                                {2, -1, 0, 0, 5, 5, 1, 1}, {0, 0, 1, 1, 3, 2, 1, 1},
                                {0, 0, 0, 0, INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX}};
    for (auto &c : cases) {
        auto s = this->numbered(3, 3);
        s->pixels[1] = 0;
        auto t = this->numbered(5, 5, true);
        std::vector<typename K::V> want = this->pixels(t);
        for (int64_t j = 0; j < 8; j++)
            for (int64_t i = 0; i < 8; i++) {
                int64_t sx = (int64_t)c[0] + i, sy = (int64_t)c[1] + j;
                int64_t dx = c[2] + i * c[6], dy = c[3] + j * c[7];
                if (i >= c[4] || j >= c[5] || sx < 0 || sy < 0 || sx >= 3 || sy >= 3) continue;
                if (dx < 0 || dy < 0 || dx >= 5 || dy >= 5 || !s->pixels[sy * 3 + sx]) continue;
                want[dy * 5 + dx] = s->pixels[sy * 3 + sx];
            }
        K::spaced(s, t, c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7]);
        EXPECT_EQ(this->pixels(t), want) << c[0] << " " << c[1] << " " << c[2] << " " << c[3];
    }
}

TYPED_TEST(Raster, WrapCopiesGoRoundTheTarget) {
    using K = TypeParam;
    auto v = [](int i) { return K::value(i); };
    auto s = this->numbered(3, 2);  // row 0: v0 0 v2, column 1: 0 v4
    s->pixels[1] = 0;
    auto t = this->numbered(4, 3);
    K::row_wrap(s, t, 0, 1, -1);  // offset -1 puts source 0 at column 3
    std::vector<typename K::V> want = this->pixels(this->numbered(4, 3));
    want[4 + 3] = v(0);
    want[4 + 1] = v(2);
    EXPECT_EQ(this->pixels(t), want);
    K::col_wrap(s, t, 1, 2, INT32_MIN);  // INT32_MIN mod 3 = 1: row 1 keeps, row 2 gets v4
    want[2 * 4 + 2] = v(4);
    EXPECT_EQ(this->pixels(t), want);
    K::or_wrap(s, t, 1, 0, 4001);  // zeros too, offset 1
    want[1] |= v(3);
    want[2] |= v(4);
    want[3] |= v(5);
    EXPECT_EQ(this->pixels(t), want);
    // Rows or columns outside either raster are refused; empty targets never divide by zero.
    const int32_t bad[][2] = {{-1, 0}, {2, 0}, {0, -1}, {0, 3}};
    for (auto &b : bad) {
        K::row_wrap(s, t, b[0], b[1], 0);
        K::or_wrap(s, t, b[0], b[1], 0);
        K::col_wrap(s, t, b[0] == 2 ? 3 : b[0], b[1] == 3 ? 4 : b[1], 0);
    }
    EXPECT_EQ(this->pixels(t), want);
    auto empty = this->numbered(0, 3);
    K::row_wrap(s, empty, 0, 1, 5);
    K::resize(empty, 3, 0);
    K::col_wrap(s, empty, 0, 1, 5);
}

// ---- Rectangles, masks and resampling -----------------------------------------------

TYPED_TEST(Raster, FillRectClipsToTheRaster) {
    using K = TypeParam;
    const struct {
        int32_t x, y, w, h;
        const char *rows;  // 4 x 4, '#' filled
    } cases[] = {
        {2, -1, 9, 2, "..##............"}, {-1, 3, 2, 9, "............#..."}, {4, 0, 1, 1, "................"},
        {0, 4, 1, 1, "................"},  {0, -1, 1, 1, "................"}, {-5, 0, 6, 2, "#...#..........."},
        {-5, 0, 5, 2, "................"}, {1, 1, 2, 2, ".....##..##....."}, {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, "................"},
    };
    for (auto &c : cases) {
        auto m = this->numbered(4, 4, true);
        K::fill(m, c.x, c.y, c.w, c.h, K::value(3));
        std::vector<typename K::V> want;
        for (const char *p = c.rows; *p; p++) want.push_back(*p == '#' ? K::value(3) : 0);
        EXPECT_EQ(this->pixels(m), want) << c.x << "," << c.y << " " << c.w << "x" << c.h;
    }
}

TYPED_TEST(Raster, OutlineOnlyWhenWhollyInside) {
    using K = TypeParam;
    auto m = this->numbered(4, 4, true);
    for (auto r : {std::array{-1, 0, 3, 3}, {2, 2, 3, 2}, {0, 0, 5, 1}, {0, 2, 2, 3}}) K::rect(m, r[0], r[1], r[2], r[3], 7);
    EXPECT_EQ(this->pixels(m), std::vector<typename K::V>(16, 0));
    K::rect(m, 0, 1, 4, 3, 7);
    std::vector<typename K::V> want;
    for (char c : std::string("....####" "#..#####")) want.push_back(c == '#' ? 7 : 0);
    EXPECT_EQ(this->pixels(m), want);
}

TYPED_TEST(Raster, MaskKeepsTheCommonBits) {
    using K = TypeParam;
    auto mask = this->numbered(3, 1), t = this->numbered(3, 1);
    mask->pixels[0] = 0;
    t->pixels[1] = (typename K::V)0xF0F0F0F0u;
    K::mask(mask, t);
    std::vector<typename K::V> want{0, (typename K::V)(K::value(1) & (typename K::V)0xF0F0F0F0u), K::value(2)};
    EXPECT_EQ(this->pixels(t), want);
}

// Growing repeats a source pixel over its run of target pixels (runs as even
// as possible, longer ones first); shrinking takes the last pixel of each run
// of source columns, and of rows the last when shrinking, the first otherwise.
TYPED_TEST(Raster, ScaleSpreadsOrPicksByRuns) {
    using K = TypeParam;
    const struct {
        int32_t sw, sh, tw, th;
        std::vector<int> from;  // source pixel index of each target pixel
    } cases[] = {
        {2, 2, 4, 4, {0, 0, 1, 1, 0, 0, 1, 1, 2, 2, 3, 3, 2, 2, 3, 3}},
        {4, 4, 2, 2, {5, 7, 13, 15}},
        {2, 4, 4, 2, {0, 0, 1, 1, 4, 4, 5, 5}},
        {4, 2, 2, 4, {1, 3, 1, 3, 5, 7, 5, 7}},
        {3, 1, 5, 1, {0, 0, 1, 1, 2}},
        {5, 1, 3, 1, {1, 3, 4}},
    };
    for (auto &c : cases) {
        auto s = this->numbered(c.sw, c.sh), t = this->numbered(c.tw, c.th, true);
        K::scale(s, t);
        std::vector<typename K::V> want;
        for (int i : c.from) want.push_back(K::value(i));
        EXPECT_EQ(this->pixels(t), want) << c.sw << "x" << c.sh << " to " << c.tw << "x" << c.th;
    }
    auto s = this->numbered(2, 2), t = this->numbered(2, 2, true), empty = this->numbered(0, 2);
    K::scale(empty, t);
    K::resize(s, -2, 2);
    K::scale(t, s);
    EXPECT_EQ(this->pixels(t), std::vector<typename K::V>(4, 0));
}

// Size (3 * 92667) >> 16 = 4; angle 0 is a half turn: column x reads source
// column 1 + ((x - 2) * -32766 >> 15), that is 2, 1, 1, 0 (rows alike). A
// quarter turn (256, also 256 + 3 * 1024) reads source x = 1 - f(y - 2), y = 1 + f(x - 2).
TYPED_TEST(Raster, RotateTurnsAboutTheCentre) {
    using K = TypeParam;
    auto s = this->numbered(3, 3);
    const struct {
        int32_t angle;
        int order[16];  // source pixel index of each result pixel
    } cases[] = {{0, {8, 7, 7, 6, 5, 4, 4, 3, 5, 4, 4, 3, 2, 1, 1, 0}},
                 {INT32_MIN, {8, 7, 7, 6, 5, 4, 4, 3, 5, 4, 4, 3, 2, 1, 1, 0}},
                 {256, {6, 3, 3, 0, 7, 4, 4, 1, 7, 4, 4, 1, 8, 5, 5, 2}},
                 {256 + 3 * 1024, {6, 3, 3, 0, 7, 4, 4, 1, 7, 4, 4, 1, 8, 5, 5, 2}}};
    for (auto &c : cases) {
        typename TestFixture::Handle r(K::rotate(s, c.angle));
        ASSERT_NE(r.get(), nullptr);
        std::vector<typename K::V> want;
        for (int i : c.order) want.push_back(K::value(i));
        EXPECT_EQ(this->pixels(r), want) << c.angle;
    }
    auto wide = this->numbered(100, 50);
    typename TestFixture::Handle r(K::rotate(wide, 17));
    EXPECT_EQ(r->width, 141);
    EXPECT_EQ(r->height, 70);
    EXPECT_EQ(K::rotate(nullptr, 0), nullptr);
}
