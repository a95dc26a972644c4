// Positions and sizes at their extremes for the IMG, IMGFX and BYTEMAP
// copies, blits, rectangles, wrap copies and resampling, each call checked
// pixel by pixel against the plain definition ("exactly the part inside both
// images", "only when wholly inside"); images without pixels or with sizes no
// memory holds; and decoders that announce more pixels than they carry.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "imaging/bytemap.h"
#include "imaging/img.h"
#include "imaging/imgfx.h"
#include "tests/extremes.h"
#include "tests/test_owned.h"

// Source 4 x 3 (one pixel 0, transparent to the keyed blits), target 5 x 4.
static const int32_t SW = 4, SH = 3, TW = 5, TH = 4;
static const std::vector<int32_t> kValues = extremes({SW - 1, SH, TW - 1, TH});

template <class Record, class New, class Resize>
static Record *filled(New make, Resize resize, int32_t w, int32_t h, uint32_t base) {
    Record *r = make();
    resize(r, w, h);
    for (int32_t i = 0; i < w * h; i++) r->pixels[i] = i == 6 ? 0 : base + (uint32_t)i * 0x010203u;
    return r;
}

static IMG *img_of(int32_t w, int32_t h, uint32_t base) {
    return filled<IMG>(img_new, img_resize, w, h, base);
}

static BYTEMAP *map_of(int32_t w, int32_t h, uint32_t base) {
    return filled<BYTEMAP>(bytemap_new, bytemap_resize, w, h, base);
}

template <class Record>
static auto pixels_of(const Record *r) {
    using P = std::remove_pointer_t<decltype(r->pixels)>;
    return std::vector<P>(r->pixels, r->pixels + (size_t)r->width * r->height);
}

// ---- Rectangle blits -------------------------------------------------------------

using Args6 = std::array<int32_t, 6>;

static void destroy(IMG *r) { img_del(&r); }
static void destroy(BYTEMAP *r) { bytemap_del(&r); }

// Target pixel (x, y) receives source (x - dx + sx, y - dy + sy) when that
// offset lies inside the w x h rectangle and inside the source.
template <class Record, class Blit, class Combine>
static void check_blit(Record *(*make)(int32_t, int32_t, uint32_t), Blit blit, Combine combine) {
    sweep<6>({0, 0, 1, 1, SW, SH}, kValues, [&](const Args6 &a) {
        Record *s = make(SW, SH, 0x102030), *t = make(TW, TH, 0x405060);
        auto want = pixels_of(t), src = pixels_of(s);
        for (int64_t y = 0; y < TH; y++) {
            for (int64_t x = 0; x < TW; x++) {
                int64_t i = x - a[2], j = y - a[3], u = a[0] + i, v = a[1] + j;
                if (inside(i, a[4]) && inside(j, a[5]) && inside(u, SW) && inside(v, SH))
                    want[y * TW + x] = combine(want[y * TW + x], src[v * SW + u]);
            }
        }
        blit(s, t, a[0], a[1], a[2], a[3], a[4], a[5]);
        EXPECT_EQ(pixels_of(t), want)
            << a[0] << " " << a[1] << " " << a[2] << " " << a[3] << " " << a[4] << " " << a[5];
        destroy(s);
        destroy(t);
    });
}

static uint32_t keyed(uint32_t t, uint32_t s) { return s ? s : t; }
static uint32_t opaque(uint32_t, uint32_t s) { return s; }
static uint32_t added(uint32_t t, uint32_t s) { return t + s; }
static uint32_t added_sat(uint32_t t, uint32_t s) {
    uint32_t out = 0;
    for (int sh = 0; sh < 24; sh += 8) {
        uint32_t c = ((t >> sh) & 0xFF) + ((s >> sh) & 0xFF);
        out |= (c > 255 ? 255 : c) << sh;
    }
    return out;
}
static uint32_t blended(uint32_t t, uint32_t s) {
    return s ? ((t >> 1) & 0x7F7F7F) + ((s >> 1) & 0x7F7F7F) : t;
}
static uint8_t keyed8(uint8_t t, uint8_t s) { return s ? s : t; }
static uint8_t opaque8(uint8_t, uint8_t s) { return s; }

TEST(ExtremesBlit, EveryBlitTransfersExactlyThePartInsideBothImages) {
    check_blit<IMG>(img_of, img_blit, keyed);
    check_blit<IMG>(img_of, img_blit_opaque, opaque);
    check_blit<IMG>(img_of, img_blit_add, added);
    check_blit<IMG>(img_of, img_blit_add_sat, added_sat);
    check_blit<IMG>(img_of, imgfx_blit_opaque, opaque);
    check_blit<IMG>(img_of, imgfx_blit_add, added);
    check_blit<IMG>(img_of, imgfx_blit_add_sat, added_sat);
    check_blit<IMG>(img_of, imgfx_blit_blend, blended);
    check_blit<BYTEMAP>(map_of, bytemap_blit, keyed8);
    check_blit<BYTEMAP>(map_of, bytemap_blit_opaque, opaque8);
}

// Drawing at the record's own place and the byte map's blend draw are the
// same clip with the whole source.
TEST(ExtremesBlit, DrawsAtAnyPlaceClipTheWholeSource) {
    sweep<2>({1, 1}, kValues, [](const std::array<int32_t, 2> &a) {
        Own<img_del> s(img_of(SW, SH, 0x102030)), t(img_of(TW, TH, 0x405060)),
            ref(img_of(TW, TH, 0x405060));
        s->x = a[0], s->y = a[1];
        img_draw(s.get(), t.get());
        img_blit(s.get(), ref.get(), 0, 0, a[0], a[1], SW, SH);
        EXPECT_EQ(pixels_of(t.get()), pixels_of(ref.get()));

        Own<bytemap_del> ms(map_of(SW, SH, 0x10)), mt(map_of(TW, TH, 0x40));
        auto want = pixels_of(mt.get());
        for (int64_t y = 0; y < TH; y++)
            for (int64_t x = 0; x < TW; x++)
                if (inside(x - a[0], SW) && inside(y - a[1], SH)) {
                    uint8_t &p = want[y * TW + x];
                    p = (uint8_t)((p + ms->pixels[(y - a[1]) * SW + (x - a[0])]) / 2);
                }
        bytemap_draw_blend(ms.get(), mt.get(), a[0], a[1]);
        EXPECT_EQ(pixels_of(mt.get()), want);
    });
}

TEST(ExtremesBlit, SpacedBlitsLandOnlyWhereSourceAndTargetHold) {
    std::vector<int32_t> values = kValues;
    values.push_back(2);
    sweep<8>({0, 0, 0, 0, SW, SH, 1, 2}, values, [](const std::array<int32_t, 8> &a) {
        Own<img_del> s(img_of(SW, SH, 0x102030)), t(img_of(TW, TH, 0x405060));
        Own<bytemap_del> ms(map_of(SW, SH, 0x10)), mt(map_of(TW, TH, 0x40));
        auto want = pixels_of(t.get());
        auto want8 = pixels_of(mt.get());
        if (a[6] >= 1 && a[7] >= 1) {
            for (int64_t j = 0; j < SH; j++)
                for (int64_t i = 0; i < SW; i++) {
                    int64_t si = i - a[0], sj = j - a[1];  // offsets into the rectangle
                    int64_t x = a[2] + si * a[6], y = a[3] + sj * a[7];
                    if (!inside(si, a[4]) || !inside(sj, a[5]) || !inside(x, TW) || !inside(y, TH))
                        continue;
                    want[y * TW + x] = keyed(want[y * TW + x], s->pixels[j * SW + i]);
                    want8[y * TW + x] = keyed8(want8[y * TW + x], ms->pixels[j * SW + i]);
                }
        }
        img_blit_spaced(s.get(), t.get(), a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]);
        bytemap_blit_spaced(ms.get(), mt.get(), a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]);
        EXPECT_EQ(pixels_of(t.get()), want);
        EXPECT_EQ(pixels_of(mt.get()), want8);
    });
}

// ---- Row and column copies ------------------------------------------------------------

TEST(ExtremesBlit, WrapCopiesRefuseLinesOutsideAndWrapAnyOffset) {
    sweep<3>({1, 2, 3}, kValues, [](const std::array<int32_t, 3> &a) {
        int32_t from = a[0], to = a[1], offset = a[2];
        Own<img_del> s(img_of(SW, SH, 0x102030));
        // Rows: the source row's first min(width) pixels from the wrapped offset on.
        auto row_want = [&](bool keyed_copy, bool or_copy) {
            Own<img_del> t(img_of(TW, TH, 0x405060));
            auto want = pixels_of(t.get());
            if (inside(from, SH) && inside(to, TH)) {
                int64_t x0 = ((int64_t)offset % TW + TW) % TW;
                for (int64_t i = 0; i < SW; i++) {
                    uint32_t v = s->pixels[from * SW + i];
                    uint32_t &p = want[to * TW + (x0 + i) % TW];
                    if (or_copy)
                        p |= v;
                    else if (!keyed_copy || v)
                        p = v;
                }
            }
            return want;
        };
        std::vector<std::pair<std::function<void(IMG *)>, std::vector<uint32_t>>> cases = {
            {[&](IMG *t) { img_blit_row_wrap(s.get(), t, from, to, offset); },
             row_want(true, false)},
            {[&](IMG *t) { imgfx_blit_row_wrap(s.get(), t, from, to, offset); },
             row_want(true, false)},
            {[&](IMG *t) { img_or_row_wrap(s.get(), t, from, to, offset); }, row_want(false, true)},
            {[&](IMG *t) { imgfx_or_row_wrap(s.get(), t, from, to, offset); },
             row_want(false, true)},
        };
        for (auto &[call, want] : cases) {
            Own<img_del> t(img_of(TW, TH, 0x405060));
            call(t.get());
            EXPECT_EQ(pixels_of(t.get()), want) << from << " " << to << " " << offset;
        }
        // Columns: min(height) pixels down from the wrapped offset.
        Own<img_del> t(img_of(TW, TH, 0x405060));
        auto want = pixels_of(t.get());
        if (inside(from, SW) && inside(to, TW)) {
            int64_t y0 = ((int64_t)offset % TH + TH) % TH;
            for (int64_t i = 0; i < SH; i++)
                want[((y0 + i) % TH) * TW + to] =
                    keyed(want[((y0 + i) % TH) * TW + to], s->pixels[i * SW + from]);
        }
        img_blit_column_wrap(s.get(), t.get(), from, to, offset);
        EXPECT_EQ(pixels_of(t.get()), want);
        // Plain row copies: the first min(width) pixels, zeros included.
        Own<img_del> c(img_of(TW, TH, 0x405060));
        want = pixels_of(c.get());
        if (inside(from, SH) && inside(to, TH))
            for (int64_t i = 0; i < SW; i++) want[to * TW + i] = s->pixels[from * SW + i];
        img_copy_row(s.get(), c.get(), from, to);
        EXPECT_EQ(pixels_of(c.get()), want);
        // The byte map's wrap copies share the image's walk; they must keep to it too.
        Own<bytemap_del> ms(map_of(SW, SH, 1)), mt(map_of(TW, TH, 2));
        bytemap_blit_row_wrap(ms.get(), mt.get(), from, to, offset);
        bytemap_or_row_wrap(ms.get(), mt.get(), from, to, offset);
        bytemap_blit_column_wrap(ms.get(), mt.get(), from, to, offset);
    });
}

// ---- Rectangles and pixels ------------------------------------------------------------------

using Args4 = std::array<int32_t, 4>;

static bool in_rect(int64_t x, int64_t y, const Args4 &r) {
    return x >= r[0] && x < (int64_t)r[0] + r[2] && y >= r[1] && y < (int64_t)r[1] + r[3];
}

static bool wholly_inside(const Args4 &r) {
    return r[0] >= 0 && r[1] >= 0 && r[2] > 0 && r[3] > 0 && (int64_t)r[0] + r[2] <= TW &&
           (int64_t)r[1] + r[3] <= TH;
}

// want(r, x, y, p): the pixel after the call.
template <class Record, class Call, class Want>
static void check_rect(Record *(*make)(int32_t, int32_t, uint32_t), Call call, Want want_of) {
    sweep<4>({1, 1, 2, 2}, kValues, [&](const Args4 &r) {
        Record *t = make(TW, TH, 0x405060);
        auto want = pixels_of(t);
        for (int64_t y = 0; y < TH; y++)
            for (int64_t x = 0; x < TW; x++) want[y * TW + x] = want_of(r, x, y, want[y * TW + x]);
        call(t, r[0], r[1], r[2], r[3]);
        EXPECT_EQ(pixels_of(t), want) << r[0] << " " << r[1] << " " << r[2] << " " << r[3];
        destroy(t);
    });
}

TEST(ExtremesRect, FillsClipAndOutlinesRefuseUnlessWhollyInside) {
    const uint32_t C = 0xABCDEF;
    auto fill = [&](const Args4 &r, int64_t x, int64_t y, uint32_t p) {
        return in_rect(x, y, r) ? C : p;
    };
    auto invert = [](const Args4 &r, int64_t x, int64_t y, uint32_t p) {
        return in_rect(x, y, r) ? ~p : p;
    };
    auto xored = [&](const Args4 &r, int64_t x, int64_t y, uint32_t p) {
        return wholly_inside(r) && in_rect(x, y, r) ? p ^ C : p;
    };
    auto outline = [&](const Args4 &r, int64_t x, int64_t y, uint32_t p) {
        bool edge = x == r[0] || y == r[1] || x == (int64_t)r[0] + r[2] - 1 ||
                    y == (int64_t)r[1] + r[3] - 1;
        return wholly_inside(r) && in_rect(x, y, r) && edge ? C : p;
    };
    check_rect<IMG>(
        img_of,
        [&](IMG *t, int32_t x, int32_t y, int32_t w, int32_t h) {
            img_fill_rect(t, x, y, w, h, C);
        },
        fill);
    check_rect<IMG>(
        img_of,
        [&](IMG *t, int32_t x, int32_t y, int32_t w, int32_t h) {
            imgfx_fill_rect(t, x, y, w, h, C);
        },
        fill);
    check_rect<IMG>(img_of, img_invert_rect, invert);
    check_rect<IMG>(img_of, imgfx_invert_rect, invert);
    check_rect<IMG>(
        img_of,
        [&](IMG *t, int32_t x, int32_t y, int32_t w, int32_t h) {
            imgfx_xor_rect(t, x, y, w, h, C);
        },
        xored);
    check_rect<IMG>(
        img_of,
        [&](IMG *t, int32_t x, int32_t y, int32_t w, int32_t h) { img_rect(t, x, y, w, h, C); },
        outline);
    check_rect<IMG>(
        img_of,
        [&](IMG *t, int32_t x, int32_t y, int32_t w, int32_t h) { imgfx_rect(t, x, y, w, h, C); },
        outline);

    // The byte map's fill first turns a negative width or height round.
    auto turned = [](const Args4 &r, int64_t x, int64_t y, uint8_t p) -> uint8_t {
        int64_t x0 = r[0], y0 = r[1], w = r[2], h = r[3];
        if (w < 0) x0 += w, w = -w;
        if (h < 0) y0 += h, h = -h;
        return x >= x0 && x < x0 + w && y >= y0 && y < y0 + h ? 0xEE : p;
    };
    auto inside_fill = [](const Args4 &r, int64_t x, int64_t y, uint8_t p) -> uint8_t {
        return wholly_inside(r) && in_rect(x, y, r) ? 0xEE : p;
    };
    auto inside_outline = [](const Args4 &r, int64_t x, int64_t y, uint8_t p) -> uint8_t {
        bool edge = x == r[0] || y == r[1] || x == (int64_t)r[0] + r[2] - 1 ||
                    y == (int64_t)r[1] + r[3] - 1;
        return wholly_inside(r) && in_rect(x, y, r) && edge ? 0xEE : p;
    };
    check_rect<BYTEMAP>(
        map_of,
        [](BYTEMAP *t, int32_t x, int32_t y, int32_t w, int32_t h) {
            bytemap_fill_rect(t, x, y, w, h, 0xEE);
        },
        turned);
    check_rect<BYTEMAP>(
        map_of,
        [](BYTEMAP *t, int32_t x, int32_t y, int32_t w, int32_t h) {
            bytemap_fill_rect_inside(t, x, y, w, h, 0xEE);
        },
        inside_fill);
    check_rect<BYTEMAP>(
        map_of,
        [](BYTEMAP *t, int32_t x, int32_t y, int32_t w, int32_t h) {
            bytemap_rect(t, x, y, w, h, 0xEE);
        },
        inside_outline);
}

TEST(ExtremesRect, PixelsOutsideAreIgnoredAndReadAsZero) {
    sweep<2>({1, 1}, kValues, [](const std::array<int32_t, 2> &a) {
        Own<img_del> t(img_of(TW, TH, 0x405060));
        Own<bytemap_del> m(map_of(TW, TH, 0x40));
        bool in = inside(a[0], TW) && inside(a[1], TH);
        EXPECT_EQ(img_get_pixel(t.get(), a[0], a[1]), in ? t->pixels[a[1] * TW + a[0]] : 0u);
        EXPECT_EQ(bytemap_get_pixel(m.get(), a[0], a[1]), in ? m->pixels[a[1] * TW + a[0]] : 0);
        auto want = pixels_of(t.get());
        auto want8 = pixels_of(m.get());
        if (in) want[a[1] * TW + a[0]] = 7, want8[a[1] * TW + a[0]] = 7;
        img_set_pixel(t.get(), a[0], a[1], 7);
        bytemap_set_pixel(m.get(), a[0], a[1], 7);
        EXPECT_EQ(pixels_of(t.get()), want);
        EXPECT_EQ(pixels_of(m.get()), want8);
    });
}

// ---- Sizes no memory holds, images without pixels --------------------------------------------

// Sizes that give no pixels or more than 2^31 - 1 of them: stored, and every
// operation on them returns at once (a walk over their rows would take minutes).
TEST(ExtremesSizes, ImagesWithoutPixelsOrBeyondMemoryCostNothing) {
    const int32_t sizes[][2] = {{0, INT32_MAX}, {INT32_MAX, 0}, {INT32_MAX, INT32_MAX},
                                {-1, 5},        {5, INT32_MIN}, {65536, 65536},
                                {0, 1 << 30},   {1 << 30, 0}};
    for (auto &wh : sizes) {
        Own<img_del> odd(img_new()), small(img_of(TW, TH, 1));
        img_resize(odd.get(), wh[0], wh[1]);
        bool empty = wh[0] >= 0 && wh[1] >= 0 && (int64_t)wh[0] * wh[1] == 0;
        EXPECT_EQ(odd->pixels != nullptr, empty) << wh[0] << " x " << wh[1];
        Own<bytemap_del> map(bytemap_new()), small_map(map_of(TW, TH, 1));
        bytemap_resize(map.get(), wh[0], wh[1]);
        EXPECT_EQ(map->pixels != nullptr, empty);
        for (IMG *s : {odd.get(), small.get()}) {
            IMG *t = s == odd.get() ? small.get() : odd.get();
            img_blit(s, t, INT32_MIN, 0, 0, INT32_MIN, INT32_MAX, INT32_MAX);
            img_blit_spaced(s, t, 0, 0, 0, 0, INT32_MAX, INT32_MAX, 1, 1);
            img_blit_row_wrap(s, t, 0, 0, INT32_MIN);
            img_blit_column_wrap(s, t, 0, 0, INT32_MAX);
            img_scale(s, t);
            Own<img_del> turned(img_rotate(s, 100));
            Own<img_del> copy(img_dup(s));
            free(img_to_text(s));
        }
        img_fill_rect(odd.get(), INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, 1);
        img_invert_rect(odd.get(), 0, 0, INT32_MAX, INT32_MAX);
        img_clear(odd.get(), 3);
        bytemap_blit(map.get(), small_map.get(), 0, 0, 0, 0, INT32_MAX, INT32_MAX);
        bytemap_blit(small_map.get(), map.get(), 0, 0, 0, 0, INT32_MAX, INT32_MAX);
        bytemap_fill_rect(map.get(), 0, 0, INT32_MIN, INT32_MIN, 1);
        bytemap_scale(small_map.get(), map.get());
        Own<bytemap_del> turned(bytemap_rotate(map.get(), 100));
        EXPECT_EQ(pixels_of(small.get()), pixels_of(Own<img_del>(img_of(TW, TH, 1)).get()));
    }
}

// Without runs the split's one count is the leftover, saturated; a split
// of the magnitude of INT32_MIN is refused.
TEST(ExtremesSizes, RunLengthsOfExtremeSizes) {
    struct Case {
        int32_t a, b, first;
        bool made;
    };
    const Case cases[] = {
        {INT32_MAX, 0, INT32_MAX, true},
        {INT32_MIN + 1, 0, INT32_MAX, true},
        {0, -7, 8, true},
        {INT32_MIN, 1, 0, false},
        {3, INT32_MIN, 0, false},
        {-5, 3, 2, true},
    };
    for (const Case &c : cases) {
        int32_t *runs = img_run_lengths(c.a, c.b);
        EXPECT_EQ(runs != nullptr, c.made) << c.a << " " << c.b;
        if (runs) {
            EXPECT_EQ(runs[0], c.first) << c.a << " " << c.b;
        }
        free(runs);
        int32_t *mirrored = img_run_lengths_mirrored(c.a, c.b);
        EXPECT_EQ(mirrored != nullptr, c.made);
        free(mirrored);
    }
}

// ---- Decoders ------------------------------------------------------------------------------

// A header that announces more values than memory or the input can hold is
// refused before anything is allocated for it.
TEST(ExtremesSizes, DecodersRefuseSizesTheirInputCannotHold) {
    const char *headers[] = {
        "P5\n2147483647 2147483647\n255\n", "P6\n65536 65536\n255\n",
        "P5\n4294967297 1\n255\n",          "P4\n2147483647 1\n",
        "P2\n100000 100000\n255\n1 2 3\n",  "P5\n1000 1000\n255\nabc",
        "P1\n99999 99999\n0 1 0 1\n",
    };
    for (const char *h : headers) {
        std::string data = std::string(h) + std::string(16, '\x7F');
        EXPECT_EQ(Own<img_del>(img_from_pnm(data.data(), data.size())).get(), nullptr) << h;
        EXPECT_EQ(Own<bytemap_del>(bytemap_from_pnm(data.data(), data.size())).get(), nullptr) << h;
    }
    const char *texts[] = {"IMG{\nP3\n2147483647 2147483647\n255\n1 2 3\n}\n",
                           "IMG{\nP3\n100000 100000\n255\n1 2 3\n}\n",
                           "IMG{\nP3\n99999999999 1\n255\n1 2 3\n}\n"};
    for (const char *t : texts) {
        EXPECT_EQ(Own<img_del>(img_from_text(t)).get(), nullptr) << t;
        std::string map_text = std::string("BYTEMAP") + (t + 3);
        EXPECT_EQ(Own<bytemap_del>(bytemap_from_text(map_text.c_str())).get(), nullptr) << t;
    }
}

// ---- IMGFX effects --------------------------------------------------------------------------

// Radii, shifts, block sizes and scroll distances at their extremes: refused
// or clipped, the image keeps its size, nothing overflows and nothing walks
// further than the image.
TEST(ExtremesEffects, EffectArgumentsAtTheirExtremes) {
    Own<img_del> scratch(img_of(TW, TH, 1));
    sweep<4>({1, 1, 2, 2}, kValues, [&](const Args4 &a) {
        Own<img_del> s(img_of(TW, TH, 0x102030)), t(img_of(TW, TH, 0x405060));
        imgfx_pixelate(t.get(), a[0], a[1]);
        imgfx_pixelate_average(t.get(), a[0], a[1]);
        imgfx_pixelate_random(t.get(), a[0], a[1]);
        imgfx_pixelate_centred(t.get(), a[0], a[1]);
        imgfx_pixelate_average_centred(t.get(), a[0], a[1]);
        imgfx_block_average(s.get(), a[0], a[1], a[2], a[3]);
        imgfx_block_random(s.get(), a[0], a[1], a[2], a[3]);
        imgfx_scroll(t.get(), a[0], a[1]);
        imgfx_smear(t.get(), a[2], a[3]);
        imgfx_scroll_row(t.get(), a[0], a[1]);
        imgfx_smear_row(t.get(), a[2], a[3]);
        imgfx_scroll_wrap(t.get(), scratch.get(), a[0], a[1]);
        imgfx_blur_h(s.get(), t.get(), a[0]);
        imgfx_blur_h_rgb(s.get(), t.get(), a[0], a[1], a[2]);
        imgfx_blur_box(s.get(), t.get(), a[3]);
        imgfx_glow_h(s.get(), t.get(), a[0], a[1]);
        imgfx_glow_h5(s.get(), t.get(), a[2]);
        imgfx_glow_3x3(s.get(), t.get(), a[3]);
        EXPECT_EQ(t->width, TW);
        EXPECT_EQ(t->height, TH);
    });
}
