// Line points: img_line_points and its copies in IMGFX, BYTEMAP and FILL list
// exactly the pixels img_line plots, in its order from the first end to the
// second, for every short line and a table of long ones.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <utility>
#include <vector>

#include "imaging/bytemap.h"
#include "imaging/fill.h"
#include "imaging/imgfx.h"
#include "tests/test_support.h"

namespace {

using Points = std::vector<std::pair<int32_t, int32_t>>;
using Lit = std::set<std::pair<int32_t, int32_t>>;

// The list a points call returns, checked for its count.
Points take(int32_t *p) {
    Points out;
    if (!p) return out;
    for (int32_t i = 0; i < p[0]; i += 2) out.emplace_back(p[1 + i], p[2 + i]);
    std::free(p);
    return out;
}

// Checks one line against img_line's pixels in an image that holds it whole.
void expect_points_of_line(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    SCOPED_TRACE(testing::Message() << "(" << x0 << ", " << y0 << ") to (" << x1 << ", " << y1 << ")");
    const int32_t size = 260, o = 130;
    Own<img_del> image(grid_image(size, size));
    img_line(image, x0 + o, y0 + o, x1 + o, y1 + o, 1);
    Lit lit;
    for (int32_t y = 0; y < size; y++)
        for (int32_t x = 0; x < size; x++)
            if (image->pixels[y * size + x]) lit.emplace(x - o, y - o);

    const int32_t m = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
    for (auto points_of : {img_line_points, imgfx_line_points, bytemap_line_points, fill_line_points}) {
        int32_t *raw = points_of(x0, y0, x1, y1);
        ASSERT_NE(raw, nullptr);
        ASSERT_EQ(raw[0], 2 * (m + 1));
        Points p = take(raw);
        EXPECT_EQ(p.front(), std::make_pair(x0, y0));
        EXPECT_EQ(p.back(), std::make_pair(x1, y1));
        EXPECT_TRUE(Lit(p.begin(), p.end()) == lit);
        for (size_t i = 1; i < p.size(); i++) {  // one step of at most 1 per axis each
            EXPECT_LE(std::abs(p[i].first - p[i - 1].first), 1) << i;
            EXPECT_LE(std::abs(p[i].second - p[i - 1].second), 1) << i;
        }
    }
}

}  // namespace

TEST(LinePoints, EveryShortLineListsImgLinesPixels) {
    for (int32_t dy = -4; dy <= 4; dy++)
        for (int32_t dx = -4; dx <= 4; dx++) expect_points_of_line(1, -2, 1 + dx, -2 + dy);
}

TEST(LinePoints, OneStepAlongAnAxisEndsAtItsEnd) {
    const Points want[] = {{{0, 0}, {1, 0}}, {{0, 0}, {0, 1}}, {{0, 0}, {-1, 0}}, {{0, 0}, {0, -1}}};
    const int32_t ends[][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
    for (int i = 0; i < 4; i++) EXPECT_EQ(take(img_line_points(0, 0, ends[i][0], ends[i][1])), want[i]) << i;
    EXPECT_EQ(take(img_line_points(0, 0, 2, 1)), (Points{{0, 0}, {1, 1}, {2, 1}}));
    EXPECT_EQ(take(img_line_points(3, 1, 0, 0)), (Points{{3, 1}, {2, 0}, {1, 0}, {0, 0}}));
}

TEST(LinePoints, LongLinesListImgLinesPixels) {
    const int32_t lines[][4] = {
        {0, 0, 120, 0},    {0, 0, 0, -120},   {-120, -7, 120, 7},  {5, -120, -5, 120},
        {-100, -100, 100, 100}, {100, -100, -100, 100}, {-3, 0, 120, 61}, {0, -3, 61, 120},
        {120, 61, -3, 0},  {-117, 50, 119, 49}, {-60, -120, 61, 119}, {1, 2, 3, 120},
    };
    for (const auto &l : lines) expect_points_of_line(l[0], l[1], l[2], l[3]);
}
