// BYTEMAP alone: what it adds to the operations shared with IMG (tested with
// IMG in test_raster_shared.cpp, their clipping in test_extremes_img.cpp):
// lines that leave out their end, inclusive spans, the sine circle, value
// operations, noise and the palette conversion.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <vector>

#include "audio/sample.h"
#include "host/random.h"
#include "imaging/bytemap.h"
#include "imaging/img.h"
#include "tests/test_support.h"

namespace {

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

// Each drawing call on a fresh 5 x 4 map, as a picture of the result.
TEST(BytemapDraw, LinesSpansAndCircles) {
    const struct {
        const char *name;
        std::function<void(BYTEMAP *)> draw;
        const char *want;
    } cases[] = {
        {"line leaves out its end", [](BYTEMAP *m) { bytemap_line(m, 0, 0, 3, 0, 1); }, "111.. ..... ..... ....."},
        {"the same backwards", [](BYTEMAP *m) { bytemap_line(m, 3, 0, 0, 0, 1); }, "111.. ..... ..... ....."},
        {"shallow", [](BYTEMAP *m) { bytemap_line(m, 0, 0, 4, 2, 1); }, "1.... .11.. ...1. ....."},
        {"shallow rising", [](BYTEMAP *m) { bytemap_line(m, 0, 3, 4, 1, 2); }, "..... ..... ..22. 22..."},
        {"steep", [](BYTEMAP *m) { bytemap_line(m, 0, 0, 1, 3, 3); }, "3.... 3.... .3... ....."},
        {"one point", [](BYTEMAP *m) { bytemap_line(m, 2, 2, 2, 2, 4); }, "..... ..... ..4.. ....."},
        {"from far left", [](BYTEMAP *m) { bytemap_line(m, -1000000, 0, 3, 0, 1); }, "111.. ..... ..... ....."},
        {"from far above", [](BYTEMAP *m) { bytemap_line(m, 3, -1000000, 3, 2, 2); }, "...2. ...2. ..... ....."},
        {"whole plane", [](BYTEMAP *m) { bytemap_line(m, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, 5); }, "5.... .5... ..5.. ...5."},
        {"off every side", [](BYTEMAP *m) { bytemap_line(m, -5, 0, -1, 3, 9), bytemap_line(m, 5, 0, 9, 3, 9), bytemap_line(m, 0, -1, 3, -9, 9), bytemap_line(m, 0, 4, 3, 9, 9); },
         "..... ..... ..... ....."},
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
