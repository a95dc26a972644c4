// IMGFX blits of its own (averaging blend, xor rectangle, word multiply) by
// hand-worked pixels, and its copies of IMG operations held to the IMG
// originals: the same random images and arguments give the same words.
#include <gtest/gtest.h>

#include <array>
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "host/random.h"
#include "imaging/imgfx.h"
#include "tests/test_support.h"

TEST(ImgfxBlits, BlendXorAndMultiply) {
    expect_image_cases({
        {"blend skips zero", 2, 1, {0, 0x00406080},
         [](IMG *t) { Own<img_del> s(grid_image(2, 1, {0x00FFFFFF, 0})); imgfx_blit_blend(s, t, 0, 0, 0, 0, 2, 1); },
         {0x007F7F7F, 0x00406080}},
        {"blend top byte only", 1, 1, {0x00818181},
         [](IMG *t) { Own<img_del> s(grid_image(1, 1, {0x01000000})); imgfx_blit_blend(s, t, 0, 0, 0, 0, 1, 1); },
         {0x00404040}},
        {"blend clips", 3, 3, {},
         [](IMG *t) {
             Own<img_del> s(grid_image(2, 2, {0x00020202, 0x00040404, 0x00060606, 0x00080808}));
             imgfx_blit_blend(s, t, 0, 0, -1, -1, 2, 2);  // only the bottom-right pixel lands
             imgfx_blit_blend(s, t, -1, 0, 1, 1, 3, 1);   // two columns, the first to x = 2
             imgfx_blit_blend(s, t, 0, 0, 3, 0, 2, 2);
             imgfx_blit_blend(s, t, 0, 0, INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX);
             imgfx_blit_blend(s, t, INT32_MIN, 0, 0, 0, INT32_MAX, 1);
             imgfx_blit_blend(nullptr, t, 0, 0, 0, 0, 1, 1), imgfx_blit_blend(s, nullptr, 0, 0, 0, 0, 1, 1);
         },
         {0x00040404, 0, 0, 0, 0, 0x00010101, 0, 0, 0}},
        {"draw blend at the source place", 3, 2, {},
         [](IMG *t) {
             Own<img_del> s(grid_filled(2, 1, 0x00FEFEFE));
             s->x = 2, s->y = 1;
             imgfx_draw_blend(s, t);
             s->x = -2;  // x + width < 1: nothing
             imgfx_draw_blend(s, t), imgfx_draw_blend(nullptr, t);
         },
         {0, 0, 0, 0, 0, 0x007F7F7F}},
        {"xor only inside", 3, 2, {1, 2, 3, 4, 5, 6},
         [](IMG *m) {
             imgfx_xor_rect(m, 1, 0, 2, 2, 0x00FF0000);
             for (auto r : {std::array{1, 0, 3, 2}, {-1, 0, 2, 1}, {0, 0, 0, 1}, {0, 1, 1, 2}, {INT32_MAX, 0, INT32_MAX, 1}})
                 imgfx_xor_rect(m, r[0], r[1], r[2], r[3], 0x00FF0000);
             imgfx_xor_rect(nullptr, 0, 0, 1, 1, 1);
         },
         {1, 0x00FF0002, 0x00FF0003, 4, 0x00FF0005, 0x00FF0006}},
        {"multiply wraps", 2, 1, {3, 0x00010000},
         [](IMG *b) {
             Own<img_del> a(grid_image(2, 1, {2, 0x00010000})), other(grid_image(1, 1, {7}));
             imgfx_multiply(a, b), imgfx_multiply(other, b), imgfx_multiply(nullptr, b);
         },
         {6, 0}},
    });
}

// Each copy and its original on the same random picture (every byte of the
// words in use), for a battery of arguments crossing every edge.
TEST(ImgfxBlits, CopiesMatchTheirImgOriginals) {
    using Op = std::function<void(const IMG *, IMG *, const int32_t *)>;
    const struct {
        const char *name;
        Op copy, original;
    } pairs[] = {
        {"blit_add", [](const IMG *s, IMG *t, const int32_t *a) { imgfx_blit_add(s, t, a[0], a[1], a[2], a[3], a[4], a[5]); },
         [](const IMG *s, IMG *t, const int32_t *a) { img_blit_add(s, t, a[0], a[1], a[2], a[3], a[4], a[5]); }},
        {"blit_add_sat", [](const IMG *s, IMG *t, const int32_t *a) { imgfx_blit_add_sat(s, t, a[0], a[1], a[2], a[3], a[4], a[5]); },
         [](const IMG *s, IMG *t, const int32_t *a) { img_blit_add_sat(s, t, a[0], a[1], a[2], a[3], a[4], a[5]); }},
        {"blit_opaque", [](const IMG *s, IMG *t, const int32_t *a) { imgfx_blit_opaque(s, t, a[0], a[1], a[2], a[3], a[4], a[5]); },
         [](const IMG *s, IMG *t, const int32_t *a) { img_blit_opaque(s, t, a[0], a[1], a[2], a[3], a[4], a[5]); }},
        {"blit_spaced", [](const IMG *s, IMG *t, const int32_t *a) { imgfx_blit_spaced(s, t, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]); },
         [](const IMG *s, IMG *t, const int32_t *a) { img_blit_spaced(s, t, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]); }},
        {"row_wrap", [](const IMG *s, IMG *t, const int32_t *a) { imgfx_blit_row_wrap(s, t, a[0], a[1], a[2]); },
         [](const IMG *s, IMG *t, const int32_t *a) { img_blit_row_wrap(s, t, a[0], a[1], a[2]); }},
        {"or_row_wrap", [](const IMG *s, IMG *t, const int32_t *a) { imgfx_or_row_wrap(s, t, a[0], a[1], a[2]); },
         [](const IMG *s, IMG *t, const int32_t *a) { img_or_row_wrap(s, t, a[0], a[1], a[2]); }},
        {"column_wrap", [](const IMG *s, IMG *t, const int32_t *a) { imgfx_blit_column_wrap(s, t, a[0], a[1], a[2]); },
         [](const IMG *s, IMG *t, const int32_t *a) { img_blit_column_wrap(s, t, a[0], a[1], a[2]); }},
        {"copy_row", [](const IMG *s, IMG *t, const int32_t *a) { imgfx_copy_row(s, t, a[0], a[1]); },
         [](const IMG *s, IMG *t, const int32_t *a) { img_copy_row(s, t, a[0], a[1]); }},
        {"fill_rect", [](const IMG *, IMG *t, const int32_t *a) { imgfx_fill_rect(t, a[0], a[1], a[2], a[3], (uint32_t)a[4]); },
         [](const IMG *, IMG *t, const int32_t *a) { img_fill_rect(t, a[0], a[1], a[2], a[3], (uint32_t)a[4]); }},
        {"rect", [](const IMG *, IMG *t, const int32_t *a) { imgfx_rect(t, a[0], a[1], a[2], a[3], (uint32_t)a[4]); },
         [](const IMG *, IMG *t, const int32_t *a) { img_rect(t, a[0], a[1], a[2], a[3], (uint32_t)a[4]); }},
        {"invert_rect", [](const IMG *, IMG *t, const int32_t *a) { imgfx_invert_rect(t, a[0], a[1], a[2], a[3]); },
         [](const IMG *, IMG *t, const int32_t *a) { img_invert_rect(t, a[0], a[1], a[2], a[3]); }},
        {"hline", [](const IMG *, IMG *t, const int32_t *a) { imgfx_hline(t, a[0], a[1], a[2], (uint32_t)a[3]); },
         [](const IMG *, IMG *t, const int32_t *a) { img_hline(t, a[0], a[1], a[2], (uint32_t)a[3]); }},
        {"vline", [](const IMG *, IMG *t, const int32_t *a) { imgfx_vline(t, a[0], a[1], a[2], (uint32_t)a[3]); },
         [](const IMG *, IMG *t, const int32_t *a) { img_vline(t, a[0], a[1], a[2], (uint32_t)a[3]); }},
        {"sub_colour", [](const IMG *, IMG *t, const int32_t *a) { imgfx_sub_colour(t, (uint32_t)a[0]); },
         [](const IMG *, IMG *t, const int32_t *a) { img_sub_colour(t, (uint32_t)a[0]); }},
        {"invert", [](const IMG *, IMG *t, const int32_t *) { imgfx_invert(t); }, [](const IMG *, IMG *t, const int32_t *) { img_invert(t); }},
        {"replace", [](const IMG *, IMG *t, const int32_t *a) { imgfx_replace_colour(t, t->pixels[a[0] & 3], (uint32_t)a[1]); },
         [](const IMG *, IMG *t, const int32_t *a) { img_replace_colour(t, t->pixels[a[0] & 3], (uint32_t)a[1]); }},
        {"and", [](const IMG *s, IMG *t, const int32_t *) { imgfx_and(s, t); }, [](const IMG *s, IMG *t, const int32_t *) { img_and(s, t); }},
        {"scale", [](const IMG *s, IMG *t, const int32_t *) { imgfx_scale(s, t); }, [](const IMG *s, IMG *t, const int32_t *) { img_scale(s, t); }},
        {"rotate", [](const IMG *s, IMG *t, const int32_t *a) { Own<img_del> r(imgfx_rotate(s, a[0])); img_copy(r, t); },
         [](const IMG *s, IMG *t, const int32_t *a) { Own<img_del> r(img_rotate(s, a[0])); img_copy(r, t); }},
    };
    const int32_t edges[] = {-9, -1, 0, 1, 3, 7, 8, 9, INT32_MIN, INT32_MAX};
    random_srand(2718);
    for (auto &p : pairs)
        for (int round = 0; round < 300; round++) {
            int32_t a[8];
            for (int32_t &v : a) v = round % 3 ? random_rand() % 20 - 6 : edges[random_rand() % 10];
            a[6] = a[6] < 1 ? 1 : a[6] % 4 + 1, a[7] = a[7] < 1 ? 1 : a[7] % 4 + 1;  // spaced steps
            Own<img_del> s(grid_image(8, 8)), t1(grid_image(8, 8)), t2(grid_image(8, 8));
            for (int i = 0; i < 64; i++) {
                s->pixels[i] = random_rand() % 4 ? (uint32_t)random_next() << 2 : 0;
                t1->pixels[i] = t2->pixels[i] = (uint32_t)random_next() << 2;
            }
            p.copy(s, t1, a);
            p.original(s, t2, a);
            ASSERT_TRUE(grid_identical(t1, t2)) << p.name << " " << a[0] << " " << a[1] << " " << a[2] << " " << a[3]
                                                << " " << a[4] << " " << a[5];
        }
    for (int32_t a = -3; a < 9; a++)
        for (int32_t b = -3; b < 9; b++) {
            int32_t *x = imgfx_run_lengths(a, b), *y = img_run_lengths(a, b);
            int32_t *mx = imgfx_run_lengths_mirrored(a, b), *my = img_run_lengths_mirrored(a, b);
            int32_t *px = imgfx_line_points(0, 0, a, b), *py = img_line_points(0, 0, a, b);
            int32_t n = std::min(std::abs(a), std::abs(b));  // the mirrored split has n counts, the plain n + 1
            EXPECT_EQ(std::vector<int32_t>(x, x + n + 1), std::vector<int32_t>(y, y + n + 1)) << a << " " << b;
            EXPECT_EQ(std::vector<int32_t>(mx, mx + n), std::vector<int32_t>(my, my + n)) << a << " " << b;
            EXPECT_EQ(std::vector<int32_t>(px, px + py[0] + 1), std::vector<int32_t>(py, py + py[0] + 1));
            for (int32_t *q : {x, y, mx, my, px, py}) free(q);
        }
    for (auto [t, pat] : {std::pair{"xIMG{", "IMG"}, {"abc", "{"}, {"aaab", "aab"}})
        EXPECT_EQ(imgfx_find_text(t, pat), img_find_text(t, pat));
    EXPECT_EQ(imgfx_find_text(nullptr, "{"), 0);
    EXPECT_EQ(imgfx_rotate(nullptr, 0), nullptr);
}
