// OBJ2D: the brace text reader, object lifecycle, copies and drawing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "audio/sample.h"
#include "imaging/img.h"
#include "tests/test_support.h"
#include "vector/list.h"
#include "vector/obj2d.h"
#include "vector/seg2d.h"
#include "vector/vec2d.h"

namespace {

int32_t segment_count(const OBJ2D *o) { return o->segments->count; }

SEG2D *segment(const OBJ2D *o, int32_t i) { return (SEG2D *)list_get(o->segments, i); }

// Expects segment i to run from (ax, ay) to (bx, by) with both ends in colour c.
void expect_segment(const OBJ2D *o, int32_t i, int32_t ax, int32_t ay, int32_t bx, int32_t by,
                    uint32_t c) {
    SEG2D *s = segment(o, i);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->a->x, ax);
    EXPECT_EQ(s->a->y, ay);
    EXPECT_EQ(s->b->x, bx);
    EXPECT_EQ(s->b->y, by);
    EXPECT_EQ(s->a->color, c);
    EXPECT_EQ(s->b->color, c);
}

// The parse result in one line: each object "{name|segments}" (or "null"),
// each segment "ax,ay,bx,by#colour" with "/colour" when the ends differ.
std::string describe(const Parsed &p) {
    if (!p.list) return "no list";
    std::string out;
    char buf[96];
    for (int32_t i = 0; i < p.count(); i++) {
        OBJ2D *o = p.at(i);
        if (i) out += " ";
        if (!o) {
            out += "null";
            continue;
        }
        out += "{";
        if (o->name) out += std::string(o->name) + "|";
        for (int32_t k = 0; k < segment_count(o); k++) {
            SEG2D *sg = segment(o, k);
            snprintf(buf, sizeof buf, "%s%d,%d,%d,%d#%X", k ? " " : "", sg->a->x, sg->a->y, sg->b->x, sg->b->y,
                     sg->a->color);
            out += buf;
            if (sg->b->color != sg->a->color) {
                snprintf(buf, sizeof buf, "/%u", sg->b->color);
                out += buf;
            }
        }
        out += "}";
    }
    return out;
}
constexpr uint32_t R = 0xFF0000, G = 0x00FF00, B = 0x0000FF, W = 0xFFFFFF;

}  // namespace

// ---- Reading the brace text -------------------------------------------------

// One text per line and what it parses to. Texts in `before` are parsed
// first: a pending minus outlives its parse, the colour does not.
TEST(Obj2dParse, TextsAndWhatTheyGive) {
    const std::string a255(255, 'a'), a254(254, 'a'), zeros(255, '0');
    const struct {
        std::vector<std::string> before;
        std::string text, want;
    } cases[] = {
        {{}, "{ s 1,2,3,4 }\n", "{1,2,3,4#0}"},
        {{}, "{ s 1,2,3,4 }", ""},  // the last token is not acted on
        {{}, "{ s 1 2 3 4", ""},
        {{}, " \n\t,;", ""},
        {{}, "color $ff0000\n{ s -1 2 3 4 }\n", "{-1,2,3,4#FF0000}"},
        {{}, "{ s 3, 0, 3, 4\n segment 8,0 8,9\n s 1 2 3 4,\n}\n", "{3,0,3,4#0 8,0,8,9#0 1,2,3,4#0}"},
        {{}, "{ name x }\n{ s 1 2 3 4 }\n", "{x }|1,2,3,4#0}"},
        {{}, "{ name  Big Apple # } \r\n s 1 2 3 4 }\n", "{Big Apple # } \r|1,2,3,4#0}"},
        {{}, "{ name\n\n   fred s 1 2 3 4\n}\n", "{fred s 1 2 3 4|}"},
        {{}, "{ name ,x\n}\n{ name \xA0\xFFy\n}\n", "{,x|} {y|}"},
        {{}, "{ NaMe Bob\n}\n", "{Bob|}"},
        {{}, "{ }\n{ name   ", "{}"},
        {{}, "# a font\nname Wire font\nversion 1.0 s 1 2 3 4\nauthor someone\ntype font\n{ }\n", "{}"},
        {{}, "{ version s 1 2 3 4\n AUTHOR s 5 6 7 8\n type\n\n s 9 9 9 9\n}\n", "{}"},
        {{}, "# { s 1 2 3 4 }\n{ }\n", "{}"},
        {{}, "{ s 1 2 3 4#comment\n}\n", "{1,2,3,4#0}"},
        {{}, "{ s 1 2 s 3 4 }\n", "{1,2,3,4#0}"},
        {{}, "{ s 1 2 3 4 5 6 7 8 }\n", "{1,2,3,4#0}"},
        {{}, "{ cyan s 1 2 3 4 x12 s 5 6 7 8 }\n", "{1,2,3,4#0 5,6,7,8#12}"},
        {{}, "{ x12 $34 s 1 2 3 4 }\n", "{1,2,3,4#0}"},
        {{}, "{ C hFF s 1 1 1 1 c XaB s 2 2 2 2 c H1 s 3 3 3 3 }\n", "{1,1,1,1#FF 2,2,2,2#AB 3,3,3,3#1}"},
        {{}, "c $123456789\n{ s 1 2 3 4 }\n", "{1,2,3,4#23456789}"},
        {{}, "{ c $ff s 1 2 3 4 }\n{ c $ x55 s 5 6 7 8 }\n", "{1,2,3,4#FF} {5,6,7,8#0}"},
        {{}, "c $12zz} { s 1 2 3 4 }\n", "{1,2,3,4#12}"},
        {{}, "{ s 1 2 c $ff 3 4 }\n", "{1,2,3,4#0/255}"},
        {{}, "{ c $aaccee }\n{ s 1 2 3 4 }\n", "{} {1,2,3,4#AACCEE}"},
        {{"c $ff\n{ }\n"}, "{ s 1 2 3 4 }\n", "{1,2,3,4#0}"},
        {{}, "{ s - foo { 5 2 3 4 }\n", "{-5,2,3,4#0}"},
        {{}, "- 7 { s 1 2 3 4 }\n", "{1,2,3,4#0}"},
        {{"{ }\n-\n"}, "{ s 1 2 3 4 }\n", "{-1,2,3,4#0}"},
        {{"{ }\n-\n", "{ s 1 2 3 4 }\n"}, "{ s 1 2 3 4 }\n", "{1,2,3,4#0}"},
        {{"{ }\n-"}, "{ s 1 2 3 4 }\n", "{1,2,3,4#0}"},
        {{}, "{ s 1-2 3 4 5 }\n", "{1,3,4,5#0}"},
        {{}, "{ s 1 2 3 4}\n", ""},
        {{}, "{ s 1 2 3 4}\n{ s 5 6 7 8 }\n", "{1,2,3,4#0 5,6,7,8#0}"},
        {{}, "}}\n{ }\n}\n", "null null {} null"},
        {{}, "{ { { s 1 2 3 4 }\n", "{1,2,3,4#0}"},
        {{}, "s 1 2 3 4 { }\n", "{}"},
        {{}, "{ s 1 2 } { 3 4 }\n", "{} {1,2,3,4#0}"},
        {{}, "{ }\n{ s 1 2 3 4\n", "{}"},
        {{}, "{\xA0s\x80" "1\xFF" "2\xC3" "3\xE9" "4\x90}\n", "{1,2,3,4#0}"},
        {{}, "{\x7Fs\x7F" "1\x7F" "2 3 4 }\n", "{1,2,3,4#0}"},
        {{}, "{ s 1 ! 2 : 3 [ 4 ~ }\n", "{1,2,3,4#0}"},
        {{}, "color $00ffffff\n{ apple\n s 1 2 3 4 }\n{ cloud\n s 5 6 7 8 x0000ff s 9 9 9 9 }\n",
         "{1,2,3,4#FFFFFF} {5,6,7,8#FFFFFF 9,9,9,9#FF}"},
        {{}, "{ " + a255 + "s 1 2 3 4 }\n", "{1,2,3,4#0}"},  // a word is cut after 255 characters
        {{}, "{ " + a254 + "s 1 2 3 4 }\n", "{}"},
        {{}, "{ s " + zeros + "7 3 4 }\n", "{0,7,3,4#0}"},
        {{}, "{ s 4294967297 4294967295 - 2147483648 2147483648 }\n", "{1,-1,-2147483648,-2147483648#0}"},
    };
    for (auto &c : cases) {
        for (auto &b : c.before) Parsed first(b.c_str());
        Parsed p(c.text.c_str());
        EXPECT_EQ(describe(p), c.want) << c.text;
    }
    EXPECT_EQ(obj2d_parse(nullptr), nullptr);
}

TEST(Obj2dParse, ManyBlocksAndLongNames) {
    std::string blocks;
    for (int i = 0; i < 256; i++) blocks += "{ }\n";
    Parsed p(blocks.c_str());
    ASSERT_EQ(p.count(), 256);
    for (int32_t i = 0; i < 256; i++) ASSERT_EQ(segment_count(p.at(i)), 0);
    std::string text = "{ name " + std::string(100000, 'n') + "\n}\n";
    Parsed q(text.c_str());
    ASSERT_EQ(q.count(), 1);
    EXPECT_EQ(strlen(q.at(0)->name), 100000u);
}

TEST(Obj2dParse, ReadsNoFurtherThanTheTerminatingZero) {
    // The text sits at the very end of its allocation: the sanitizer would
    // catch a read past it in every state that can meet the end.
    static const std::string long_word(300, 'a');
    const char *texts[] = {"$", "$ab", "# x", "name", "name ", "name x", "version x",
                           "{ s 1", "-", "c x1", "}", "s", long_word.c_str()};
    for (const char *t : texts) {
        std::unique_ptr<char[]> copy(new char[strlen(t) + 1]);
        strcpy(copy.get(), t);
        Parsed p(copy.get());
        ASSERT_NE(p.list, nullptr) << t;
    }
}

// ---- Objects ----------------------------------------------------------------

// The farthest point (largest x*x + y*y, the later one among equals) is
// tracked as segments come in and found again on request; an object whose
// points all sit at the origin keeps its record.
TEST(Obj2d, FarthestPointColourAndMove) {
    Own<obj2d_del> o(obj2d_new());
    SEG2D *s = make_segment(1, 1, 3, 0, R);
    obj2d_add_segment(o, s);
    EXPECT_EQ(list_get(o->points, 0), s->a);
    EXPECT_EQ(list_get(o->points, 1), s->b);
    EXPECT_EQ(o->farthest, 1);  // 9 > 2
    obj2d_add_segment(o, make_segment(0, 3, 2, 0, G));
    EXPECT_EQ(o->farthest, 1);  // 9 is not strictly below 9
    obj2d_add_segment(o, make_segment(0, 4, 0, 0, G));
    EXPECT_EQ(o->farthest, 4);
    o->farthest = -1;
    obj2d_find_farthest(o);
    EXPECT_EQ(o->farthest, 4);
    Own<obj2d_del> ties(obj2d_new()), origin(obj2d_new());
    obj2d_add_segment(ties, make_segment(3, 0, 0, 3, W));
    obj2d_add_segment(ties, make_segment(-3, 0, 1, 1, W));
    ties->farthest = -1;
    obj2d_find_farthest(ties);
    EXPECT_EQ(ties->farthest, 2);
    obj2d_add_segment(origin, make_segment(0, 0, 0, 0, W));
    origin->farthest = 7;
    obj2d_find_farthest(origin);
    EXPECT_EQ(origin->farthest, 7);
    obj2d_set_color(o, B);
    EXPECT_EQ(o->color, B);
    for (int32_t i = 0; i < 6; i++) EXPECT_EQ(((VEC2D *)list_get(o->points, i))->color, B);
    o->position->x = -4, o->position->y = -4;
    obj2d_translate_segments(o);
    expect_segment(o, 0, -3, -3, -1, -4, B);
}

// A copy needs as many points; it carries points, attributes and the name
// (the source keeps its own); a duplicate draws the same lines.
TEST(Obj2d, CopyAndDup) {
    Own<obj2d_del> a(obj2d_new()), empty(obj2d_new());
    obj2d_add_segment(a, make_segment(1, 2, 3, 4, R));
    a->angle = 99;
    obj2d_copy(a, empty);
    EXPECT_EQ(empty->angle, 0);
    EXPECT_EQ(empty->points->count, 0);
    Parsed p("{ name leaf\n c $ff00 s 1 2 3 4 s 5 6 7 8 }\n");
    OBJ2D *src = p.at(0);
    src->angle = 12, src->position->x = 9, src->scale->y = 3;
    Own<obj2d_del> dst(obj2d_new());
    obj2d_add_segment(dst, seg2d_new());
    obj2d_add_segment(dst, seg2d_new());
    obj2d_copy(src, dst);
    expect_segment(dst, 0, 1, 2, 3, 4, G);
    expect_segment(dst, 1, 5, 6, 7, 8, G);
    EXPECT_TRUE(dst->angle == 12 && dst->position->x == 9 && dst->scale->y == 3);
    EXPECT_EQ(dst->farthest, src->farthest);
    EXPECT_STREQ(dst->name, "leaf");
    dst.reset();
    EXPECT_STREQ(src->name, "leaf");
    src->angle = 0, src->scale->x = 2;
    Own<obj2d_del> copy(obj2d_dup(src));
    Own<img_del> x(grid_image(24, 12)), y(grid_image(24, 12));
    obj2d_draw(src, x);
    obj2d_draw(copy, y);
    EXPECT_TRUE(grid_identical(x, y));
    EXPECT_EQ(img_get_pixel(x, 11, 6), G);  // (1, 2) scaled by (2, 3), moved by 9
}

// Each way of drawing an object of two segments (red (0,0)-(2,0) and green
// (1,0)-(3,0), later segments first) with scale, angle and position set;
// a quarter turn shrinks by the table peak, points plot in list order.
TEST(Obj2dDraw, DrawsPlotsAndTheirTransforms) {
    const struct {
        const char *name;
        int32_t scale_x, angle, px, py;
        void (*draw)(OBJ2D *, IMG *);
        const char *want;  // 6 x 4: R, G or '.'
    } cases[] = {
        {"draw", 1, 0, 0, 0, obj2d_draw, "RRRG.. ...... ...... ......"},
        {"plain", 1, 0, 0, 0, obj2d_draw_plain, "RRRG.. ...... ...... ......"},
        {"scaled, moved", 2, 0, 1, 1, obj2d_draw, "...... .RRRRR ...... ......"},
        {"plain ignores both", 2, 0, 1, 1, obj2d_draw_plain, "RRRG.. ...... ...... ......"},
        {"clipped", 1, 0, -2, 3, obj2d_draw, "...... ...... ...... RG...."},
        {"quarter turn", 1, 256, 1, 0, obj2d_draw, ".R.... .R.... .G.... ......"},
        {"points", 2, 0, 0, 1, obj2d_plot_points, "RGRG.. ...... ...... ......"},
        {"points moved", 2, 0, 0, 1, obj2d_plot_transformed, "...... R.G.R. ...... ......"},
    };
    for (auto &c : cases) {
        Own<obj2d_del> o(obj2d_new());
        obj2d_add_segment(o, make_segment(0, 0, 2, 0, R));
        obj2d_add_segment(o, make_segment(1, 0, 3, 0, G));
        o->scale->x = c.scale_x, o->angle = c.angle, o->position->x = c.px, o->position->y = c.py;
        Own<img_del> img(grid_image(6, 4));
        c.draw(o, img);
        std::vector<uint32_t> want;
        for (const char *p = c.want; *p; p++)
            if (*p != ' ') want.push_back(*p == 'R' ? R : *p == 'G' ? G : 0);
        EXPECT_TRUE(grid_equals(img, want)) << c.name;
        expect_segment(o, 0, 0, 0, 2, 0, R);  // drawing leaves the segments alone
        c.draw(o, nullptr);
    }
    obj2d_draw(nullptr, nullptr);
    EXPECT_EQ(obj2d_dup(nullptr), nullptr);
}


// ---- Drawing ----------------------------------------------------------------








// ---- In-place changes, export, proximity -------------------------------------

TEST(Obj2d, ApplyTransformScalesRotatesAndMovesEveryPoint) {
    Own<obj2d_del> o(obj2d_new());
    obj2d_add_segment(o, make_segment(16, 0, 2, 1, W));
    o->scale->x = 1;
    o->angle = 256;
    o->position->x = 10;
    obj2d_apply_transform(o);
    // (16, 0) -> (0, 15) -> (10, 15); (2, 1): x = (0 - 32766) >> 15 = -1,
    // y = (65532 + 0) >> 15 = 1 -> (9, 1).
    expect_segment(o, 0, 10, 15, 9, 1, W);
}

TEST(Obj2d, ScaleAndDivide) {
    Own<obj2d_del> o(obj2d_new());
    obj2d_add_segment(o, make_segment(3, -5, 7, 8, W));
    obj2d_scale(o, 2);
    expect_segment(o, 0, 6, -10, 14, 16, W);
    obj2d_divide(o, -4);
    expect_segment(o, 0, -1, 2, -3, -4, W);
    obj2d_divide(o, 0);  // refused: nothing changes
    expect_segment(o, 0, -1, 2, -3, -4, W);
}

TEST(Obj2d, ExportCoordsAppendsTransformedEndsLastSegmentFirst) {
    Own<obj2d_del> o(obj2d_new());
    obj2d_add_segment(o, make_segment(1, 2, 3, 4, W));
    obj2d_add_segment(o, make_segment(5, 6, 7, 8, W));
    o->scale->y = 2;
    o->position->x = 100;
    Own<sample_del> s(sample_new());
    obj2d_export_coords(o, s);
    ASSERT_EQ(s->count, 8);
    const int32_t expected[] = {105, 12, 107, 16, 101, 4, 103, 8};
    for (int32_t i = 0; i < 8; i++) EXPECT_EQ(sample_get(s, i), expected[i]) << i;
}

// Near: squared distance of the positions against r1 + r2 + r1 * r2, the
// squared radii of the farthest points; objects without points are never
// near. Collide compares the stored segments' boxes.
TEST(Obj2d, NearAndCollide) {
    const struct {
        int32_t tx, ty;
        bool near;
    } cases[] = {{1, 0, true} /* r2 = 0, d = 1 */, {2, 0, false} /* d = 4 > 3 */, {1, 1, true} /* d = 2 */};
    for (auto &c : cases) {
        Own<obj2d_del> s(obj2d_new()), t(obj2d_new());
        obj2d_add_segment(s, make_segment(0, 0, 1, 0, W));
        obj2d_add_segment(t, make_segment(0, 0, 1, 0, W));
        t->position->x = c.tx, t->position->y = c.ty;
        EXPECT_EQ(obj2d_near(s, t), c.near) << c.tx << "," << c.ty;
    }
    Own<obj2d_del> s(obj2d_new()), t(obj2d_new()), none(obj2d_new());
    obj2d_add_segment(s, make_segment(0, 0, 2, 2, W));
    obj2d_add_segment(t, make_segment(2, 2, 3, 3, W));
    EXPECT_FALSE(obj2d_near(s, none));
    EXPECT_FALSE(obj2d_near(s, nullptr));
    EXPECT_FALSE(obj2d_collide(none, s));
    EXPECT_TRUE(obj2d_collide(s, t));
    segment(t, 0)->a->x = 3;
    EXPECT_FALSE(obj2d_collide(s, t));
}
