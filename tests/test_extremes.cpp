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

static Own<array_del> array_of(const Values &v) {
    Own<array_del> a(array_new());
    for (int32_t x : v) array_push(a.get(), &x);
    return a;
}

static Values elements_of(const ARRAY *a) {
    Values v(a->count);
    if (a->count) memcpy(v.data(), a->data, (size_t)a->count * 4);
    return v;
}

static bool range_ok(int64_t from, int64_t to, int64_t count) {
    return from >= 0 && from < to && to <= count;
}

TEST(ExtremesArray, IndexCallsRefuseOutsideAndActInside) {
    int32_t x = 99;
    for (int32_t i : extremes({4})) {
        auto a = array_of(kStart);
        bool in = in_count(i, kStart);
        int32_t got = -5;
        array_get(a.get(), &got, i);
        EXPECT_EQ(got, in ? kStart[i] : -5);
        EXPECT_EQ(array_equals_at(a.get(), &kStart[2], i), i == 2);
        void *copy = array_get_copy(a.get(), i);
        EXPECT_EQ(copy != nullptr, in);
        free(copy);

        Values want = kStart;
        if (in) want[i] = x;
        array_set(a.get(), &x, i);
        EXPECT_EQ(elements_of(a.get()), want);

        want = kStart;
        if (i >= 0 && i <= 4) want.insert(want.begin() + i, x);
        auto b = array_of(kStart);
        array_insert(b.get(), &x, i);
        EXPECT_EQ(elements_of(b.get()), want) << i;

        want = kStart;
        if (in) want.erase(want.begin() + i);
        auto c = array_of(kStart);
        array_remove(c.get(), i);
        EXPECT_EQ(elements_of(c.get()), want) << i;

        auto d = array_of(kStart);
        array_set_count(d.get(), i);
        EXPECT_EQ(d->count, i >= 0 && i <= 5 ? i : 4) << i;
    }
}

TEST(ExtremesArray, RangeCallsRefuseAnythingButAWholeRange) {
    sweep<3>({1, 3, 2}, extremes({4}), [](const std::array<int32_t, 3> &r) {
        int64_t from = r[0], to = r[1], at = r[2];
        bool ok = range_ok(from, to, 4);
        auto a = array_of(kStart);
        Own<array_del> part(array_extract(a.get(), r[0], r[1]));
        EXPECT_EQ(part.get() != nullptr, ok);
        if (ok) {
            EXPECT_EQ(elements_of(part.get()), Values(kStart.begin() + from, kStart.begin() + to));
        }

        Values want = kStart;
        if (ok) want.erase(want.begin() + from, want.begin() + to);
        array_remove_range(a.get(), r[0], r[1]);
        EXPECT_EQ(elements_of(a.get()), want);

        auto src = array_of(kStart), dst = array_of({1, 2, 3, 4});
        want = {1, 2, 3, 4};
        if (ok && at >= 0 && at <= 4)
            want.insert(want.begin() + at, kStart.begin() + from, kStart.begin() + to);
        array_insert_range(src.get(), dst.get(), r[0], r[1], r[2]);
        EXPECT_EQ(elements_of(dst.get()), want);
    });
}

TEST(ExtremesArray, ElementSizesBeyondStorageAreRefused) {
    for (int32_t n : extremes({4})) {
        auto a = array_of(kStart);
        array_set_element_size(a.get(), (uint32_t)n);
        // Capacity 4 times the size must stay below 2^31 bytes.
        bool fits = n > 0 && (int64_t)n * 4 <= INT32_MAX;
        EXPECT_EQ(a->element_size, fits ? (uint32_t)n : 4u) << n;
        EXPECT_EQ(a->count, fits ? 0 : 4) << n;
    }
}

static int handles[4];

static Own<list_del> list_of(int n) {
    Own<list_del> l(list_new());
    for (int k = 0; k < n; k++) list_push(l.get(), &handles[k]);
    return l;
}

static std::vector<void *> items_of(const LIST *l) {
    return std::vector<void *>(l->items, l->items + l->count);
}

TEST(ExtremesList, IndexCallsRefuseOutsideAndActInside) {
    testing::internal::CaptureStdout();  // LIST reports aloud
    int other = 0;
    for (int32_t i : extremes({4})) {
        auto l = list_of(4);
        std::vector<void *> start = items_of(l.get()), want = start;
        bool in = inside(i, 4);
        EXPECT_EQ(list_get(l.get(), i), in ? start[i] : nullptr);
        if (in) want[i] = &other;
        list_set(l.get(), &other, i);
        EXPECT_EQ(items_of(l.get()), want);

        auto b = list_of(4);
        want = start;
        if (i >= 0 && i <= 4) want.insert(want.begin() + i, &other);
        list_insert(b.get(), &other, i);
        EXPECT_EQ(items_of(b.get()), want);

        auto c = list_of(4);
        want = start;
        if (in) want.erase(want.begin() + i);
        list_remove(c.get(), i);
        EXPECT_EQ(items_of(c.get()), want);

        // Counts whose slots would pass 2^31 bytes are refused before any storage.
        auto d = list_of(4);
        list_set_count(d.get(), i);
        EXPECT_EQ(d->count, i >= 0 && i <= 5 ? i : 4) << i;
        auto e = list_of(4);
        EXPECT_EQ(list_reserve(e.get(), i), i >= 4 && i <= 5) << i;
    }
    testing::internal::GetCapturedStdout();
}

TEST(ExtremesList, RangeCallsRefuseAnythingButAWholeRange) {
    testing::internal::CaptureStdout();
    sweep<3>({1, 3, 2}, extremes({4}), [](const std::array<int32_t, 3> &r) {
        int64_t from = r[0], to = r[1], at = r[2];
        bool ok = range_ok(from, to, 4);
        auto l = list_of(4);
        std::vector<void *> start = items_of(l.get());
        Own<list_del> part(list_extract(l.get(), r[0], r[1]));
        EXPECT_EQ(part.get() != nullptr, ok);

        std::vector<void *> want = start;
        if (ok) want.erase(want.begin() + from, want.begin() + to);
        list_remove_range(l.get(), r[0], r[1]);
        EXPECT_EQ(items_of(l.get()), want);

        auto src = list_of(4), dst = list_of(2);
        want = items_of(dst.get());
        if (ok && at >= 0 && at <= 2)
            want.insert(want.begin() + at, start.begin() + from, start.begin() + to);
        list_insert_range(src.get(), dst.get(), r[0], r[1], r[2]);
        EXPECT_EQ(items_of(dst.get()), want);
    });
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
TEST(ExtremesFont, BigGlyphsWalkOnlyTheSheet) {
    auto make = [](int32_t cw, int32_t ch, int32_t code, FONT **font, FONT **brush, IMG **target) {
        *font = font_new();
        *brush = font_new();
        *target = img_new();
        img_resize(*target, 64, 64);
        (*font)->sheet = img_new();  // 16 x 16, a few set pixels
        for (int32_t i = 0; i < 16; i++) img_set_pixel((*font)->sheet, i, (i * 7) % 16, 0xFFFFFF);
        (*brush)->sheet = img_new();
        img_clear((*brush)->sheet, 0x123456);
        (*font)->target = *target;
        (*font)->cell_width = cw, (*font)->cell_height = ch, (*font)->code = code;
        (*font)->x = -3, (*font)->y = 2;
        (*brush)->cell_width = (*brush)->cell_height = 2;
    };
    struct Case {
        int32_t cw, ch, code;
    };
    const Case small[] = {{6, 6, 1}, {40, 40, 0}, {5, 9, 7}, {-4, 6, 2}, {20, 3, -1}, {7, 7, 100}};
    for (const Case &c : small) {
        FONT *font, *brush;
        IMG *target;
        make(c.cw, c.ch, c.code, &font, &brush, &target);
        font_draw_big(font, brush);
        // The plain walk over the whole cell, drawn by hand into a second target.
        FONT *f2, *b2;
        IMG *t2;
        make(c.cw, c.ch, c.code, &f2, &b2, &t2);
        int32_t sx = (int32_t)(((int64_t)c.code * c.cw) % 16),
                sy = (int32_t)(((int64_t)c.code * c.cw) / 16) * c.ch;
        b2->target = t2;
        for (int32_t r = 0; r < c.ch; r++)
            for (int32_t q = 0; q < c.cw; q++) {
                if (!img_get_pixel(f2->sheet, sx + q, sy + r)) continue;
                b2->x = f2->x + q * 2, b2->y = f2->y + r * 2;
                font_draw_char(b2);
            }
        EXPECT_TRUE(img_compare(target, t2)) << c.cw << " x " << c.ch << " code " << c.code;
        EXPECT_EQ(font->x, -3 + c.cw * 2);
        for (FONT *f : {font, brush, f2, b2}) font_del(&f);
        img_del(&target);
        img_del(&t2);
    }
    sweep<3>({6, 6, 65}, extremes({16}), [&](const std::array<int32_t, 3> &a) {
        FONT *font, *brush;
        IMG *target;
        make(a[0], a[1], a[2], &font, &brush, &target);
        font_draw_big(font, brush);
        font_draw_char(font);
        font_draw_char_opaque(font);
        font_draw_char_add(font);
        for (FONT *f : {font, brush}) font_del(&f);
        img_del(&target);
    });
}
