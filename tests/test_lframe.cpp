// LFRAME: border motion, resets and their random draws, drawing.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "host/random.h"
#include "imaging/img.h"
#include "tests/test_support.h"
#include "vector/lframe.h"
#include "vector/seg2d.h"
#include "vector/vec2d.h"

namespace {

// The frame does not own its segments: the test releases them.
void release(LFRAME **f) {
    if ((*f)->line) seg2d_del(&(*f)->line);
    if ((*f)->velocity) seg2d_del(&(*f)->velocity);
    lframe_del(f);
}

struct Point {
    int32_t x, y, vx, vy;
};

Point step(LFRAME *f, Point p) {
    VEC2D pos = {p.x, p.y, 0}, dir = {p.vx, p.vy, 0};
    lframe_step_point(f, &pos, &dir);
    return {pos.x, pos.y, dir.x, dir.y};
}

void expect_point(Point p, int32_t x, int32_t y, int32_t vx, int32_t vy) {
    EXPECT_EQ(p.x, x);
    EXPECT_EQ(p.y, y);
    EXPECT_EQ(p.vx, vx);
    EXPECT_EQ(p.vy, vy);
}

}  // namespace


// One step of a point at speed 8: inside it moves straight; reaching a side
// edge it turns along it in the same step (up, or down from the top
// corner); reaching the top or bottom it turns left (right from the corner).
TEST(Lframe, StepPointTurnsAtTheEdges) {
    const Point cases[][2] = {
        {{100, 100, 1, -1}, {108, 92, 1, -1}}, {{5, 100, -1, 0}, {0, 92, 0, -1}},
        {{5, 0, -1, 0}, {0, 8, 0, 1}},         {{250, 100, 1, 0}, {255, 92, 0, -1}},
        {{250, 0, 1, 0}, {255, 8, 0, 1}},      {{100, 5, 0, -1}, {100, 0, -1, 0}},
        {{0, 5, 0, -1}, {0, 0, 1, 0}},         {{100, 250, 0, 1}, {100, 255, -1, 0}},
        {{0, 250, 0, 1}, {0, 255, 1, 0}},
    };
    Own<release> f(lframe_new());
    f->speed = 8;
    for (auto &c : cases) {
        Point p = step(f, c[0]);
        expect_point(p, c[1].x, c[1].y, c[1].vx, c[1].vy);
    }
}

// Recorded line and velocity ends after an edge (e), corner (c) or random (r)
// reset on a 200 x 100 frame, per seed (the seeds cover all three edges and
// corners), and the generator's next draw (no draw more, none fewer).
TEST(Lframe, ResetsPutTheEndsOnEdges) {
    const struct {
        char kind;
        uint32_t seed;
        const char *want;
    } cases[] = {
        {'e', 1, "199,62 199,80 / 0,1 0,1 14C823 5F6784 speed 7 next 9961"},
        {'e', 2, "0,51 0,56 / 0,1 0,1 16F220 434583 speed 10 next 32153"},
        {'e', 3, "39,0 24,0 / 1,0 1,0 181C1C 272383 speed 4 next 21578"},
        {'e', 22, "0,57 0,3 / 0,-1 0,-1 3739D8 151D76 speed 8 next 17245"},
        {'e', 24, "71,0 146,0 / -1,0 -1,0 3A0DD1 DD5974 speed 5 next 28861"},
        {'e', 26, "199,16 199,90 / 0,-1 0,-1 3DE1CA A51573 speed 9 next 7709"},
        {'c', 1, "199,62 80,99 / 0,1 -1,0 14C823 5F6784 speed 7 next 9961"},
        {'c', 2, "0,51 156,0 / 0,1 -1,0 16F220 434583 speed 10 next 32153"},
        {'c', 3, "39,0 199,24 / 1,0 0,1 181C1C 272383 speed 4 next 21578"},
        {'c', 22, "0,57 3,0 / 0,-1 1,0 3739D8 151D76 speed 8 next 17245"},
        {'c', 24, "71,0 199,46 / -1,0 0,-1 3A0DD1 DD5974 speed 5 next 28861"},
        {'c', 26, "199,16 90,99 / 0,-1 1,0 3DE1CA A51573 speed 9 next 7709"},
        {'r', 99, "83,1 47,77 / -1,-1 -1,-1 14AE01 D57ECD speed 4 next 795"},
        {'r', 5, "165,89 110,85 / -1,-1 -1,-1 A87F80 FD6EA1 speed 4 next 31193"},
    };
    for (auto &c : cases) {
        Own<release> f(lframe_new());
        f->width = 200;
        f->height = 100;
        seg2d_del(&f->line);
        seg2d_del(&f->velocity);
        random_srand(c.seed);
        (c.kind == 'e' ? lframe_reset_edge : c.kind == 'c' ? lframe_reset_corner : lframe_reset_random)(f);
        char got[160];
        snprintf(got, sizeof got, "%d,%d %d,%d / %d,%d %d,%d %06X %06X speed %d next %d", f->line->a->x, f->line->a->y,
                 f->line->b->x, f->line->b->y, f->velocity->a->x, f->velocity->a->y, f->velocity->b->x,
                 f->velocity->b->y, f->line->a->color, f->line->b->color, f->speed, random_rand());
        EXPECT_EQ(std::string(got), c.want) << c.kind << " " << c.seed;
    }
    // A frame without room is refused: the segments stay, nothing is drawn.
    random_srand(5);
    int32_t first = random_rand();
    Own<release> f(lframe_new());
    SEG2D *line = f->line;
    random_srand(5);
    f->width = 0;
    lframe_reset_random(f), lframe_reset_edge(f);
    f->width = 10, f->height = -1;
    lframe_reset_corner(f);
    EXPECT_EQ(f->line, line);
    EXPECT_EQ(random_rand(), first);
}

TEST(Lframe, PointRunsAroundTheWholeBorder) {
    Own<release> f(lframe_new());
    f->width = 4;
    f->height = 4;
    f->speed = 1;
    const Point path[] = {
        {0, 1, 0, -1}, {0, 0, 0, -1}, {0, 0, 1, 0},  {1, 0, 1, 0},  {2, 0, 1, 0},
        {3, 0, 1, 0},  {3, 1, 0, 1},  {3, 2, 0, 1},  {3, 3, 0, 1},  {3, 3, -1, 0},
        {2, 3, -1, 0}, {1, 3, -1, 0}, {0, 3, -1, 0}, {0, 2, 0, -1},
    };
    Point p = {0, 2, 0, -1};
    for (const Point &want : path) {
        p = step(f, p);
        expect_point(p, want.x, want.y, want.vx, want.vy);
    }
}

// A step moves both ends; the middle is plotted at half the ends' sum (in
// the first end's colour), the ends in their own, the line clipped.
TEST(Lframe, StepAndDraw) {
    Own<release> f(lframe_new());
    f->line->a->x = 10, f->line->a->y = 10, f->line->b->x = 50, f->line->b->y = 60;
    f->velocity->a->x = 1, f->velocity->a->y = 0, f->velocity->b->x = 0, f->velocity->b->y = 1;
    f->speed = 4;
    lframe_step(f);
    EXPECT_TRUE(f->line->a->x == 14 && f->line->a->y == 10 && f->line->b->x == 50 && f->line->b->y == 64);
    f->line->a->x = -3, f->line->a->y = 2, f->line->a->color = 0xFF0000;
    f->line->b->x = 4, f->line->b->y = 2, f->line->b->color = 0x00FF00;
    const uint32_t R = 0xFF0000, G = 0x00FF00;
    expect_image_cases({
        {"middle", 6, 3, {}, [&](IMG *m) { lframe_plot_middle(f, m); }, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, R, 0, 0, 0, 0, 0}},
        {"ends", 6, 3, {}, [&](IMG *m) { lframe_plot_ends(f, m); }, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, G, 0}},
        {"line", 6, 3, {}, [&](IMG *m) { lframe_draw(f, m), lframe_draw(f, nullptr), lframe_draw(nullptr, m); },
         {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, R, R, R, R, R, 0}},
    });
}

// Copies and duplicates share the segments; a copy keeps its own place and size.
TEST(Lframe, CompareCopyAndDupShareTheSegments) {
    Own<release> s(lframe_new());
    Own<lframe_del> t(lframe_new());
    EXPECT_FALSE(lframe_compare(s, t));
    Own<seg2d_del> t_line(t->line), t_velocity(t->velocity);
    s->x = 3, s->width = 99;
    lframe_copy(s, t);
    EXPECT_TRUE(lframe_compare(s, t));
    EXPECT_TRUE(t->x == 3 && t->width == 256);
    Own<lframe_del> d(lframe_dup(s));
    EXPECT_TRUE(lframe_compare(s, d));
    EXPECT_EQ(d->x, 0);
    EXPECT_FALSE(lframe_compare(s, nullptr));
}
