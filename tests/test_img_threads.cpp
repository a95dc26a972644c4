// Ellipses from several threads at once, each into its own image, from the
// program's start (so the threads are the first to need the shared tables):
// every image matches the straightforward walk. Run under ThreadSanitizer
// (RIVO_TSAN=ON), a table filled and read without order fails it too.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "bench/reference_ellipse.h"
#include "imaging/img.h"
#include "tests/test_owned.h"

namespace {

// Every tabled pair of radii, outlined over filled, into one image.
void draw_all(IMG *image, bool reference) {
    for (int32_t rx = 0; rx < 64; rx++) {
        for (int32_t ry = 0; ry < 64; ry++) {
            uint32_t colour = (uint32_t)(rx << 8 | ry);
            if (reference)
                reference_fill_ellipse(image, 64, 64, rx, ry, colour), reference_ellipse(image, 64, 64, ry, rx, ~colour & 0xFFFFFF);
            else
                img_fill_ellipse(image, 64, 64, rx, ry, colour), img_ellipse(image, 64, 64, ry, rx, ~colour & 0xFFFFFF);
        }
    }
}

IMG *blank(void) {
    IMG *image = img_new();
    img_resize(image, 129, 129);
    return image;
}

}  // namespace

TEST(ImgThreads, DistinctImagesDrawTheSameEllipses) {
    std::vector<Own<img_del>> drawn;
    for (int i = 0; i < 4; i++) drawn.emplace_back(blank());
    std::vector<std::thread> threads;
    for (auto &image : drawn) threads.emplace_back([&image] { draw_all(image, false); });
    for (auto &t : threads) t.join();
    Own<img_del> want(blank());
    draw_all(want, true);
    for (auto &image : drawn)
        EXPECT_EQ(std::vector<uint32_t>(image->pixels, image->pixels + 129 * 129), std::vector<uint32_t>(want->pixels, want->pixels + 129 * 129));
}
