// What IMG and BYTEMAP share, tested once for both through a typed test:
// lifecycle, the text form and its reader, the PNM readers (hand-made data of
// every kind, refusals, sizes no input can hold) and writer, the mask, scaling
// by runs and the turned copy; then what BYTEMAP adds: lines that leave out
// their end, inclusive spans, the sine circle, value operations, noise and the
// palette conversion. Blits, wrap copies, rectangles and pixels at extreme
// positions are checked in test_extremes.cpp.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "audio/sample.h"
#include "host/random.h"
#include "imaging/bytemap.h"
#include "imaging/img.h"
#include "tests/test_support.h"

#define BYTES(literal) std::string(literal, sizeof(literal) - 1)

namespace {

// The calls both kinds name alike, P being the module prefix.
#define RASTER_CALLS(P, R, SAVE)                                                                                     \
    using T = R;                                                                                                     \
    static constexpr auto del = &P##_del; static constexpr auto make = &P##_new;                                    \
    static constexpr auto dup = &P##_dup; static constexpr auto resize = &P##_resize;                               \
    static constexpr auto copy = &P##_copy; static constexpr auto compare = &P##_compare;                           \
    static constexpr auto to_text = &P##_to_text; static constexpr auto from_text = &P##_from_text;                 \
    static constexpr auto find = &P##_find_text; static constexpr auto from_pnm = &P##_from_pnm;                    \
    static constexpr auto load = &P##_load_pnm; static constexpr auto save = &SAVE;                                 \
    static constexpr auto scale = &P##_scale; static constexpr auto rotate = &P##_rotate; static constexpr auto mask = &P##_and;

// Each kind also says how a decoded grey or colour reads, and how its text
// and its written file show a value.
struct ImgKind {
    RASTER_CALLS(img, IMG, img_save_ppm)
    using V = uint32_t;
    static constexpr const char *form = "IMG{", *other = "BYTEMAP{", *header = "P6\n3 2\n255\n";
    // Distinct non-zero values with every byte of the word in use.
    static V value(int i) { return 0xA5C3E1u + (uint32_t)i * 0x010305u; }
    static V rgb(uint32_t r, uint32_t g, uint32_t b) { return r << 16 | g << 8 | b; }
    static std::string raster_of(V v) { return std::string{(char)(v >> 16), (char)(v >> 8), (char)v}; }
};

struct MapKind {
    RASTER_CALLS(bytemap, BYTEMAP, bytemap_save_pgm)
    using V = uint8_t;
    static constexpr const char *form = "BYTEMAP{", *other = "IMG{", *header = "P5\n3 2\n255\n";
    static V value(int i) { return (uint8_t)(0xA5 + i * 7) | 1; }
    static V rgb(uint32_t r, uint32_t g, uint32_t b) { return (uint8_t)((r + g + b) / 3); }
    static std::string raster_of(V v) { return std::string(1, (char)v); }
};

template <typename K>
class Raster : public ::testing::Test {
protected:
    using V = typename K::V;
    using Handle = Own<K::del>;
    static V grey(uint32_t g) { return K::rgb(g, g, g); }

    // A w x h raster whose pixel i holds value(i), or all zeros.
    static Handle numbered(int32_t w, int32_t h, bool zero = false) {
        Handle m(K::make());
        K::resize(m, w, h);
        for (int32_t i = 0; i < w * h; i++) m->pixels[i] = zero ? 0 : K::value(i);
        return m;
    }
    static std::vector<V> pixels(const typename K::T *m) {
        if (!m || !m->pixels) return {};
        return std::vector<V>(m->pixels, m->pixels + (size_t)m->width * (size_t)m->height);
    }
    static std::vector<V> values(std::initializer_list<int> from) {
        std::vector<V> out;
        for (int i : from) out.push_back(K::value(i));
        return out;
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
TYPED_TEST_SUITE(Raster, Kinds);

// ---- Lifecycle -----------------------------------------------------------------

TYPED_TEST(Raster, LifecycleKeepsSizesAndWholeValues) {
    using K = TypeParam;
    auto a = this->numbered(3, 2), c = this->numbered(2, 3);
    a->x = 5;
    typename TestFixture::Handle b(K::dup(a));
    ASSERT_NE(b.get(), nullptr);
    EXPECT_EQ(b->x, 0);
    EXPECT_EQ(this->pixels(b), this->pixels(a));
    EXPECT_TRUE(K::compare(a, b));
    b->pixels[5] ^= (typename K::V)(sizeof(typename K::V) == 4 ? 0x80000000u : 0x80u);  // the top bit differs
    EXPECT_FALSE(K::compare(a, b));
    K::copy(a, b);
    EXPECT_TRUE(K::compare(a, b));
    EXPECT_FALSE(K::compare(a, c));  // same count, other shape
    K::copy(a, c);                   // reported, unchanged
    EXPECT_EQ(this->pixels(c), this->pixels(this->numbered(2, 3)));
    K::resize(a, 2, 2);
    EXPECT_EQ(this->pixels(a), std::vector<typename K::V>(4, 0));
    K::del(a.address());
    K::del(a.address());  // reported only
    EXPECT_EQ(a.get(), nullptr);
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
    for (int i = 0; i < 7; i++) {
        uint32_t v = sizeof(typename K::V) == 1 ? m->pixels[i] * 0x10101u : m->pixels[i];
        char s[16];
        snprintf(s, sizeof s, "%3u %3u %3u", v >> 16 & 255, v >> 8 & 255, v & 255);
        want += s + std::string(i == 5 || i == 6 ? "\n" : " ");
    }
    EXPECT_EQ(text, want + "}\n");
    free(text);
    K::resize(m, 0, 3);
    text = K::to_text(m);
    EXPECT_EQ(std::string(text), std::string(K::form) + "}");
    EXPECT_EQ(K::from_text(text), nullptr);
    free(text);
    random_srand(7);
    for (int round = 0; round < 12; round++) {  // random rasters survive their text
        int32_t w = random_rand() % 13 + 1, h = random_rand() % 9 + 1;
        auto r = this->numbered(w, h);
        for (int32_t i = 0; i < w * h; i++) r->pixels[i] = (typename K::V)(random_next() & 0xFFFFFF);
        text = K::to_text(r);
        typename TestFixture::Handle back(K::from_text(text));
        free(text);
        ASSERT_NE(back.get(), nullptr);
        EXPECT_TRUE(K::compare(r, back)) << w << "x" << h;
    }
}

// Each text reads as one raster of 2 x 1 with the values 1 2 3 and 4 5 6, or is refused.
TYPED_TEST(Raster, TextReaderFindsItsMarkersOrRefuses) {
    using K = TypeParam;
    const std::string own = K::form, name = own.substr(0, own.size() - 1);
    const std::pair<std::string, bool> cases[] = {
        {own + "\nP3\n2 1\n255\n1 2 3\n4 5 6\n}\n", true},
        {"junk " + name + " {x P3\n2 1\n9999999999\n1,2,3;;4x5y6}", true},
        {K::other + std::string("\nP3\n2 1\n255\n1 2 3\n4 5 6\n}\n"), false},  // the other kind's form
        {name + "\nP3\n2 1\n255\n1 2 3 4 5 6\n}", false},                     // no brace
        {own + "\nP6\n2 1\n255\n1 2 3 4 5 6\n}", false},
        {own + "\nP3\n2 1\n255\n1 2 3 4 5", false},  // one value short
        {own + "\nP3\n2 1", false},                  // ends in the header
        {own + "\nP3\n99999 99999\n255\n1 2 3\n}", false},
        {own + "\nP3\n100000 100000\n255\n1 2 3\n}", false},
        {own + "\nP3\n2147483647 2147483647\n255\n1 2 3\n}", false},
        {own + "\nP3\n99999999999 1\n255\n1 2 3\n}", false},
        {"", false},
    };
    for (const auto &[text, reads] : cases) {
        typename TestFixture::Handle m(K::from_text(text.c_str()));
        ASSERT_EQ(m.get() != nullptr, reads) << text;
        if (!m) continue;
        EXPECT_EQ(m->width, 2);
        EXPECT_EQ(this->pixels(m), (std::vector<typename K::V>{K::rgb(1, 2, 3), K::rgb(4, 5, 6)})) << text;
    }
    EXPECT_EQ(K::from_text(nullptr), nullptr);
    const struct {
        const char *text, *pattern;
        int32_t index;
    } finds[] = {{"xIMG{", "IMG", 4}, {"abc", "{", 0},  {"IMG", "IMG", 3}, {"aaab", "aab", 4},
                 {"ab", "abc", 0},    {"abc", "", 0},   {nullptr, "a", 0}, {"a", nullptr, 0}};
    for (auto &c : finds) EXPECT_EQ(K::find(c.text, c.pattern), c.index) << (c.text ? c.text : "null");
}

// ---- PNM readers ---------------------------------------------------------------

// Each PNM text read from memory (M) or from a file (F): a file's bitmap rows
// start on fresh bytes and keep their width, its "P1" pixels are whole numbers.
TYPED_TEST(Raster, PnmKindsDecode) {
    using K = TypeParam;
    auto g = [](uint32_t v) { return TestFixture::grey(v); };
    const auto W = g(255);
    const struct {
        char from;
        std::string data;
        int32_t w, h;
        std::vector<typename K::V> want;
    } cases[] = {
        {'M', BYTES("P5\n# any comment\n2 1\n255\n\x10\x20"), 2, 1, {g(0x10), g(0x20)}},
        {'F', BYTES("P5\n# any comment\n2 1\n255\n\x10\x20"), 2, 1, {g(0x10), g(0x20)}},
        {'M', BYTES("P4\n10 2\n\xFF\xC0\x80\x00"), 16, 2, {W, W, W, W, W, W, W, W, W, W, 0, 0, 0, 0, 0, 0, W, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {'M', BYTES("P4\n8 1\n\xA5"), 8, 1, {W, 0, W, 0, 0, W, 0, W}},
        {'F', BYTES("P4\n10 2\n\xFF\xC0\x80\x00"), 10, 2, {W, W, W, W, W, W, W, W, W, W, W, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {'M', "P1\n3 2\n1 0 1\n0 1 0\n", 3, 2, {W, 0, W, 0, W, 0}},
        {'M', "P1 # c\n3 2\n102\n090", 3, 2, {W, 0, W, 0, W, 0}},  // one digit a pixel
        {'F', "P1\n3 1\n10 0 1\n", 3, 1, {W, 0, W}},             // whole numbers
        {'M', "P2\n2 2\n255\n0 16\n255 128\n", 2, 2, {0, g(16), g(255), g(128)}},
        {'F', "P2 2 1 255 7 200", 2, 1, {g(7), g(200)}},
        {'M', "P3\n# c\n2 1\n255\n255 0 0  30 60 91\n", 2, 1, {K::rgb(255, 0, 0), K::rgb(30, 60, 91)}},
        {'F', "P3 2 2 255 1 2 3 4 5 6 7 8 9 250 251 252", 2, 2, {K::rgb(1, 2, 3), K::rgb(4, 5, 6), K::rgb(7, 8, 9), K::rgb(250, 251, 252)}},
        {'M', BYTES("P6\n2 1\n255\n\x0A\x0B\x0C\xFF\x00\x80"), 2, 1, {K::rgb(10, 11, 12), K::rgb(255, 0, 128)}},
        {'M', BYTES("\x01P5 2 # c 9 9\n\x80 1 #x\n255\n\x10\x20"), 2, 1, {g(0x10), g(0x20)}},
        {'M', BYTES("P5\n2 1\n255\n\n\x10"), 2, 1, {g(10), g(0x10)}},  // the raster starts after one byte
        {'M', "2 1 255 P5\n\x10\x20", 2, 1, {g(0x10), g(0x20)}},
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

// Bad kinds, empty sizes, short data, and sizes that no memory or input can
// hold, refused (before anything is allocated) from memory and from a file.
TYPED_TEST(Raster, PnmReaderRefusesBadKindsSizesAndShortData) {
    const std::string big(16, '\x7F'), bad[] = {
        "P7\n1 1\n255\n", "P0\n1 1\n255\n", "P5\n0 4\n255\n", "P5\n4 0\n255\n", "P", "", "abc", "1 2 3 x",
        "P5\n2 ", "P5\n2 2\n255", BYTES("P5\n2 2\n255\n\x01\x02\x03"), BYTES("P6\n2 1\n255\n\x01\x02\x03\x04\x05"),
        BYTES("P4\n9 2\n\xFF\xFF\xFF"), "P3\n2 1\n255\n1 2 3 4 5", "P2\n2 2\n255\n1 2 3", "P1\n2 2\n1 0 1",
        "P5 # comment without end", BYTES("P5\n60000 60000\n255\n\x01\x02"), "P3\n40000 40000\n255\n1 2 3\n",
        "P5\n99999999999 1\n255\n1", "P4\n2147483647 1\n" + big, "P5 P 1 255\n\x01", "P6\n65536 65536\n255\n" + big,
        "P5\n2147483647 2147483647\n255\n" + big, "P5\n4294967297 1\n255\n" + big, "P5\n1000 1000\n255\nabc" + big,
        "P2\n100000 100000\n255\n1 2 3\n", "P1\n99999 99999\n0 1 0 1\n" + big};
    TempDir dir("raster");
    for (const std::string &data : bad) {
        EXPECT_EQ(this->pnm(data).get(), nullptr) << data;
        write_file(dir.file("bad.pnm"), data);
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
    if (data.substr(3, 1) == "#") data.erase(3, data.find('\n', 3) - 2);  // a comment line, any text
    std::string raster;
    for (int i = 0; i < 6; i++) raster += K::raster_of(m->pixels[i]);
    EXPECT_EQ(data, K::header + raster);
    typename TestFixture::Handle back(K::load(dir.file("out").c_str()));
    ASSERT_NE(back.get(), nullptr);
    for (int i = 0; i < 6; i++) m->pixels[i] &= (typename K::V)0xFFFFFF;
    EXPECT_TRUE(K::compare(m, back));
    // Refused: empty rasters, no raster, no file name, an unwritable place.
    auto wide = this->numbered(3, 0), tall = this->numbered(0, 3), one = this->numbered(1, 1);
    const std::string never = dir.file("never");
    EXPECT_EQ(K::save(wide, never.c_str()) + K::save(tall, never.c_str()) + K::save(nullptr, never.c_str()), 0);
    EXPECT_EQ(read_file(never), "");
    EXPECT_EQ(K::save(one, nullptr) + K::save(one, "/nonexistent-dir/x.pnm"), 0);
}

// ---- Masks and resampling -----------------------------------------------------------

TYPED_TEST(Raster, MaskKeepsTheCommonBits) {
    using K = TypeParam;
    auto mask = this->numbered(3, 1), t = this->numbered(3, 1);
    mask->pixels[0] = 0;
    t->pixels[1] = (typename K::V)0xF0F0F0F0u;
    K::mask(mask, t);
    EXPECT_EQ(this->pixels(t), (std::vector<typename K::V>{0, (typename K::V)(K::value(1) & 0xF0F0F0F0u), K::value(2)}));
}

// Growing repeats a source pixel over its run of target pixels (runs as even
// as possible, longer ones first); shrinking takes the last pixel of each run
// of source columns, and of rows the last when the columns shrink, the first
// otherwise (equal widths too).
TYPED_TEST(Raster, ScaleSpreadsOrPicksByRuns) {
    using K = TypeParam;
    const struct {
        int32_t sw, sh, tw, th;
        std::initializer_list<int> from;  // source pixel index of each target pixel
    } cases[] = {
        {2, 2, 4, 4, {0, 0, 1, 1, 0, 0, 1, 1, 2, 2, 3, 3, 2, 2, 3, 3}}, {4, 4, 2, 2, {5, 7, 13, 15}},
        {2, 4, 4, 2, {0, 0, 1, 1, 4, 4, 5, 5}},                         {4, 2, 2, 4, {1, 3, 1, 3, 5, 7, 5, 7}},
        {2, 4, 2, 2, {0, 1, 4, 5}},                                     {3, 1, 5, 1, {0, 0, 1, 1, 2}},
        {5, 1, 3, 1, {1, 3, 4}},
    };
    for (auto &c : cases) {
        auto s = this->numbered(c.sw, c.sh), t = this->numbered(c.tw, c.th, true);
        K::scale(s, t);
        EXPECT_EQ(this->pixels(t), this->values(c.from)) << c.sw << "x" << c.sh << " to " << c.tw << "x" << c.th;
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
    const std::initializer_list<int> half = {8, 7, 7, 6, 5, 4, 4, 3, 5, 4, 4, 3, 2, 1, 1, 0},
                                     quarter = {6, 3, 3, 0, 7, 4, 4, 1, 7, 4, 4, 1, 8, 5, 5, 2};
    for (auto [angle, order] : {std::pair{0, half}, {INT32_MIN, half}, {256, quarter}, {256 + 3 * 1024, quarter}}) {
        typename TestFixture::Handle r(K::rotate(s, angle));
        ASSERT_NE(r.get(), nullptr);
        EXPECT_EQ(this->pixels(r), this->values(order)) << angle;
    }
    auto wide = this->numbered(100, 50);
    typename TestFixture::Handle r(K::rotate(wide, 17));
    EXPECT_EQ(r->width, 141);
    EXPECT_EQ(r->height, 70);
    EXPECT_EQ(K::rotate(nullptr, 0), nullptr);
}

using Map = Own<bytemap_del>;

Map make_map(int32_t w, int32_t h, const std::vector<uint8_t> &values = {}) {
    Map map(bytemap_new());
    bytemap_resize(map, w, h);
    for (size_t i = 0; i < values.size(); i++) map->pixels[i] = values[i];
    return map;
}

std::vector<uint8_t> values(const BYTEMAP *map) { return std::vector<uint8_t>(map->pixels, map->pixels + map->width * map->height); }

// A map picture: '.' is 0, a digit d is d; blanks between rows.
std::vector<uint8_t> picture(const char *rows) {
    std::vector<uint8_t> out;
    for (const char *p = rows; *p; p++)
        if (*p != ' ') out.push_back(*p == '.' ? 0 : *p - '0');
    return out;
}

}  // namespace

// Each drawing call on a fresh 5 x 4 map, as a picture of the result (lines
// clipped at any reach are held to the straightforward walk in test_fast_draw.cpp).
TEST(BytemapDraw, LinesSpansAndCircles) {
    const struct {
        const char *name;
        std::function<void(BYTEMAP *)> draw;
        const char *want;
    } cases[] = {
        {"line leaves out its end", [](BYTEMAP *m) { bytemap_line(m, 0, 0, 3, 0, 1); }, "111.. ..... ..... ....."},
        {"shallow", [](BYTEMAP *m) { bytemap_line(m, 0, 0, 4, 2, 1); }, "1.... .11.. ...1. ....."},
        {"steep", [](BYTEMAP *m) { bytemap_line(m, 0, 0, 1, 3, 3); }, "3.... 3.... .3... ....."},
        {"one point", [](BYTEMAP *m) { bytemap_line(m, 2, 2, 2, 2, 4); }, "..... ..... ..4.. ....."},
        {"hline inclusive", [](BYTEMAP *m) { bytemap_hline(m, 2, 0, 2, 1), bytemap_hline(m, -2, 1, 3, 2); }, "..111 22... ..... ....."},
        {"hline refused", [](BYTEMAP *m) { bytemap_hline(m, 0, 4, 2, 9), bytemap_hline(m, -4, 0, 3, 9), bytemap_hline(m, 5, 0, 1, 9); }, "..... ..... ..... ....."},
        {"vline inclusive", [](BYTEMAP *m) { bytemap_vline(m, 4, -1, 1, 4), bytemap_vline(m, 0, 1, 8, 5); }, "....4 5.... 5.... 5...."},
        {"vline refused", [](BYTEMAP *m) { bytemap_vline(m, 5, 0, 1, 9), bytemap_vline(m, 0, -5, 2, 9); }, "..... ..... ..... ....."},
        {"circle r 1", [](BYTEMAP *m) { bytemap_circle_sine(m, 2, 2, 1, 1); }, "..... ..... .11.. ....."},
        {"circle r 2", [](BYTEMAP *m) { bytemap_circle_sine(m, 2, 2, 2, 2); }, "..... .22.. .22.. .22.."},
        {"circle refused", [](BYTEMAP *m) { bytemap_circle_sine(m, 5, 2, 2, 9), bytemap_circle_sine(m, 2, 2, 0, 9); }, "..... ..... ..... ....."},
    };
    for (auto &c : cases) {
        Map map = make_map(5, 4);
        c.draw(map);
        EXPECT_EQ(values(map), picture(c.want)) << c.name;
    }
}

TEST(BytemapValues, WrapSaturateReplaceInvertRemapAndMask) {
    const struct {
        const char *name;
        std::function<void(BYTEMAP *)> op;
        std::vector<uint8_t> want;
    } cases[] = {
        {"add wraps", [](BYTEMAP *m) { bytemap_add_value(m, 10); }, {4, 15, 10, 9}},
        {"add -1", [](BYTEMAP *m) { bytemap_add_value(m, -1); }, {249, 4, 255, 254}},
        {"sub stops at 0", [](BYTEMAP *m) { bytemap_sub_value(m, 10); }, {240, 0, 0, 245}},
        {"sub INT32_MIN", [](BYTEMAP *m) { bytemap_sub_value(m, INT32_MIN); }, {255, 255, 255, 255}},
        {"replace", [](BYTEMAP *m) { bytemap_replace_value(m, 5, 7); }, {250, 7, 0, 255}},
        {"invert", [](BYTEMAP *m) { bytemap_invert(m); }, {5, 250, 255, 0}},
        {"mask of another size", [](BYTEMAP *m) { Map mask = make_map(2, 2); bytemap_and(mask, m); }, {250, 5, 0, 255}},
    };
    for (auto &c : cases) {
        Map map = make_map(4, 1, {250, 5, 0, 255});
        c.op(map);
        EXPECT_EQ(values(map), c.want) << c.name;
        c.op(nullptr);
    }
    Map map = make_map(3, 1, {0, 1, 255}), table = make_map(16, 16), short_table = make_map(15, 17);
    for (int i = 0; i < 256; i++) table->pixels[i] = (uint8_t)(255 - i / 2);
    bytemap_remap(map, table);
    bytemap_remap(map, short_table);  // 255 values: reported
    EXPECT_EQ(values(map), (std::vector<uint8_t>{255, 255, 128}));
}

// One 30-bit draw per value, from the last value to the first.
TEST(BytemapValues, NoiseDrawsFromTheLastValueToTheFirst) {
    Lcg lcg{1234};
    int32_t n[3];
    for (int32_t &v : n) v = lcg.next30();
    Map map = make_map(3, 1);
    random_srand(1234);
    bytemap_noise(map, 250, 0x3F);  // wraps mod 256
    EXPECT_EQ(values(map), (std::vector<uint8_t>{(uint8_t)(250 + (n[2] & 0x3F)), (uint8_t)(250 + (n[1] & 0x3F)), (uint8_t)(250 + (n[0] & 0x3F))}));
    bytemap_noise(nullptr, 0, 0);
}

TEST(BytemapValues, ToImgColoursThroughAPalette) {
    Map map = make_map(2, 1, {0, 255});
    Own<img_del> image(grid_filled(2, 1, 7)), tall(grid_filled(1, 2, 7));
    Own<sample_del> palette(sample_new());
    sample_set_count(palette, 256);
    for (int i = 0; i < 256; i++) sample_set(palette, i, (int32_t)(0xA5000000u + (uint32_t)i * 0x010203u));
    sample_set_count(palette, 255);  // too small: reported, nothing drawn
    bytemap_to_img(map, image, palette);
    EXPECT_TRUE(grid_equals(image, std::vector<uint32_t>{7, 7}));
    sample_set_count(palette, 256);
    bytemap_to_img(map, image, palette);
    EXPECT_TRUE(grid_equals(image, std::vector<uint32_t>{0xA5000000u, 0xA5000000u + 255u * 0x010203u}));
    bytemap_to_img(map, tall, palette);  // another shape: reported
    EXPECT_TRUE(grid_equals(tall, std::vector<uint32_t>{7, 7}));
}
