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

void expect_vec(const VEC2D *v, int32_t x, int32_t y) {
    EXPECT_EQ(v->x, x);
    EXPECT_EQ(v->y, y);
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

// Recorded line and velocity ends after an edge or corner reset on a
// 200 x 100 frame, per seed (the seeds cover all three edges and corners).
TEST(Lframe, ResetsPutTheEndsOnEdges) {
    const struct {
        bool corner;
        uint32_t seed;
        const char *want;
    } cases[] = {
        {false, 1, "199,62 199,80 / 0,1 0,1 14C823 5F6784 speed 7"},
        {false, 2, "0,51 0,56 / 0,1 0,1 16F220 434583 speed 10"},
        {false, 3, "39,0 24,0 / 1,0 1,0 181C1C 272383 speed 4"},
        {false, 22, "0,57 0,3 / 0,-1 0,-1 3739D8 151D76 speed 8"},
        {false, 24, "71,0 146,0 / -1,0 -1,0 3A0DD1 DD5974 speed 5"},
        {false, 26, "199,16 199,90 / 0,-1 0,-1 3DE1CA A51573 speed 9"},
        {true, 1, "199,62 80,99 / 0,1 -1,0 14C823 5F6784 speed 7"},
        {true, 2, "0,51 156,0 / 0,1 -1,0 16F220 434583 speed 10"},
        {true, 3, "39,0 199,24 / 1,0 0,1 181C1C 272383 speed 4"},
        {true, 22, "0,57 3,0 / 0,-1 1,0 3739D8 151D76 speed 8"},
        {true, 24, "71,0 199,46 / -1,0 0,-1 3A0DD1 DD5974 speed 5"},
        {true, 26, "199,16 90,99 / 0,-1 1,0 3DE1CA A51573 speed 9"},
    };
    for (auto &c : cases) {
        Own<release> f(lframe_new());
        f->width = 200;
        f->height = 100;
        seg2d_del(&f->line);
        seg2d_del(&f->velocity);
        random_srand(c.seed);
        (c.corner ? lframe_reset_corner : lframe_reset_edge)(f);
        char got[160];
        snprintf(got, sizeof got, "%d,%d %d,%d / %d,%d %d,%d %06X %06X speed %d", f->line->a->x, f->line->a->y,
                 f->line->b->x, f->line->b->y, f->velocity->a->x, f->velocity->a->y, f->velocity->b->x,
                 f->velocity->b->y, f->line->a->color, f->line->b->color, f->speed);
        EXPECT_EQ(std::string(got), c.want) << (c.corner ? "corner " : "edge ") << c.seed;
    }
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

TEST(Lframe, ResetRandomDrawsInOrder) {
    Own<release> f(lframe_new());
    SEG2D *old_line = f->line, *old_velocity = f->velocity;
    random_srand(99);
    lframe_reset_random(f);
    Lcg r{99};
    int32_t ax = r.next30() % 256, ay = r.next30() % 256;
    int32_t bx = r.next30() % 256, by = r.next30() % 256;
    uint32_t ca = (uint32_t)r.next30() & 0xFFFFFF, cb = (uint32_t)r.next30() & 0xFFFFFF;
    for (int i = 0; i < 4; i++) r.next30();
    int32_t speed = (r.next30() & 7) + 4;
    expect_vec(f->line->a, ax, ay);
    expect_vec(f->line->b, bx, by);
    EXPECT_EQ(f->line->a->color, ca);
    EXPECT_EQ(f->line->b->color, cb);
    expect_vec(f->velocity->a, -1, -1);
    expect_vec(f->velocity->b, -1, -1);
    EXPECT_EQ(f->speed, speed);
    // Nothing further was drawn.
    EXPECT_EQ(random_rand(), r.next());
    seg2d_del(&old_line);
    seg2d_del(&old_velocity);
}



TEST(Lframe, ResetOfAFrameWithoutRoomIsRefused) {
    Own<release> f(lframe_new());
    SEG2D *line = f->line;
    f->width = 0;
    random_srand(5);
    lframe_reset_random(f);
    lframe_reset_edge(f);
    f->width = 10;
    f->height = -1;
    lframe_reset_corner(f);
    EXPECT_EQ(f->line, line);
    Lcg r{5};
    EXPECT_EQ(random_rand(), r.next());  // no draw was made
}

TEST(Lframe, StepMovesBothEnds) {
    Own<release> f(lframe_new());
    f->line->a->x = 10, f->line->a->y = 10, f->line->b->x = 50, f->line->b->y = 60;
    f->velocity->a->x = 1, f->velocity->a->y = 0, f->velocity->b->x = 0, f->velocity->b->y = 1;
    f->speed = 4;
    lframe_step(f);
    expect_vec(f->line->a, 14, 10);
    expect_vec(f->line->b, 50, 64);
}

TEST(Lframe, CompareCopyAndDupShareTheSegments) {
    Own<release> s(lframe_new());
    Own<lframe_del> t(lframe_new());
    EXPECT_FALSE(lframe_compare(s, t));
    SEG2D *t_line = t->line, *t_velocity = t->velocity;
    s->x = 3;
    s->width = 99;
    lframe_copy(s, t);
    EXPECT_TRUE(lframe_compare(s, t));
    EXPECT_EQ(t->x, 3);
    EXPECT_EQ(t->width, 256);
    Own<lframe_del> d(lframe_dup(s));
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(lframe_compare(s, d));
    EXPECT_EQ(d->x, 0);
    EXPECT_FALSE(lframe_compare(s, nullptr));
    seg2d_del(&t_line);
    seg2d_del(&t_velocity);
}

TEST(Lframe, DrawPlotEndsAndPlotMiddle) {
    Own<release> f(lframe_new());
    Own<img_del> img(grid_image(6, 3));
    f->line->a->x = -3, f->line->a->y = 2, f->line->a->color = 0xFF0000;
    f->line->b->x = 4, f->line->b->y = 2, f->line->b->color = 0x00FF00;
    lframe_plot_middle(f, img);  // (1 / 2, 4 / 2) = (0, 2)
    EXPECT_EQ(img_get_pixel(img, 0, 2), 0xFF0000u);
    EXPECT_EQ(img_get_pixel(img, 1, 2), 0u);
    lframe_plot_ends(f, img);
    EXPECT_EQ(img_get_pixel(img, 4, 2), 0x00FF00u);
    img_clear(img, 0);
    lframe_draw(f, img);
    for (int32_t x = 0; x < 6; x++) EXPECT_EQ(img_get_pixel(img, x, 2), x <= 4 ? 0xFF0000u : 0u);
    lframe_draw(f, nullptr);
    lframe_draw(nullptr, img);
}
