// Vector shapes: VEC2D turns and arithmetic, SEG2D drawings, boxes and
// crossings, the OBJ2D brace text reader (one line per text) and objects,
// LFONT glyphs and numbers, LFRAME border motion and its recorded resets.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "audio/sample.h"
#include "host/random.h"
#include "tests/test_golden.h"
#include "tests/test_picture.h"
#include "tests/test_support.h"
#include "vector/lframe.h"

namespace {

constexpr uint32_t R = 0xFF0000, G = 0x00FF00, B = 0x0000FF, W = 0xFFFFFF;

std::string xy(const VEC2D *v) { return std::to_string(v->x) + "," + std::to_string(v->y); }
std::string ends(const SEG2D *s) { return xy(s->a) + " " + xy(s->b); }

// A picture with R, G, W (and '.' black) as its keys.
std::vector<uint32_t> rgb(const char *rows) { return picture(rows, "RGW", {R, G, W}); }

// An object as one line: "{name|ax,ay,bx,by#colour ...}" ("/colour" when the
// ends differ), or "null".
std::string shape(const OBJ2D *o) {
    if (!o) return "null";
    std::string out = "{";
    if (o->name) out.append(o->name).append("|");
    char buf[96];
    for (int32_t k = 0; k < o->segments->count; k++) {
        SEG2D *s = (SEG2D *)list_get(o->segments, k);
        snprintf(buf, sizeof buf, "%s%d,%d,%d,%d#%X", k ? " " : "", s->a->x, s->a->y, s->b->x, s->b->y, s->a->color);
        out += buf;
        if (s->b->color != s->a->color) out.append("/").append(std::to_string(s->b->color));
    }
    return out + "}";
}

std::string describe(const Parsed &p) {
    if (!p.list) return "no list";
    std::string out;
    for (int32_t i = 0; i < p.count(); i++) out.append(i ? " " : "").append(shape(p.at(i)));
    return out;
}

// An object of the given segments, each as ax, ay, bx, by, colour.
OBJ2D *object(std::vector<std::array<int32_t, 5>> segments) {
    OBJ2D *o = obj2d_new();
    for (auto &s : segments) add_segment(o, s[0], s[1], s[2], s[3], (uint32_t)s[4]);
    return o;
}

}  // namespace

// ---- VEC2D and SEG2D ---------------------------------------------------------

// Turns are clockwise on screen, multiplied through the table and floored,
// so a full turn shrinks and a quarter turn of 16 gives 15; angle 0 is exact.
TEST(Vec2d, RotationsKeepTheColour) {
    const struct { int32_t x, y, angle; const char *want; } cases[] = {
        {100, -37, 0, "100,-37"}, {100, 0, 1024, "99,0"},     {16, 0, 256, "0,15"},     {-16, 0, 256, "0,-16"},
        {0, 10, 256, "-10,0"},    {10, 0, -256, "0,-10"},     {100, 50, 512, "-100,-50"}, {1000, 0, 128, "702,707"},
    };
    for (auto &c : cases) {
        VEC2D v = {c.x, c.y, 0x010203};
        vec2d_rotate(&v, c.angle);
        EXPECT_EQ(xy(&v) + "#" + std::to_string(v.color), std::string(c.want) + "#66051") << c.angle;
    }
}

TEST(Vec2d, ArithmeticChangesTheNamedArgumentAndWraps) {
    const struct { std::function<void(VEC2D *)> op; int32_t x, y; const char *want; } cases[] = {
        {[](VEC2D *v) { VEC2D o = {3, -4, 1}; vec2d_add(&o, v); EXPECT_EQ(xy(&o), "3,-4"); }, 10, 10, "13,6"},
        {[](VEC2D *v) { VEC2D o = {3, -4, 1}; vec2d_sub(v, &o); EXPECT_EQ(xy(&o), "3,-4"); }, 10, 10, "7,14"},
        {[](VEC2D *v) { vec2d_negate(v), vec2d_scale(v, 3); }, 5, -6, "-15,18"},
        {[](VEC2D *v) { VEC2D f = {2, -1, 1}; vec2d_mul(v, &f); }, -15, 18, "-30,-18"},
        {[](VEC2D *v) { vec2d_divide(v, 2); }, -7, 7, "-3,3"},  // toward zero
        {[](VEC2D *v) { EXPECT_EQ(printed([&] { vec2d_divide(v, 0); }), "VEC2D error\n"); }, -7, 7, "-7,7"},
        {[](VEC2D *v) { vec2d_divide(v, -1); }, INT_MIN, 0x40000000, "-2147483648,-1073741824"},
        {[](VEC2D *v) { vec2d_scale(v, 2); }, INT_MIN, -0x40000000, "0,-2147483648"},
    };
    for (auto &c : cases) {
        VEC2D v = {c.x, c.y, 0x222222};
        c.op(&v);
        EXPECT_EQ(xy(&v) + "#" + std::to_string(v.color), std::string(c.want) + "#2236962");
    }
    VEC2D a = {10, 3, 0}, b = {4, 7, 0}, len = {3, -4, 0}, c = {3, 4, 0xA5123456}, d = c;
    EXPECT_EQ(std::tuple(vec2d_dx(&a, &b), vec2d_dy(&a, &b), vec2d_length2(&len)), std::tuple(6, -4, 25));
    EXPECT_TRUE(vec2d_compare(&c, &d));
    d.color ^= 0x80000000;  // the colour's top byte counts too
    EXPECT_FALSE(vec2d_compare(&c, &d));
    vec2d_copy(&c, &d);
    Own<vec2d_del> e(vec2d_dup(&c));
    EXPECT_TRUE(vec2d_compare(&c, &d) && vec2d_compare(&c, e));
}

// Null arguments print "VEC2D error" (its switch is on) and give neutral values.
TEST(Vec2d, NullArgumentsReport) {
    VEC2D v = {1, 2, 0};
    const std::function<void()> calls[] = {
        [] { EXPECT_EQ(vec2d_length2(nullptr), -1); }, [&] { EXPECT_EQ(vec2d_dx(&v, nullptr), 0); },
        [&] { EXPECT_FALSE(vec2d_compare(&v, nullptr)); },
        [&] { vec2d_add(nullptr, &v); }, [&] { vec2d_sub(&v, nullptr); }, [&] { vec2d_plot_transformed(&v, 1, nullptr, nullptr); },
        [] { vec2d_del(nullptr); },
    };
    for (auto &call : calls) EXPECT_EQ(printed(call), "VEC2D error\n");
    EXPECT_EQ(xy(&v), "1,2");
    VEC2D *p = vec2d_new();
    EXPECT_EQ(printed([&] { vec2d_del(&p); }), "");
    EXPECT_EQ(p, nullptr);
}

// Points, segments and their transforms drawn into small images; the drawn
// records stay as they were.
TEST(Seg2d, DrawingsAsPictures) {
    const struct { const char *name; int32_t w, h; uint32_t fill; std::function<void(IMG *)> draw; std::vector<uint32_t> want; } cases[] = {
        {"plot clipped", 3, 2, 0, [](IMG *m) { for (VEC2D v : {VEC2D{1, 1, R}, {-1, 0, 1}, {3, 0, 1}, {0, -1, 1}, {0, 2, 1}}) vec2d_plot(&v, m); },
         rgb("...|.R.")},
        {"plot turned", 3, 3, 0, [](IMG *m) { VEC2D v = {2, 0, G}, o = {1, 1, 0}; vec2d_plot_transformed(&v, 256, &o, m); EXPECT_EQ(xy(&v), "2,0"); },
         rgb("...|...|.G.")},
        {"new segment", 3, 3, 0, [](IMG *m) { Own<seg2d_del> s(seg2d_new()); seg2d_draw(s, m); }, rgb("W..|.W.|...")},
        {"first end's colour", 3, 2, 0, [](IMG *m) { Own<seg2d_del> s(make_segment(0, 0, 3, 1, R)); s->b->color = G; seg2d_draw(s, m); },
         rgb("R..|.RR")},
        {"ends", 3, 2, 0, [](IMG *m) { Own<seg2d_del> s(make_segment(0, 1, 2, 0, R)); s->b->color = G; seg2d_plot_ends(s, m); },
         rgb("..G|R..")},
        {"turned and moved", 3, 4, 0, [](IMG *m) {
             Own<seg2d_del> s(make_segment(2, 0, 4, 0, R));
             VEC2D offset = {1, 0, 0};
             seg2d_draw_transformed(s, 256, &offset, m);
             EXPECT_EQ(ends(s), "2,0 4,0");
         }, rgb("...|.R.|.R.|.R.")},
        {"average once", 5, 1, 0x305070, [](IMG *m) { Own<seg2d_del> s(make_segment(0, 0, 3, 0, 0x102030)); seg2d_draw_average(s, m); },
         {0x203850, 0x203850, 0x203850, 0x203850, 0x305070}},
        {"add saturates", 5, 1, 0x305070, [](IMG *m) { Own<seg2d_del> s(make_segment(1, 0, 4, 0, 0xE00000)); seg2d_draw_add(s, m); },
         {0x305070, 0xFF5070, 0xFF5070, 0xFF5070, 0xFF5070}},
        {"refused", 2, 2, 0, [](IMG *m) {
             Own<seg2d_del> s(seg2d_new());
             seg2d_draw(nullptr, m), seg2d_draw(s, nullptr), seg2d_draw_transformed(s, 10, nullptr, m);
         }, rgb("..|..")},
    };
    for (auto &c : cases) {
        Own<img_del> img(grid_filled(c.w, c.h, c.fill));
        c.draw(img);
        EXPECT_TRUE(grid_equals(img, c.want)) << c.name;
    }
}

TEST(Seg2d, MovesScalesTurnsAndCopies) {
    Own<seg2d_del> s(make_segment(1, 2, 3, 4, W)), r(make_segment(10, 0, 20, 0, W));
    VEC2D offset = {10, -10, 0}, factors = {-1, 3, 0};
    seg2d_translate(s, &offset), seg2d_scale(s, 2), seg2d_mul(s, &factors);
    seg2d_translate(s, nullptr), seg2d_mul(s, nullptr), seg2d_copy(nullptr, s);
    EXPECT_EQ(ends(s), "-22,-48 -26,-36");  // (11,-8 13,-6) * 2 * (-1, 3)
    seg2d_rotate(r, 512);  // about the origin
    EXPECT_EQ(ends(r), "-10,0 -20,0");
    Own<seg2d_del> c(make_segment(1, 2, 3, 4, 0x123456)), d(seg2d_dup(c));
    EXPECT_TRUE(d->a != c->a && seg2d_compare(c, d));
    d->b->color = 0;
    EXPECT_FALSE(seg2d_compare(c, d));
    seg2d_copy(c, d);
    EXPECT_TRUE(seg2d_compare(c, d));
}

// Boxes overlap with their edges included; segments cross when they share a
// point, a touching end counting only when the other segment runs left to right.
TEST(Seg2d, BoxesAndCrossings) {
    const struct { int32_t a[4], b[4]; bool boxes, cross; } cases[] = {
        {{0, 0, 1, 1}, {2, 2, 3, 3}, false, false},   {{0, 0, 2, 2}, {2, 2, 3, 3}, true, true},
        {{0, 0, 2, 2}, {3, 3, 2, 2}, true, true},     {{0, 5, 10, 5}, {5, 5, 20, 5}, true, true},
        {{0, 5, 4, 5}, {5, 5, 20, 5}, false, false},  {{0, 0, 10, 0}, {0, 1, 10, 1}, false, false},
        {{0, 0, 10, 10}, {0, 10, 10, 0}, true, true}, {{0, 0, 2, 2}, {10, 0, 12, -2}, false, false},
        {{0, 8, 4, 4}, {0, 0, 4, 4}, true, true},     {{4, 4, 0, 8}, {0, 0, 4, 4}, true, false},
        {{5, 0, 5, 10}, {0, 5, 10, 5}, true, true},   {{3, 0, 5, 0}, {0, 0, 3, 0}, true, true},
        {{0, 3, 0, 5}, {0, 0, 0, 3}, true, false},  // vertical: taken as steep lines
    };
    for (auto &c : cases) {
        Own<seg2d_del> a(make_segment(c.a[0], c.a[1], c.a[2], c.a[3], W)), b(make_segment(c.b[0], c.b[1], c.b[2], c.b[3], W));
        EXPECT_EQ(seg2d_boxes_overlap(a, b), c.boxes) << ends(a) << " / " << ends(b);
        EXPECT_EQ(seg2d_boxes_overlap(b, a), c.boxes) << ends(b) << " / " << ends(a);
        EXPECT_EQ(seg2d_intersect(a, b), c.cross) << ends(a) << " / " << ends(b);
    }
    Own<seg2d_del> a(make_segment(0, 5, 10, 5, W)), b(make_segment(5, 5, 20, 5, W));
    EXPECT_TRUE(seg2d_collinear_overlap(a, b));
    VEC2D *keep = std::exchange(b->b, nullptr);  // a missing end gives false, silently
    EXPECT_EQ(printed([&] { EXPECT_FALSE(seg2d_intersect(a, b) || seg2d_boxes_overlap(a, b) || seg2d_compare(a, b)); }), "");
    b->b = keep;
}

// ---- OBJ2D text --------------------------------------------------------------

// Control characters and bytes above 126 in the cases file, unescaped.
std::string unescape(const std::string &s) {
    std::string out;
    for (size_t i = 0; i < s.size(); i++) {
        char c = s[i] == '\\' && i + 1 < s.size() ? s[++i] : 0;
        if (c == 'x') out += (char)std::stoi(s.substr(i + 1, 2), nullptr, 16), i += 2;
        else out += !c ? s[i] : c == 'n' ? '\n' : c == 't' ? '\t' : c == 'r' ? '\r' : c;
    }
    return out;
}

// The cases of tests/data/obj2d_parse.txt, one text per line and what it
// parses to; then words cut after 255 characters and numbers that wrap.
TEST(Obj2dParse, TextsAndWhatTheyGive) {
    std::ifstream cases(std::string(RIVO_SOURCE_DIR) + "/tests/data/obj2d_parse.txt");
    int32_t read = 0;
    for (std::string line; std::getline(cases, line);) {
        if (line.rfind("//", 0) == 0) continue;
        read++;
        size_t arrow = line.find(" => ");
        ASSERT_NE(arrow, std::string::npos) << line;
        std::string texts = line.substr(0, arrow), want = unescape(line.substr(arrow + 4));
        for (size_t bar; (bar = texts.find(" ||| ")) != std::string::npos; texts.erase(0, bar + 5)) Parsed first(unescape(texts.substr(0, bar)).c_str());
        EXPECT_EQ(describe(Parsed(unescape(texts).c_str())), want == "(none)" ? "" : want) << line;
    }
    EXPECT_EQ(read, 46);
    const std::string a255(255, 'a'), a254(254, 'a'), zeros(255, '0');
    EXPECT_EQ(describe(Parsed(("{ " + a255 + "s 1 2 3 4 }\n").c_str())), "{1,2,3,4#0}");
    EXPECT_EQ(describe(Parsed(("{ " + a254 + "s 1 2 3 4 }\n").c_str())), "{}");
    EXPECT_EQ(describe(Parsed(("{ s " + zeros + "7 3 4 }\n").c_str())), "{0,7,3,4#0}");
    EXPECT_EQ(obj2d_parse(nullptr), nullptr);
}

// 256 blank blocks give 256 empty objects; a name may be very long; texts
// that end in every state of the reader are read no further than their zero
// (each sits at the end of its own allocation, for the sanitizer).
TEST(Obj2dParse, ManyBlocksLongNamesAndEveryEnd) {
    std::string blocks, want;
    for (int i = 0; i < 256; i++) blocks += "{ }\n", want += i ? " {}" : "{}";
    EXPECT_EQ(describe(Parsed(blocks.c_str())), want);
    Parsed named(("{ name " + std::string(100000, 'n') + "\n}\n").c_str());
    EXPECT_EQ(strlen(named.at(0)->name), 100000u);
    const std::string texts[] = {"$", "$ab", "# x", "name", "name ", "name x", "version x", "{ s 1", "-", "c x1", "}", "s", std::string(300, 'a')};
    for (const std::string &t : texts) {
        std::vector<char> copy(t.c_str(), t.c_str() + t.size() + 1);
        EXPECT_NE(Parsed(copy.data()).list, nullptr) << t;
    }
}

// ---- OBJ2D objects -----------------------------------------------------------

// The farthest point (largest x*x + y*y, the later one among equals) is
// tracked as segments come in and found again on request; an object whose
// points all sit at the origin keeps its record.
TEST(Obj2d, FarthestPointColourAndMove) {
    const struct { std::vector<std::array<int32_t, 5>> segments; int32_t added, before, found; } cases[] = {
        {{{1, 1, 3, 0, R}}, 1, -1, 1},                                   // 9 > 2
        {{{1, 1, 3, 0, R}, {0, 3, 2, 0, G}}, 1, -1, 2},                  // 9 is not above 9 as they come; the later on a rescan
        {{{1, 1, 3, 0, R}, {0, 3, 2, 0, G}, {0, 4, 0, 0, G}}, 4, -1, 4},
        {{{3, 0, 0, 3, W}, {-3, 0, 1, 1, W}}, 0, -1, 2},
        {{{0, 0, 0, 0, W}}, 0, 7, 7},
    };
    for (auto &c : cases) {
        Own<obj2d_del> o(object(c.segments));
        EXPECT_EQ(o->farthest, c.added);
        o->farthest = c.before;
        obj2d_find_farthest(o);
        EXPECT_EQ(o->farthest, c.found);
    }
    Own<obj2d_del> o(object({{1, 1, 3, 0, R}, {0, 4, 0, 0, G}}));
    EXPECT_EQ(list_get(o->points, 2), ((SEG2D *)list_get(o->segments, 1))->a);
    obj2d_set_color(o, B);
    o->position->x = -4, o->position->y = -4;
    obj2d_translate_segments(o);
    EXPECT_EQ(shape(o) + std::to_string(o->color), "{-3,-3,-1,-4#FF -4,0,-4,-4#FF}255");
}

// A copy needs as many points; it carries points, attributes and the name
// (the source keeps its own); a duplicate draws the same lines.
TEST(Obj2d, CopyAndDup) {
    Own<obj2d_del> a(object({{1, 2, 3, 4, R}})), empty(obj2d_new());
    a->angle = 99;
    obj2d_copy(a, empty);
    EXPECT_EQ(empty->angle + empty->points->count, 0);
    Parsed p("{ name leaf\n c $ff00 s 1 2 3 4 s 5 6 7 8 }\n");
    OBJ2D *src = p.at(0);
    src->angle = 12, src->position->x = 9, src->scale->y = 3;
    Own<obj2d_del> dst(object({{0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}}));
    obj2d_copy(src, dst);
    EXPECT_EQ(shape(dst), "{leaf|1,2,3,4#FF00 5,6,7,8#FF00}");
    EXPECT_TRUE(dst->angle == 12 && dst->position->x == 9 && dst->scale->y == 3 && dst->farthest == src->farthest);
    dst.reset();
    EXPECT_STREQ(src->name, "leaf");
    src->angle = 0, src->scale->x = 2;
    Own<obj2d_del> copy(obj2d_dup(src));
    Own<img_del> x(grid_image(24, 12)), y(grid_image(24, 12));
    obj2d_draw(src, x);
    obj2d_draw(copy, y);
    EXPECT_TRUE(grid_identical(x, y));
    EXPECT_EQ(img_get_pixel(x, 11, 6), G);  // (1, 2) scaled by (2, 3), moved by 9
    EXPECT_EQ(obj2d_dup(nullptr), nullptr);
}

// Each way of drawing red (0,0)-(2,0) and green (1,0)-(3,0) (later segments
// first) with scale x, angle and position; a quarter turn shrinks by the
// table peak; points plot in list order; drawing leaves the object alone.
TEST(Obj2d, DrawsPlotsAndTheirTransforms) {
    const struct { const char *name; int32_t scale_x, angle, px, py; void (*draw)(OBJ2D *, IMG *); const char *want; } cases[] = {
        {"draw", 1, 0, 0, 0, obj2d_draw, "RRRG..|......|......|......"},
        {"scaled, moved", 2, 0, 1, 1, obj2d_draw, "......|.RRRRR|......|......"},
        {"plain ignores both", 2, 0, 1, 1, obj2d_draw_plain, "RRRG..|......|......|......"},
        {"clipped", 1, 0, -2, 3, obj2d_draw, "......|......|......|RG...."},
        {"quarter turn", 1, 256, 1, 0, obj2d_draw, ".R....|.R....|.G....|......"},
        {"points", 2, 0, 0, 1, obj2d_plot_points, "RGRG..|......|......|......"},
        {"points moved", 2, 0, 0, 1, obj2d_plot_transformed, "......|R.G.R.|......|......"},
    };
    for (auto &c : cases) {
        Own<obj2d_del> o(object({{0, 0, 2, 0, R}, {1, 0, 3, 0, G}}));
        o->scale->x = c.scale_x, o->angle = c.angle, o->position->x = c.px, o->position->y = c.py;
        Own<img_del> img(grid_image(6, 4));
        c.draw(o, img);
        c.draw(o, nullptr);
        EXPECT_TRUE(grid_equals(img, rgb(c.want))) << c.name;
        EXPECT_EQ(shape(o), "{0,0,2,0#FF0000 1,0,3,0#FF00}");
    }
}

// In place on one white segment (a quarter turn takes (2, 1) to
// ((0 - 32766) >> 15, 65532 >> 15) = (-1, 1)), and the transformed ends
// exported last segment first.
TEST(Obj2d, InPlaceChangesAndExport) {
    const struct { int32_t ends[4]; void (*op)(OBJ2D *); const char *want; } cases[] = {
        {{16, 0, 2, 1}, [](OBJ2D *o) { o->angle = 256, o->position->x = 10, obj2d_apply_transform(o); }, "{10,15,9,1#FFFFFF}"},
        {{3, -5, 7, 8}, [](OBJ2D *o) { obj2d_scale(o, 2); }, "{6,-10,14,16#FFFFFF}"},
        {{6, -10, 14, 16}, [](OBJ2D *o) { obj2d_divide(o, -4), obj2d_divide(o, 0); }, "{-1,2,-3,-4#FFFFFF}"},
    };
    for (auto &c : cases) {
        Own<obj2d_del> o(object({{c.ends[0], c.ends[1], c.ends[2], c.ends[3], W}}));
        c.op(o);
        EXPECT_EQ(shape(o), c.want);
    }
    Own<obj2d_del> o(object({{1, 2, 3, 4, W}, {5, 6, 7, 8, W}}));
    o->scale->y = 2, o->position->x = 100;
    Own<sample_del> s(sample_new());
    obj2d_export_coords(o, s);
    EXPECT_EQ(std::vector<int32_t>(s->data, s->data + s->count), (std::vector<int32_t>{105, 12, 107, 16, 101, 4, 103, 8}));
}

// Near: squared distance of the positions against r1 + r2 + r1 * r2, the
// squared radii of the farthest points; objects without points are never
// near. Collide compares the stored segments' boxes.
TEST(Obj2d, NearAndCollide) {
    const struct { int32_t tx, ty; bool near; } cases[] = {{1, 0, true} /* r2 = 0, d = 1 */, {2, 0, false} /* d = 4 > 3 */, {1, 1, true}};
    for (auto &c : cases) {
        Own<obj2d_del> s(object({{0, 0, 1, 0, W}})), t(object({{0, 0, 1, 0, W}}));
        t->position->x = c.tx, t->position->y = c.ty;
        EXPECT_EQ(obj2d_near(s, t), c.near) << c.tx << "," << c.ty;
    }
    Own<obj2d_del> s(object({{0, 0, 2, 2, W}})), t(object({{2, 2, 3, 3, W}})), none(obj2d_new());
    EXPECT_FALSE(obj2d_near(s, none) || obj2d_near(s, nullptr) || obj2d_collide(none, s));
    EXPECT_TRUE(obj2d_collide(s, t));
    ((SEG2D *)list_get(t->segments, 0))->a->x = 3;
    EXPECT_FALSE(obj2d_collide(s, t));
}

// ---- LFONT -------------------------------------------------------------------

// Glyphs drawn at the pen on 4-pixel-wide cells (A: (0,0)-(1,1) red,
// B: (0,1)-(2,1) green, I: (0,0)-(3,0) red, code 0xE9 a red dot): the
// picture and where the pen ends. Codes outside the list or empty slots
// draw nothing and keep the pen; a turned glyph turns about its origin.
TEST(Lfont, GlyphsAtThePenAsPictures) {
    const struct { void (*draw)(LFONT *); const char *want; int32_t pen; } cases[] = {
        {[](LFONT *f) { f->position->x = 1, lfont_draw_line(f, "AB"); }, ".R........|..R..GGG..|..........|..........", 9},
        {[](LFONT *f) { f->position->x = f->position->y = 1, f->angle = 256, f->code = 'I', lfont_draw_char(f); },
         "..........|.R........|.R........|.R........", 5},
        {[](LFONT *f) { f->scale->x = f->scale->y = 2, lfont_draw_line(f, "A"); }, "R.........|.R........|..R.......|..........", 8},
        {[](LFONT *f) { lfont_draw_line(f, "\xE9"); }, "R.........|..........|..........|..........", 4},
        {[](LFONT *f) { for (int32_t code : {256, -1, INT32_MIN}) f->code = code, lfont_draw_char(f); },
         "..........|..........|..........|..........", 0},
        {[](LFONT *f) {
             Own<obj2d_del> g((OBJ2D *)list_get(f->glyphs, 'Z'));
             list_set(f->glyphs, nullptr, 'Z');
             f->code = 'Z', lfont_draw_char(f);
         }, "..........|..........|..........|..........", 0},
    };
    for (auto &c : cases) {
        GlyphFont f(10, 4, 4);
        for (auto [code, s] : std::vector<std::pair<int, std::array<int32_t, 5>>>{
                 {'A', {0, 0, 1, 1, R}}, {'B', {0, 1, 2, 1, G}}, {'I', {0, 0, 3, 0, R}}, {0xE9, {0, 0, 0, 0, R}},
                 {0, {0, 0, 3, 3, R}}, {255, {0, 0, 3, 3, R}}})
            add_segment(f.glyph(code), s[0], s[1], s[2], s[3], (uint32_t)s[4]);
        c.draw(f.font);
        EXPECT_TRUE(grid_equals(f.img, rgb(c.want))) << c.want;
        EXPECT_EQ(f.font->position->x, c.pen) << c.want;
    }
    Own<lfont_del> bare(lfont_new());  // no glyph list: refused
    bare->code = 1;
    lfont_draw_char(bare), lfont_draw_line(bare, "abc"), lfont_set_color(bare, R);
    lfont_draw_char(nullptr), lfont_draw_line(nullptr, "abc"), lfont_draw_hex32(nullptr, 1), lfont_draw_decimal(nullptr, 1);
    EXPECT_EQ(bare->position->x, 0);
}

// Numbers and lines through one-pixel glyphs coloured with their own code +
// 1 on cells of 1 x 1: the codes read back row by row, and where the pen ends
// (x + 100 y). Lines of lfont_draw_text are size.y * scale.y apart.
TEST(Lfont, NumbersAndLinesAsCodes) {
    const struct { void (*draw)(LFONT *); const char *codes; int32_t pen; } cases[] = {
        {[](LFONT *f) { lfont_draw_decimal(f, 42), lfont_draw_decimal(f, 4294967295u); }, "00000000424294967295", 20},
        {[](LFONT *f) { lfont_draw_hex16(f, 0xBEEF), lfont_draw_hex8(f, 0x1234), lfont_draw_hex32(f, 0x9A08F7B6); }, "BEEF349A08F7B6", 14},
        {[](LFONT *f) { lfont_draw_hex32(f, 0xDEADC0DE), lfont_draw_line(f, "12\n34"), lfont_draw_line(f, " 1"); }, "DEADC0DE12.1", 12},
        {[](LFONT *f) { f->target = nullptr, lfont_draw_text(f, "12"); }, "", 0},
        {[](LFONT *f) { f->scale->y = 2, f->position->x = 3, lfont_draw_text(f, "12\n345"); }, "...12||...345", 206},
    };
    for (auto &c : cases) {
        GlyphFont f(20, 3, 1);
        for (const char *k = "0123456789ABCDEF"; *k; k++) add_segment(f.glyph(*k), 0, 0, 0, 0, (uint32_t)*k + 1);
        c.draw(f.font);
        std::string codes;
        for (int32_t y = 0; y < 3; y++) {
            std::string row;
            for (int32_t x = 0; x < 20; x++) row += img_get_pixel(f.img, x, y) ? (char)(img_get_pixel(f.img, x, y) - 1) : '.';
            codes.append(y ? "|" : "").append(row.substr(0, row.find_last_not_of('.') + 1));
        }
        EXPECT_EQ(codes.erase(codes.find_last_not_of('|') + 1), c.codes);
        EXPECT_EQ(f.font->position->x + 100 * f.font->position->y, c.pen) << c.codes;
    }
}

// Light colours: red 0x80, green and blue from 0x80 up (seed 1: 0x8080A9,
// 0x80C8A3, 0x8098BE first). The glyphs take them from the last to the first;
// a drawn glyph is coloured first; a refused code still spends its draw.
TEST(Lfont, ColoursAndDelete) {
    GlyphFont f(3, 1);
    add_segment(f.glyph('A'), 0, 0, 2, 0, R);
    random_srand(1);
    lfont_random_colors(f.font);
    EXPECT_EQ(std::tuple(f.glyph(255)->color, f.glyph(254)->color, f.glyph(253)->color), std::tuple(0x8080A9u, 0x80C8A3u, 0x8098BEu));
    lfont_set_color(f.font, G);
    EXPECT_EQ(((SEG2D *)list_get(f.glyph('A')->segments, 0))->b->color + f.glyph(7)->color, 2 * G);
    random_srand(1);
    f.font->code = 'A';
    lfont_draw_char_random(f.font);
    EXPECT_TRUE(grid_equals(f.img, std::vector<uint32_t>(3, 0x8080A9)));
    random_srand(1);  // rand() gives 41, 18467, 6334
    for (int32_t code : {300, -1}) f.font->code = code, lfont_draw_char_random(f.font);
    EXPECT_EQ(f.font->position->x, 16);
    EXPECT_EQ(random_rand(), 6334);
    // Deleting a font destroys each glyph once and clears its slots.
    LIST *glyphs = list_new();
    OBJ2D *shared = obj2d_new();
    for (OBJ2D *g : {shared, (OBJ2D *)nullptr, shared}) list_push(glyphs, g);
    LFONT *gone = lfont_new();
    gone->glyphs = glyphs;
    lfont_del(&gone);
    EXPECT_TRUE(gone == nullptr && glyphs->count == 3 && glyphs->items[0] == nullptr && glyphs->items[2] == nullptr);
    list_del(&glyphs);
}

// ---- LFRAME ------------------------------------------------------------------

namespace {

// The frame does not own its segments: the test releases them.
void release(LFRAME **f) {
    if ((*f)->line) seg2d_del(&(*f)->line);
    if ((*f)->velocity) seg2d_del(&(*f)->velocity);
    lframe_del(f);
}

// A point and its direction as "x,y vx,vy".
std::string step_point(LFRAME *f, std::array<int32_t, 4> p) {
    VEC2D pos = {p[0], p[1], 0}, dir = {p[2], p[3], 0};
    lframe_step_point(f, &pos, &dir);
    return xy(&pos) + " " + xy(&dir);
}

}  // namespace

// One step: inside it moves straight; reaching a side edge it turns along it
// in the same step (up, or down from the top row); reaching the top or
// bottom it turns left (right from the leftmost column).
TEST(Lframe, StepPointTurnsAtTheEdges) {
    const struct { int32_t size, speed; std::array<int32_t, 4> p; const char *want; } cases[] = {
        {256, 8, {100, 100, 1, -1}, "108,92 1,-1"}, {256, 8, {5, 100, -1, 0}, "0,92 0,-1"},   {256, 8, {5, 0, -1, 0}, "0,8 0,1"},
        {256, 8, {250, 100, 1, 0}, "255,92 0,-1"},  {256, 8, {250, 0, 1, 0}, "255,8 0,1"},    {256, 8, {100, 5, 0, -1}, "100,0 -1,0"},
        {256, 8, {0, 5, 0, -1}, "0,0 1,0"},         {256, 8, {100, 250, 0, 1}, "100,255 -1,0"}, {256, 8, {0, 250, 0, 1}, "0,255 1,0"},
        {256, 1, {254, 3, 1, 0}, "255,3 1,0"},      {4, 1, {0, 1, 0, -1}, "0,0 0,-1"},        {4, 1, {0, 0, 0, -1}, "0,0 1,0"},
        {4, 1, {3, 0, 1, 0}, "3,1 0,1"},            {4, 1, {3, 3, 0, 1}, "3,3 -1,0"},         {4, 1, {0, 3, -1, 0}, "0,2 0,-1"},
    };
    Own<release> f(lframe_new());
    for (auto &c : cases) {
        f->width = f->height = c.size, f->speed = c.speed;
        EXPECT_EQ(step_point(f, c.p), c.want) << c.p[0] << "," << c.p[1];
    }
    // Every point lies beyond the last column and row of sides of INT32_MIN:
    // it lands on both last lines, INT32_MAX as the 32 bits wrap.
    f->width = f->height = INT32_MIN, f->speed = 1;
    EXPECT_EQ(step_point(f, {5, 0, 1, 0}), "2147483647,2147483647 -1,0");
}

// Line and velocity ends after an edge, corner or random reset on a 200 x 100
// frame, per seed (the seeds cover all three edges and corners), and the
// generator's next draw (no draw more, none fewer): tests/data/lframe.txt.
TEST(Lframe, ResetsPutTheEndsOnEdges) {
    Golden g("lframe");
    const std::pair<const char *, void (*)(LFRAME *)> kinds[] = {{"edge", lframe_reset_edge}, {"corner", lframe_reset_corner}, {"random", lframe_reset_random}};
    for (auto [kind, reset] : kinds)
        for (uint32_t seed : {1u, 2u, 3u, 5u, 22u, 24u, 26u, 99u}) {
            Own<release> f(lframe_new());
            f->width = 200, f->height = 100;
            seg2d_del(&f->line), seg2d_del(&f->velocity);
            random_srand(seed);
            reset(f);
            char got[160];
            snprintf(got, sizeof got, "%s / %s %06X %06X speed %d next %d", ends(f->line).c_str(), ends(f->velocity).c_str(),
                     f->line->a->color, f->line->b->color, f->speed, random_rand());
            g.check(std::string(kind) + std::to_string(seed), got);
        }
    // A frame without room is refused: the segments stay, nothing is drawn.
    Own<release> f(lframe_new());
    SEG2D *line = f->line;
    random_srand(5);
    f->width = 0;
    lframe_reset_random(f), lframe_reset_edge(f);
    f->width = 10, f->height = -1;
    lframe_reset_corner(f);
    EXPECT_EQ(f->line, line);
    EXPECT_EQ(random_rand(), Lcg{5}.next());
}

// A step moves both ends; the middle is plotted at half the ends' sum (in
// the first end's colour), the ends in their own, the line clipped; copies
// and duplicates share the segments, a copy keeps its own size.
TEST(Lframe, StepDrawAndCopies) {
    Own<release> f(lframe_new());
    *f->line->a = {10, 10, R}, *f->line->b = {50, 60, G}, *f->velocity->a = {1, 0, 0}, *f->velocity->b = {0, 1, 0};
    f->speed = 4;
    lframe_step(f);
    EXPECT_EQ(ends(f->line), "14,10 50,64");
    *f->line->a = {-3, 2, R}, *f->line->b = {4, 2, G};
    const struct { void (*draw)(LFRAME *, IMG *); const char *want; } draws[] = {
        {lframe_plot_middle, "......|......|R....."}, {lframe_plot_ends, "......|......|....G."}, {lframe_draw, "......|......|RRRRR."}};
    for (auto &d : draws) {
        Own<img_del> img(grid_image(6, 3));
        d.draw(f, img), d.draw(f, nullptr), d.draw(nullptr, img);
        EXPECT_TRUE(grid_equals(img, rgb(d.want)));
    }
    Own<lframe_del> t(lframe_new());
    EXPECT_FALSE(lframe_compare(f, t));
    Own<seg2d_del> t_line(t->line), t_velocity(t->velocity);
    f->x = 3, f->width = 99;
    lframe_copy(f, t);
    EXPECT_TRUE(lframe_compare(f, t) && t->x == 3 && t->width == 256);
    Own<lframe_del> d(lframe_dup(f));
    EXPECT_TRUE(lframe_compare(f, d) && d->x == 0 && !lframe_compare(f, nullptr));
}
