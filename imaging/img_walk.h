// The line stepping IMG and IMGFX share: the error walk from one end and the
// walk from both ends towards the middle. Header only, no module of its own:
// the callers plot, clip and report. Coordinates are 64-bit so that no step
// can overflow, whatever the ends.
#pragma once

#include <cstdint>

static inline int64_t img_walk_sign(int64_t v) { return (v > 0) - (v < 0); }

// The error stepping every line shares. `visit(x, y)` is called for each of
// the max(ax, ay) + 1 points from (x, y); sx, sy are the signs (or forced
// steps) of each axis. The longer axis is stepped; ties go along y. The error
// starts at half the major length.
template <typename Visit>
static void img_walk_steps(int64_t x, int64_t y, int64_t ax, int64_t ay, int64_t sx, int64_t sy,
                           Visit visit) {
    if (ax <= ay) {
        int64_t err = ay >> 1;
        for (int64_t n = 0; n <= ay; n++) {
            visit(x, y);
            y += sy;
            err -= ax;
            if (err < 1) {
                x += sx;
                err += ay;
            }
        }
    } else {
        int64_t err = ax >> 1;
        for (int64_t n = 0; n <= ax; n++) {
            visit(x, y);
            x += sx;
            err -= ay;
            if (err < 1) {
                y += sy;
                err += ax;
            }
        }
    }
}

// The points of img_line from the first end to the second, unclipped.
// Returns the major length m (m + 1 points).
template <typename Plot>
static int64_t img_walk_line(int32_t x0, int32_t y0, int32_t x1, int32_t y1, Plot plot) {
    const int64_t dx = (int64_t)x1 - x0, dy = (int64_t)y1 - y0;
    const int64_t ax = dx < 0 ? -dx : dx, ay = dy < 0 ? -dy : dy;
    img_walk_steps(x0, y0, ax, ay, img_walk_sign(dx), img_walk_sign(dy), plot);
    return ax <= ay ? ay : ax;
}

// The points of img_line_two_ends, unclipped: (m / 2) + 1 passes, each
// plotting the first end's point and then the second end's, the two stepping
// towards each other with the same error, so the halves mirror each other
// through the line's centre.
template <typename Plot>
static void img_walk_two_ends(int32_t x0, int32_t y0, int32_t x1, int32_t y1, Plot plot) {
    const int64_t dx = (int64_t)x1 - x0, dy = (int64_t)y1 - y0;
    const int64_t ax = dx < 0 ? -dx : dx, ay = dy < 0 ? -dy : dy;
    const int64_t sx = img_walk_sign(dx), sy = img_walk_sign(dy);
    const bool along_y = ax <= ay;
    const int64_t major = along_y ? ay : ax, minor = along_y ? ax : ay;
    int64_t err = major >> 1;
    int64_t ax0 = x0, ay0 = y0, bx = x1, by = y1;  // the ends may step past each other
    for (int64_t pass = 0; pass <= major / 2; pass++) {
        plot(ax0, ay0);
        plot(bx, by);
        if (along_y) {
            ay0 += sy;
            by -= sy;
        } else {
            ax0 += sx;
            bx -= sx;
        }
        err -= minor;
        if (err < 1) {
            if (along_y) {
                ax0 += sx;
                bx -= sx;
            } else {
                ay0 += sy;
                by -= sy;
            }
            err += major;
        }
    }
}
