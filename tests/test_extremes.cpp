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
using A3 = std::array<int32_t, 3>;
static const Values kStart = {10, 20, 30, 40};

static bool in_count(int64_t i, const Values &v) { return inside(i, (int64_t)v.size()); }

// ---- SAMPLE, ARRAY and LIST behind one face ------------------------------------------
// An element reads 0 when nothing is read. A list's value v is the handle &slots[v].
static int slots[100];

struct SampleFace {
    using Rec = Own<sample_del>;
    static Rec of(const Values &v) { Rec s(sample_new()); for (int32_t x : v) sample_push(s, x); return s; }
    static Values items(const SAMPLE *s) { return Values(s->data, s->data + s->count); }
    static int32_t get(SAMPLE *s, int32_t i) { return sample_get(s, i); }
    static void set(SAMPLE *s, int32_t v, int32_t i) { sample_set(s, i, v); }
    static void insert(SAMPLE *s, int32_t v, int32_t i) { sample_insert(s, v, i); }
    static void remove(SAMPLE *s, int32_t i) {
        int32_t before = s->count, left = sample_remove(s, i);
        EXPECT_EQ(left, s->count < before ? s->count : 0);
    }
    static constexpr auto set_count = sample_set_count;
};

struct ArrayFace {
    using Rec = Own<array_del>;
    static Rec of(const Values &v) { Rec a(array_new()); for (int32_t x : v) array_push(a, &x); return a; }
    static Values items(const ARRAY *a) { return Values((int32_t *)a->data, (int32_t *)a->data + a->count); }
    static int32_t get(ARRAY *a, int32_t i) { int32_t got = 0; array_get(a, &got, i); return got; }
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
    static Rec of(const Values &v) { Rec l(list_new()); for (int32_t x : v) list_push(l, &slots[x]); return l; }
    static int32_t slot(void *h) { return h ? (int32_t)((int *)h - slots) : 0; }
    static Values items(const LIST *l) { Values v; for (int32_t i = 0; i < l->count; i++) v.push_back(slot(l->items[i])); return v; }
    static int32_t get(LIST *l, int32_t i) { return slot(list_get(l, i)); }
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
template <class Face>
class ExtremesRange : public ExtremesContainer<Face> {};
using AllFaces = testing::Types<SampleFace, ArrayFace, ListFace>;
using RangeFaces = testing::Types<ArrayFace, ListFace>;
TYPED_TEST_SUITE(ExtremesContainer, AllFaces);
TYPED_TEST_SUITE(ExtremesRange, RangeFaces);

TYPED_TEST(ExtremesContainer, IndexCallsRefuseOutsideAndActInside) {
    using F = TypeParam;
    for (int32_t i : extremes({4})) {
        bool in = in_count(i, kStart);
        auto a = F::of(kStart), b = F::of(kStart), c = F::of(kStart), d = F::of(kStart);
        EXPECT_EQ(F::get(a, i), in ? kStart[i] : 0) << i;
        Values set = kStart, inserted = kStart, removed = kStart;
        if (in) set[i] = 99, removed.erase(removed.begin() + i);
        if (i >= 0 && i <= 4) inserted.insert(inserted.begin() + i, 99);
        F::set(a, 99, i), F::insert(b, 99, i), F::remove(c, i);
        // Counts whose storage would pass 2^31 bytes are refused before any growth.
        F::set_count(d, i);
        EXPECT_EQ((std::vector<Values>{F::items(a), F::items(b), F::items(c)}), (std::vector<Values>{set, inserted, removed})) << i;
        EXPECT_EQ(d->count, i >= 0 && i <= 5 ? i : 4) << i;
    }
}

TYPED_TEST(ExtremesRange, RangeCallsRefuseAnythingButAWholeRange) {
    using F = TypeParam;
    sweep<3>({1, 3, 2}, extremes({4}), [](const A3 &r) {
        int64_t from = r[0], to = r[1], at = r[2];
        bool ok = from >= 0 && from < to && to <= 4;
        auto a = F::of(kStart), src = F::of(kStart), dst = F::of({1, 2, 3, 4});
        typename F::Rec part(F::extract(a, r[0], r[1]));
        EXPECT_EQ(part.get() ? F::items(part) : Values{-1}, ok ? Values(kStart.begin() + from, kStart.begin() + to) : Values{-1});
        Values left = kStart, inserted = {1, 2, 3, 4};
        if (ok) left.erase(left.begin() + from, left.begin() + to);
        if (ok && at >= 0 && at <= 4) inserted.insert(inserted.begin() + at, kStart.begin() + from, kStart.begin() + to);
        F::remove_range(a, r[0], r[1]), F::insert_range(src, dst, r[0], r[1], r[2]);
        EXPECT_EQ(F::items(a), left);
        EXPECT_EQ(F::items(dst), inserted);
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
        EXPECT_EQ(std::make_pair(a->element_size, a->count), std::make_pair(fits ? (uint32_t)n : 4u, fits ? 0 : 4)) << n;
        EXPECT_EQ(list_reserve(ListFace::of(kStart), n), n >= 4 && n <= 5) << n;
    }
    testing::internal::GetCapturedStdout();
}

// ---- SAMPLE's own calls -----------------------------------------------------------------

static Values values_of(const SAMPLE *s) { return SampleFace::items(s); }

TEST(ExtremesSample, MovesCopyOnlyWholeRangesInside) {
    sweep<3>({2, 0, 1}, extremes({4}), [](const A3 &a) {
        int64_t n = a[0], from = a[1], to = a[2];
        bool ok = from >= 0 && to >= 0 && from + n <= 4 && to + n <= 4;
        for (bool same : {false, true}) {  // between two samples and within one
            auto src = SampleFace::of(kStart), dst = SampleFace::of({1, 2, 3, 4});
            SAMPLE *d = same ? src.get() : dst.get();
            Values want = values_of(d);
            for (int64_t k = 0; ok && k < n; k++) want[to + k] = kStart[from + k];
            sample_move(src, d, a[0], a[1], a[2]);
            EXPECT_EQ(values_of(d), want) << n << " " << from << " " << to;
        }
    });
}

TEST(ExtremesSample, RangeCallsClampOrRefuse) {
    auto b = SampleFace::of({30, 40, 50});
    sweep<2>({1, 3}, extremes({4}), [&](const std::array<int32_t, 2> &a) {
        int64_t from = a[0], to = a[1], f = std::clamp<int64_t>(from, 0, 4), t = std::clamp<int64_t>(to, f, 4);
        auto s = SampleFace::of(kStart), r = SampleFace::of(kStart);
        Own<sample_del> part(sample_extract(s, a[0], a[1]));
        EXPECT_EQ(part ? values_of(part) : Values{-1}, from > to ? Values{-1} : Values(kStart.begin() + f, kStart.begin() + t));
        // a = 10 20 30 40, b = 30 40 50: offset 2 lines up two matches; 30 is at 2.
        EXPECT_EQ(sample_match_count(s, b, a[0]), a[0] == 2 ? 2 : 0) << a[0];
        EXPECT_EQ(sample_find(s, 30, a[0]), in_count(from, kStart) && from <= 2 ? 2 : -1);
        // The ramp starts with y0 at the lower index whatever the values.
        sample_line(r, a[0], INT32_MIN, a[1], INT32_MAX);
        int64_t lo = std::min(from, to), hi = std::max(from, to);
        if (lo >= 0 && hi < 4) {
            EXPECT_EQ(r->data[lo], INT32_MIN);
        } else {
            EXPECT_EQ(values_of(r), kStart);
        }
    });
}

TEST(ExtremesSample, SizesBeyondStorageAreRefused) {
    auto src = SampleFace::of({7, 8});
    for (int32_t n : extremes({4})) {
        auto r = SampleFace::of(kStart), m = SampleFace::of(kStart), rl = SampleFace::of(kStart), rr = SampleFace::of(kStart);
        auto sh = SampleFace::of(kStart), is = SampleFace::of(kStart);
        // Outside, the inserted sample keeps the larger count with zeros at its end.
        Values inserted = kStart, left = kStart, right = kStart;
        inserted.insert(n >= 0 && n <= 4 ? inserted.begin() + n : inserted.end(), {(n >= 0 && n <= 4) * 7, (n >= 0 && n <= 4) * 8});
        std::rotate(left.begin(), left.begin() + (n < 0 ? 0 : n % 4), left.end());
        std::rotate(right.rbegin(), right.rbegin() + (n < 0 ? 0 : n % 4), right.rend());
        sample_insert_sample(is, src, n), sample_reserve(r, n), sample_resample(m, n);
        sample_rotate_left(rl, n), sample_rotate_right(rr, n), sample_shr(sh, n), sample_shl(sh, n);
        EXPECT_EQ((std::vector<Values>{values_of(is), values_of(rl), values_of(rr)}), (std::vector<Values>{inserted, left, right})) << n;
        EXPECT_EQ(r->capacity, n < 1 || n > 0x1FFFFFFF ? 32 : n) << n;
        EXPECT_EQ(m->count, n >= 1 && n <= 5 && n != 4 ? n : 4) << n;
        EXPECT_TRUE((n >= 0 && n < 32) || values_of(sh) == kStart) << n;
        const int8_t bytes[4] = {1, -2, 3, -4};
        EXPECT_EQ(Own<sample_del>(sample_from_bytes(bytes, n < 0 ? n : n % 5)).get() == nullptr, n < 0);
    }
}

// Arithmetic with extreme factors, divisors and bounds wraps or saturates;
// the count never changes.
TEST(ExtremesSample, ArithmeticWithExtremeArgumentsKeepsTheCount) {
    sweep<2>({3, 2}, extremes({4}), [](const std::array<int32_t, 2> &a) {
        auto s = SampleFace::of({INT32_MIN, -1, 0, INT32_MAX}), b = SampleFace::of({INT32_MAX, INT32_MIN, 1});
        sample_mul(s, a[0]), sample_div(s, a[1]), sample_add_scaled(s, b, a[0], a[1]);
        sample_add_fixed(s, b, a[1]), sample_fit_range(s, a[0], a[1]), sample_normalize(s, a[0]);
        EXPECT_EQ(s->count, 4);
    });
}

// ---- CURSOR, CURSORX and the scrollers --------------------------------------------------

static int32_t wrap_of(int64_t a, int64_t n) { return (int32_t)(((a % n) + n) % n); }

TEST(ExtremesCursor, EveryStepAndSeekLandsInsideTheText) {
    sweep<3>({25, 3, 24}, extremes({25}), [](const A3 &a) {
        Own<cursor_del> c(cursor_new());
        int32_t length = a[0], step = a[1], index = a[2];
        cursor_set(c, "text", length, 1, step), cursor_seek(c, index), cursor_advance(c);
        EXPECT_EQ(c->index, length > 0 ? wrap_of(wrap_of(index, length) + (int64_t)step, length) : 0);
    });
    sweep<5>({1024, 5, 1, 3, 2}, extremes({1024}), [](const std::array<int32_t, 5> &a) {
        Own<cursorx_del> c(cursorx_new());
        cursorx_set(c, a[0], a[1], a[2], a[3], a[4]), cursorx_step(c), cursorx_step_offset(c), cursorx_restart(c, a[1]);
        EXPECT_TRUE(c->modulus <= 0 || (c->value >= 0 && c->value < c->modulus)) << c->modulus << " " << c->value;
    });
}

// The step keeps the offset inside one character and moves the cursor by the
// whole characters, for any speed and offset.
TEST(ExtremesScroll, StepsOfAnySpeedKeepTheOffsetInsideOneCharacter) {
    Own<img_del> target(img_new());
    Own<font_del> font(font_new());
    Own<lfont_del> lfont(lfont_new());
    font->sheet = img_new();
    static const char text[] = "0123456789";
    sweep<4>({3, 0, 0, 0}, extremes({16, 256}), [&](const std::array<int32_t, 4> &a) {
        Own<scroll_del> s(scroll_new());
        Own<lscroll_del> l(lscroll_new());
        Own<lscrlxyz_del> z(lscrlxyz_new());
        scroll_set(s, text, font, target), lscroll_set(l, text, lfont, target), lscrlxyz_set(z, text, lfont, target);
        s->speed = l->speed = z->speed = a[0];
        s->x = l->x = z->x = a[2];
        s->y = l->y = z->y = a[3];
        s->offset = a[1] < 0 ? 0 : a[1] % 6;
        z->x_spread = z->y_amplitude = z->z_speed = a[1];
        scroll_step(s), lscroll_step(l), lscrlxyz_step(z);
        EXPECT_TRUE(s->offset >= 0 && s->offset <= 6) << a[0];
        EXPECT_TRUE(l->offset >= 0 && l->offset <= 16 && inside(l->cursor->index, 10)) << a[0];
        EXPECT_TRUE(z->offset >= 0 && z->offset <= 16) << a[0];
        scroll_draw(s), scroll_draw_opaque(s), lscroll_draw(l), lscroll_draw_spiral(l, a[1]), lscrlxyz_draw_wave(z);
    });
}

// The enlarged glyph walks only the cell pixels that lie on the sheet: the
// same picture as a walk over the whole cell, and a cell of 2^31 - 1 pixels a
// side costs no more than the sheet. A 16 x 16 sheet with a few set pixels,
// drawn at (-3, 2) into 64 x 64 with a 2 x 2 brush.
struct BigGlyph {
    Own<font_del> font{font_new()}, brush{font_new()};
    Own<img_del> target{img_new()};
    BigGlyph(int32_t cw, int32_t ch, int32_t code) {
        img_resize(target, 64, 64);
        font->sheet = img_new(), brush->sheet = img_new();
        for (int32_t i = 0; i < 16; i++) img_set_pixel(font->sheet, i, (i * 7) % 16, 0xFFFFFF);
        img_clear(brush->sheet, 0x123456);
        font->target = brush->target = target;
        font->cell_width = cw, font->cell_height = ch, font->code = code, font->x = -3, font->y = 2;
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
    sweep<3>({6, 6, 65}, extremes({16}), [&](const A3 &a) {
        BigGlyph big(a[0], a[1], a[2]);
        font_draw_big(big.font, big.brush), font_draw_char(big.font), font_draw_char_opaque(big.font), font_draw_char_add(big.font);
    });
}
