// Positions, counts and ranges at their extremes for SAMPLE, ARRAY, LIST,
// CURSOR and the scrollers: each call against a small model of what it must
// do (refuse and leave the record alone, or do exactly the in-range work).
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "audio/sample.h"
#include "imaging/img.h"
#include "tests/extremes.h"
#include "tests/test_owned.h"
#include "text/cursor.h"
#include "text/font.h"
#include "text/lscrlxyz.h"
#include "text/lscroll.h"
#include "text/scroll.h"
#include "vector/array.h"
#include "vector/lfont.h"
#include "vector/list.h"

using Values = std::vector<int32_t>;

// ---- SAMPLE ------------------------------------------------------------------------

static const Values kStart = {10, 20, 30, 40};

static Own<sample_del> sample_of(const Values &v) {
    Own<sample_del> s(sample_new());
    for (int32_t x : v) sample_push(s.get(), x);
    return s;
}

static Values values_of(const SAMPLE *s) { return Values(s->data, s->data + s->count); }

static bool in_count(int64_t i, const Values &v) { return inside(i, (int64_t)v.size()); }

TEST(ExtremesSample, ElementCallsRefuseOutsideAndActInside) {
    sweep<2>({1, 7}, extremes({4}), [](const std::array<int32_t, 2> &a) {
        int32_t i = a[0], x = a[1];
        auto s = sample_of(kStart);
        EXPECT_EQ(sample_get(s.get(), i), in_count(i, kStart) ? kStart[i] : 0);
        EXPECT_EQ(sample_find(s.get(), 30, i), in_count(i, kStart) && i <= 2 ? 2 : -1);

        Values want = kStart;
        if (in_count(i, want)) want[i] = x;
        sample_set(s.get(), i, x);
        EXPECT_EQ(values_of(s.get()), want);

        want = kStart;
        if (i >= 0 && i <= 4) want.insert(want.begin() + i, x);
        auto t = sample_of(kStart);
        sample_insert(t.get(), x, i);
        EXPECT_EQ(values_of(t.get()), want);

        want = kStart;
        if (in_count(i, want)) want.erase(want.begin() + i);
        auto u = sample_of(kStart);
        EXPECT_EQ(sample_remove(u.get(), i), in_count(i, kStart) ? 3 : 0);
        EXPECT_EQ(values_of(u.get()), want);
    });
}

TEST(ExtremesSample, MoveCopiesOnlyWholeRangesInside) {
    sweep<3>({2, 0, 1}, extremes({4}), [](const std::array<int32_t, 3> &a) {
        int64_t n = a[0], from = a[1], to = a[2];
        bool ok = from >= 0 && to >= 0 && from + n <= 4 && to + n <= 4;
        // Between two samples and within one (the overlapping move).
        for (bool same : {false, true}) {
            auto src = sample_of(kStart);
            auto dst = same ? Own<sample_del>() : sample_of({1, 2, 3, 4});
            SAMPLE *d = same ? src.get() : dst.get();
            Values want = values_of(d), from_values = kStart;
            if (ok)
                for (int64_t k = 0; k < n; k++) want[to + k] = from_values[from + k];
            sample_move(src.get(), d, a[0], a[1], a[2]);
            EXPECT_EQ(values_of(d), want) << n << " " << from << " " << to;
        }
    });
}

TEST(ExtremesSample, RangeCallsClampOrRefuse) {
    auto b = sample_of({30, 40, 50});
    sweep<2>({1, 3}, extremes({4}), [&](const std::array<int32_t, 2> &a) {
        int64_t from = a[0], to = a[1];
        auto s = sample_of(kStart);
        Own<sample_del> part(sample_extract(s.get(), a[0], a[1]));
        if (from > to) {
            EXPECT_EQ(part.get(), nullptr);
        } else {
            int64_t f = std::clamp<int64_t>(from, 0, 4), t = std::clamp<int64_t>(to, f, 4);
            ASSERT_NE(part.get(), nullptr);
            EXPECT_EQ(values_of(part.get()), Values(kStart.begin() + f, kStart.begin() + t));
        }
        // a = 10 20 30 40, b = 30 40 50: offset 2 lines up two matches.
        int32_t off = a[0];
        int32_t want = off == 2 ? 2 : 0;
        EXPECT_EQ(sample_match_count(s.get(), b.get(), off), want) << off;

        // The ramp starts with y0 at the lower index whatever the values.
        auto r = sample_of(kStart);
        int32_t i0 = a[0], i1 = a[1];
        sample_line(r.get(), i0, INT32_MIN, i1, INT32_MAX);
        int64_t lo = std::min(from, to), hi = std::max(from, to);
        if (lo >= 0 && hi < 4)
            EXPECT_EQ(r->data[lo], INT32_MIN);
        else
            EXPECT_EQ(values_of(r.get()), kStart);
    });
}

TEST(ExtremesSample, InsertSampleOutsideKeepsTheLargerCountWithZerosAtItsEnd) {
    auto src = sample_of({7, 8});
    for (int32_t pos : extremes({4})) {
        auto dst = sample_of(kStart);
        sample_insert_sample(dst.get(), src.get(), pos);
        Values want = kStart;
        if (pos >= 0 && pos <= 4)
            want.insert(want.begin() + pos, {7, 8});
        else
            want.insert(want.end(), {0, 0});
        EXPECT_EQ(values_of(dst.get()), want) << pos;
    }
}

TEST(ExtremesSample, SizesBeyondStorageAreRefused) {
    for (int32_t n : extremes({4})) {
        auto s = sample_of(kStart);
        sample_set_count(s.get(), n);
        bool fits = n >= 0 && n <= 0x1FFFFFFF;
        // Counts up to 5 are checked exactly; larger ones only for a sane result.
        if (fits && n <= 5) {
            EXPECT_EQ(s->count, n);
        }
        if (!fits) {
            EXPECT_EQ(values_of(s.get()), kStart) << n;
        }

        auto r = sample_of(kStart);
        sample_reserve(r.get(), n);
        if (n < 1 || n > 0x1FFFFFFF) {
            EXPECT_EQ(r->capacity, 32) << n;
        }

        auto m = sample_of(kStart);
        sample_resample(m.get(), n);
        EXPECT_EQ(m->count, n >= 1 && n <= 5 && n != 4 ? n : 4) << n;

        auto rl = sample_of(kStart), rr = sample_of(kStart);
        sample_rotate_left(rl.get(), n);
        sample_rotate_right(rr.get(), n);
        Values left = kStart, right = kStart;
        if (n >= 0) {
            std::rotate(left.begin(), left.begin() + n % 4, left.end());
            std::rotate(right.rbegin(), right.rbegin() + n % 4, right.rend());
        }
        EXPECT_EQ(values_of(rl.get()), left) << n;
        EXPECT_EQ(values_of(rr.get()), right) << n;

        auto sh = sample_of(kStart);
        sample_shr(sh.get(), n);
        sample_shl(sh.get(), n);
        if (n < 0 || n >= 33 || n == 32) {
            EXPECT_EQ(values_of(sh.get()), kStart) << n;
        }

        int8_t bytes[4] = {1, -2, 3, -4};
        Own<sample_del> made(sample_from_bytes(bytes, n < 0 ? n : n % 5));
        EXPECT_EQ(made.get() == nullptr, n < 0);
    }
}

// Arithmetic with extreme factors, divisors and bounds wraps or saturates;
// the count never changes.
TEST(ExtremesSample, ArithmeticWithExtremeArgumentsKeepsTheCount) {
    sweep<2>({3, 2}, extremes({4}), [](const std::array<int32_t, 2> &a) {
        auto s = sample_of({INT32_MIN, -1, 0, INT32_MAX});
        auto b = sample_of({INT32_MAX, INT32_MIN, 1});
        sample_mul(s.get(), a[0]);
        sample_div(s.get(), a[1]);
        sample_add_scaled(s.get(), b.get(), a[0], a[1]);
        sample_add_fixed(s.get(), b.get(), a[1]);
        sample_fit_range(s.get(), a[0], a[1]);
        sample_normalize(s.get(), a[0]);
        EXPECT_EQ(s->count, 4);
    });
}

// ---- ARRAY and LIST ----------------------------------------------------------------

// ARRAY of int32 values and LIST of handles behind one face, so that their
// index and range calls share one model. A list's value v is the handle &slots[v].
static int slots[100];

struct ArrayFace {
    using Rec = Own<array_del>;
    static Rec of(const Values &v) {
        Rec a(array_new());
        for (int32_t x : v) array_push(a, &x);
        return a;
    }
    static Values items(const ARRAY *a) {
        Values v(a->count);
        if (a->count) memcpy(v.data(), a->data, (size_t)a->count * 4);
        return v;
    }
    static int32_t get(ARRAY *a, int32_t i) {
        int32_t got = -5;
        array_get(a, &got, i);
        return got;
    }
    static void set(ARRAY *a, int32_t v, int32_t i) { array_set(a, &v, i); }
    static void insert(ARRAY *a, int32_t v, int32_t i) { array_insert(a, &v, i); }
    static constexpr auto remove = array_remove;
    static constexpr auto set_count = array_set_count;
    static constexpr auto extract = array_extract;
    static constexpr auto remove_range = array_remove_range;
    static constexpr auto insert_range = array_insert_range;
};

struct ListFace {
    using Rec = Own<list_del>;
    static Rec of(const Values &v) {
        Rec l(list_new());
        for (int32_t x : v) list_push(l, &slots[x]);
        return l;
    }
    static Values items(const LIST *l) {
        Values v;
        for (int32_t i = 0; i < l->count; i++) v.push_back(l->items[i] ? (int32_t)((int *)l->items[i] - slots) : -1);
        return v;
    }
    static int32_t get(LIST *l, int32_t i) {
        void *h = list_get(l, i);
        return h ? (int32_t)((int *)h - slots) : -5;
    }
    static void set(LIST *l, int32_t v, int32_t i) { list_set(l, &slots[v], i); }
    static void insert(LIST *l, int32_t v, int32_t i) { list_insert(l, &slots[v], i); }
    static constexpr auto remove = list_remove;
    static constexpr auto set_count = list_set_count;
    static constexpr auto extract = list_extract;
    static constexpr auto remove_range = list_remove_range;
    static constexpr auto insert_range = list_insert_range;
};

template <class Face>
class ExtremesContainer : public testing::Test {
protected:
    void SetUp() override { testing::internal::CaptureStdout(); }  // LIST reports aloud
    void TearDown() override { testing::internal::GetCapturedStdout(); }
};
using Faces = testing::Types<ArrayFace, ListFace>;
TYPED_TEST_SUITE(ExtremesContainer, Faces);

TYPED_TEST(ExtremesContainer, IndexCallsRefuseOutsideAndActInside) {
    using F = TypeParam;
    for (int32_t i : extremes({4})) {
        bool in = in_count(i, kStart);
        auto a = F::of(kStart);
        EXPECT_EQ(F::get(a, i), in ? kStart[i] : -5) << i;
        Values want = kStart;
        if (in) want[i] = 99;
        F::set(a, 99, i);
        EXPECT_EQ(F::items(a), want) << i;

        want = kStart;
        if (i >= 0 && i <= 4) want.insert(want.begin() + i, 99);
        auto b = F::of(kStart);
        F::insert(b, 99, i);
        EXPECT_EQ(F::items(b), want) << i;

        want = kStart;
        if (in) want.erase(want.begin() + i);
        auto c = F::of(kStart);
        F::remove(c, i);
        EXPECT_EQ(F::items(c), want) << i;

        // Counts whose storage would pass 2^31 bytes are refused before any growth.
        auto d = F::of(kStart);
        F::set_count(d, i);
        EXPECT_EQ(d->count, i >= 0 && i <= 5 ? i : 4) << i;
    }
}

TYPED_TEST(ExtremesContainer, RangeCallsRefuseAnythingButAWholeRange) {
    using F = TypeParam;
    sweep<3>({1, 3, 2}, extremes({4}), [](const std::array<int32_t, 3> &r) {
        int64_t from = r[0], to = r[1], at = r[2];
        bool ok = from >= 0 && from < to && to <= 4;
        auto a = F::of(kStart);
        typename F::Rec part(F::extract(a, r[0], r[1]));
        EXPECT_EQ(part.get() != nullptr, ok);
        EXPECT_EQ(part.get() ? F::items(part) : Values{}, ok ? Values(kStart.begin() + from, kStart.begin() + to) : Values{});

        Values want = kStart;
        if (ok) want.erase(want.begin() + from, want.begin() + to);
        F::remove_range(a, r[0], r[1]);
        EXPECT_EQ(F::items(a), want);

        auto src = F::of(kStart), dst = F::of({1, 2, 3, 4});
        want = {1, 2, 3, 4};
        if (ok && at >= 0 && at <= 4) want.insert(want.begin() + at, kStart.begin() + from, kStart.begin() + to);
        F::insert_range(src, dst, r[0], r[1], r[2]);
        EXPECT_EQ(F::items(dst), want);
    });
}

TEST(ExtremesArray, CopiesAndElementSizesBeyondStorageAreRefused) {
    testing::internal::CaptureStdout();
    for (int32_t n : extremes({4})) {
        auto a = ArrayFace::of(kStart);
        EXPECT_EQ(array_equals_at(a, &kStart[2], n), n == 2);
        void *copy = array_get_copy(a, n);
        EXPECT_EQ(copy != nullptr, in_count(n, kStart));
        free(copy);
        array_set_element_size(a, (uint32_t)n);
        // Capacity 4 times the size must stay below 2^31 bytes.
        bool fits = n > 0 && (int64_t)n * 4 <= INT32_MAX;
        EXPECT_EQ(a->element_size, fits ? (uint32_t)n : 4u) << n;
        EXPECT_EQ(a->count, fits ? 0 : 4) << n;
        auto l = ListFace::of(kStart);
        EXPECT_EQ(list_reserve(l, n), n >= 4 && n <= 5) << n;
    }
    testing::internal::GetCapturedStdout();
}

// ---- CURSOR, CURSORX and the scrollers --------------------------------------------------

static int32_t wrap_of(int64_t a, int64_t n) { return (int32_t)(((a % n) + n) % n); }

TEST(ExtremesCursor, EveryStepAndSeekLandsInsideTheText) {
    sweep<3>({25, 3, 24}, extremes({25}), [](const std::array<int32_t, 3> &a) {
        Own<cursor_del> c(cursor_new());
        int32_t length = a[0], step = a[1], index = a[2];
        cursor_set(c.get(), "text", length, 1, step);
        cursor_seek(c.get(), index);
        cursor_advance(c.get());
        if (length > 0)
            EXPECT_EQ(c->index, wrap_of(wrap_of(index, length) + (int64_t)step, length));
        else
            EXPECT_EQ(c->index, 0);
    });
}

TEST(ExtremesCursor, CounterStaysInsideItsModulus) {
    sweep<5>({1024, 5, 1, 3, 2}, extremes({1024}), [](const std::array<int32_t, 5> &a) {
        Own<cursorx_del> c(cursorx_new());
        cursorx_set(c.get(), a[0], a[1], a[2], a[3], a[4]);
        cursorx_step(c.get());
        cursorx_step_offset(c.get());
        cursorx_restart(c.get(), a[1]);
        int32_t m = c->modulus;
        if (m > 0) {
            EXPECT_TRUE(c->value >= 0 && c->value < m) << m << " " << c->value;
        }
    });
}

// The step keeps the offset inside one character and moves the cursor by the
// whole characters, for any speed and offset.
TEST(ExtremesScroll, StepsOfAnySpeedKeepTheOffsetInsideOneCharacter) {
    Own<img_del> target(img_new());
    Own<font_del> font(font_new());
    font->sheet = img_new();
    Own<lfont_del> lfont(lfont_new());
    static const char text[] = "0123456789";
    sweep<4>({3, 0, 0, 0}, extremes({16, 256}), [&](const std::array<int32_t, 4> &a) {
        Own<scroll_del> s(scroll_new());
        scroll_set(s.get(), text, font.get(), target.get());
        s->speed = a[0];
        s->offset = a[1] < 0 ? 0 : a[1] % 6;
        s->x = a[2];
        s->y = a[3];
        scroll_step(s.get());
        EXPECT_TRUE(s->offset >= 0 && s->offset <= 6) << a[0];
        scroll_draw(s.get());
        scroll_draw_opaque(s.get());

        Own<lscroll_del> l(lscroll_new());
        lscroll_set(l.get(), text, lfont.get(), target.get());
        l->speed = a[0];
        l->x = a[2];
        l->y = a[3];
        lscroll_step(l.get());
        EXPECT_TRUE(l->offset >= 0 && l->offset <= 16) << a[0];
        EXPECT_TRUE(inside(l->cursor->index, 10));
        lscroll_draw(l.get());
        lscroll_draw_spiral(l.get(), a[1]);

        Own<lscrlxyz_del> z(lscrlxyz_new());
        lscrlxyz_set(z.get(), text, lfont.get(), target.get());
        z->speed = a[0];
        z->x = a[2];
        z->y = a[3];
        z->x_spread = z->y_amplitude = z->z_speed = a[1];
        lscrlxyz_step(z.get());
        EXPECT_TRUE(z->offset >= 0 && z->offset <= 16) << a[0];
        lscrlxyz_draw_wave(z.get());
    });
}

// The enlarged glyph walks only the cell pixels that lie on the sheet: the
// same picture as a walk over the whole cell, and a cell of 2^31 - 1 pixels a
// side costs no more than the sheet.
// A 16 x 16 sheet with a few set pixels, drawn at (-3, 2) into 64 x 64 with a 2 x 2 brush.
struct BigGlyph {
    Own<font_del> font{font_new()}, brush{font_new()};
    Own<img_del> target{img_new()};
    BigGlyph(int32_t cw, int32_t ch, int32_t code) {
        img_resize(target, 64, 64);
        font->sheet = img_new();
        for (int32_t i = 0; i < 16; i++) img_set_pixel(font->sheet, i, (i * 7) % 16, 0xFFFFFF);
        brush->sheet = img_new();
        img_clear(brush->sheet, 0x123456);
        font->target = brush->target = target;
        font->cell_width = cw, font->cell_height = ch, font->code = code;
        font->x = -3, font->y = 2;
        brush->cell_width = brush->cell_height = 2;
    }
};

TEST(ExtremesFont, BigGlyphsWalkOnlyTheSheet) {
    const int32_t small[][3] = {{6, 6, 1}, {40, 40, 0}, {5, 9, 7}, {-4, 6, 2}, {20, 3, -1}, {7, 7, 100}};
    for (const auto &c : small) {
        BigGlyph big(c[0], c[1], c[2]), walk(c[0], c[1], c[2]);
        font_draw_big(big.font, big.brush);
        // The plain walk over the whole cell, drawn brush by brush.
        int32_t sx = (int32_t)(((int64_t)c[2] * c[0]) % 16), sy = (int32_t)(((int64_t)c[2] * c[0]) / 16) * c[1];
        for (int32_t r = 0; r < c[1]; r++)
            for (int32_t q = 0; q < c[0]; q++) {
                if (!img_get_pixel(walk.font->sheet, sx + q, sy + r)) continue;
                walk.brush->x = -3 + q * 2, walk.brush->y = 2 + r * 2;
                font_draw_char(walk.brush);
            }
        EXPECT_TRUE(img_compare(big.target, walk.target)) << c[0] << " x " << c[1] << " code " << c[2];
        EXPECT_EQ(big.font->x, -3 + c[0] * 2);
    }
    sweep<3>({6, 6, 65}, extremes({16}), [&](const std::array<int32_t, 3> &a) {
        BigGlyph big(a[0], a[1], a[2]);
        font_draw_big(big.font, big.brush);
        font_draw_char(big.font);
        font_draw_char_opaque(big.font);
        font_draw_char_add(big.font);
    });
}
