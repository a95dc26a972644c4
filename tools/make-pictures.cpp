// make-pictures: draws the demo's built-in pictures and writes them as PNM
// files (logo.pbm, glyphs.pgm, letter1.pgm .. letter4.pgm in demo/assets/),
// which the build embeds into the program.
// Glyphs are stroked outlines (round-capped pen, 2 px wide) drawn 8 x 8 times
// finer and box-filtered down, so their edges come out in grey levels; the
// logo is a 1-bit threshold of block shapes; the letter pictures are three
// grey levels only (black, 0xCC body, white rim), so the demo can swap the
// body grey by exact match.  Usage: make-pictures ASSET_FOLDER
// Needs nothing from the library; everything here is plain drawing maths.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Pt {
    double x, y;
};
struct Seg {
    Pt a, b;
};

// ---------------------------------------------------------------- geometry

double seg_distance(const Seg &s, double px, double py) {
    double dx = s.b.x - s.a.x, dy = s.b.y - s.a.y;
    double len2 = dx * dx + dy * dy;
    double t = 0;
    if (len2 > 0) t = ((px - s.a.x) * dx + (py - s.a.y) * dy) / len2;
    if (t < 0) t = 0;
    if (t > 1) t = 1;
    double qx = s.a.x + t * dx - px, qy = s.a.y + t * dy - py;
    return std::sqrt(qx * qx + qy * qy);
}

// A stroked drawing: polylines as segments, plus filled squares (dots).
struct Drawing {
    std::vector<Seg> segs;
    std::vector<Pt> dots;  // 2 x 2 squares centred on the point
};

// One vertex of a polyline; rounded vertices get a fillet of radius r.
struct Vertex {
    Pt p;
    bool round;
    double r;
};

void polyline_flush(std::vector<Vertex> &v, bool closed, Drawing &d) {
    size_t n = v.size();
    if (n == 0) return;
    if (n == 1) {
        d.segs.push_back({v[0].p, v[0].p});
        v.clear();
        return;
    }
    // Replace each rounded corner by a quadratic curve from the point t before
    // it to the point t after it; t shrinks when the neighbouring segments are
    // short (half their length when the neighbour is rounded too).
    std::vector<Pt> out;
    auto len = [](Pt a, Pt b) { return std::hypot(b.x - a.x, b.y - a.y); };
    for (size_t i = 0; i < n; i++) {
        bool has_prev = closed || i > 0, has_next = closed || i + 1 < n;
        if (!v[i].round || !has_prev || !has_next) {
            out.push_back(v[i].p);
            continue;
        }
        const Vertex &pv = v[(i + n - 1) % n], &nv = v[(i + 1) % n];
        Pt b = v[i].p;
        double l1 = len(pv.p, b), l2 = len(b, nv.p);
        if (l1 == 0 || l2 == 0) {
            out.push_back(b);
            continue;
        }
        Pt u1{(pv.p.x - b.x) / l1, (pv.p.y - b.y) / l1};
        Pt u2{(nv.p.x - b.x) / l2, (nv.p.y - b.y) / l2};
        double cosang = u1.x * u2.x + u1.y * u2.y;
        double ang = std::acos(std::fmax(-1.0, std::fmin(1.0, cosang)));
        double t = v[i].r / std::tan(ang / 2);
        double m1 = l1 * (pv.round ? 0.5 : 1.0), m2 = l2 * (nv.round ? 0.5 : 1.0);
        t = std::fmin(t, std::fmin(m1, m2));
        Pt p1{b.x + u1.x * t, b.y + u1.y * t}, p2{b.x + u2.x * t, b.y + u2.y * t};
        const int steps = 12;
        for (int k = 0; k <= steps; k++) {
            double s = (double)k / steps;
            double w0 = (1 - s) * (1 - s), w1 = 2 * s * (1 - s), w2 = s * s;
            out.push_back({w0 * p1.x + w1 * b.x + w2 * p2.x, w0 * p1.y + w1 * b.y + w2 * p2.y});
        }
    }
    if (closed) out.push_back(out[0]);
    for (size_t i = 0; i + 1 < out.size(); i++) d.segs.push_back({out[i], out[i + 1]});
    v.clear();
}

// Parses the little stroke language of the glyph table:
//   M x y   start a polyline         L x y   line to (sharp corner)
//   Q x y   line to, corner rounded  Z       close the polyline
//   r v     fillet radius for Q      D x y   2 x 2 dot
//   A cx cy rx ry a0 a1   elliptic arc, degrees, 0 = right, 90 = down
//   O cx cy rx ry         closed ellipse
Drawing parse_strokes(const char *src) {
    Drawing d;
    std::vector<Vertex> cur;
    double radius = 3;
    const char *p = src;
    auto num = [&p]() {
        char *end;
        double v = std::strtod(p, &end);
        if (end == p) {
            std::fprintf(stderr, "make-pictures: bad number at '%s'\n", p);
            std::exit(1);
        }
        p = end;
        return v;
    };
    while (*p) {
        while (*p == ' ') p++;
        if (!*p) break;
        char c = *p++;
        switch (c) {
        case 'M': {
            polyline_flush(cur, false, d);
            double x = num(), y = num();
            cur.push_back({{x, y}, false, radius});
            break;
        }
        case 'L': {
            double x = num(), y = num();
            cur.push_back({{x, y}, false, radius});
            break;
        }
        case 'Q': {
            double x = num(), y = num();
            cur.push_back({{x, y}, true, radius});
            break;
        }
        case 'Z':
            polyline_flush(cur, true, d);
            break;
        case 'r':
            radius = num();
            break;
        case 'D': {
            double x = num(), y = num();
            d.dots.push_back({x, y});
            break;
        }
        case 'A':
        case 'O': {
            double cx = num(), cy = num(), rx = num(), ry = num();
            double a0 = 0, a1 = 360;
            if (c == 'A') {
                a0 = num();
                a1 = num();
            } else {
                polyline_flush(cur, false, d);
            }
            int steps = 48;
            for (int k = 0; k <= steps; k++) {
                double a = (a0 + (a1 - a0) * k / steps) * M_PI / 180;
                cur.push_back({{cx + rx * std::cos(a), cy + ry * std::sin(a)}, false, radius});
            }
            if (c == 'O') polyline_flush(cur, false, d);
            break;
        }
        default:
            std::fprintf(stderr, "make-pictures: bad command '%c'\n", c);
            std::exit(1);
        }
    }
    polyline_flush(cur, false, d);
    return d;
}

// ---------------------------------------------------------------- glyphs

// Capitals and digits sit in x 0..8 (M, W 0..10), y 0..10 (baseline 10);
// lower case has its x-height at 4 and descenders down to 13.  Each glyph is
// centred horizontally in its cell by a whole-pixel shift, so strokes on
// integer coordinates fall on pixel edges and stay sharp.
struct GlyphDef {
    int code;
    const char *strokes;
};

const GlyphDef glyph_defs[] = {
    {'!', "M 4 0 L 4 6 D 4 10"},
    {'"', "M 2 0 L 2 3 M 6 0 L 6 3"},
    {'#', "M 2 1 L 2 9 M 6 1 L 6 9 M 0 3 L 8 3 M 0 7 L 8 7"},
    {'$', "r 2 M 8 1 Q 0 1 Q 0 5 Q 8 5 Q 8 9 L 0 9 M 4 -1 L 4 1 M 4 9 L 4 11"},
    {'%', "M 8 0 L 0 10 O 1.5 1.5 1.5 1.5 O 6.5 8.5 1.5 1.5"},
    {'&', "r 2 M 8 10 L 2 3.5 Q 2 0 Q 6 0 Q 6 3.5 L 0 7 Q 0 10 Q 5 10 L 8 6.5"},
    {'\'', "M 4 0 L 4 3"},
    {'(', "A 10 5 6 7.5 228 132"},
    {')', "A -2 5 6 7.5 -48 48"},
    {'*', "M 4 0 L 4 8 M 0.5 2 L 7.5 6 M 7.5 2 L 0.5 6"},
    {'+', "M 4 1 L 4 9 M 0 5 L 8 5"},
    {',', "M 4 9 L 4 10 L 2.5 12.5"},
    {'-', "M 1 5 L 7 5"},
    {'.', "D 4 10"},
    {'/', "M 8 -0.5 L 0 10.5"},
    {'0', "r 3 M 4 0 Q 8 0 Q 8 10 Q 0 10 Q 0 0 Z M 6 2.5 L 2 7.5"},
    {'1', "M 1.5 2.5 L 4 0 L 4 10 M 1 10 L 7 10"},
    {'2', "r 2.5 M 0 2.5 Q 0 0 Q 8 0 Q 8 4.5 L 0 10 L 8 10"},
    {'3', "r 2.5 M 0 0 Q 7 0 Q 7 5 L 3 5 M 3 5 Q 8 5 Q 8 10 L 0 10"},
    {'4', "M 6 10 L 6 0 L 0 7 L 8 7"},
    {'5', "r 3 M 8 0 L 0 0 L 0 4 Q 8 4 Q 8 10 L 0 10"},
    {'6', "r 3 M 7.5 0 Q 0 0 Q 0 10 Q 8 10 Q 8 5 L 0 5"},
    {'7', "M 0 0 L 8 0 L 3 10"},
    {'8', "r 2.5 M 4 5 Q 7 5 Q 7 0 Q 1 0 Q 1 5 Z r 3 M 4 5 Q 8 5 Q 8 10 Q 0 10 Q 0 5 Z"},
    {'9', "r 3 M 0.5 10 Q 8 10 Q 8 0 Q 0 0 Q 0 5 L 8 5"},
    {':', "D 4 4 D 4 10"},
    {';', "D 4 4 M 4 9 L 4 10 L 2.5 12.5"},
    {'<', "M 8 1 L 0 5 L 8 9"},
    {'=', "M 0 3 L 8 3 M 0 7 L 8 7"},
    {'>', "M 0 1 L 8 5 L 0 9"},
    {'?', "r 2.5 M 0 2.5 Q 0 0 Q 8 0 Q 8 4 L 4 4 L 4 6 D 4 10"},
    {'@', "r 3 M 10 7 L 10 3 Q 10 0 Q 0 0 Q 0 10 L 8 10 r 1.5 M 7 3 Q 3.5 3 Q 3.5 7 Q 7 7 L 7 3 M 7 7 L 10 7"},
    {'A', "r 3 M 0 10 Q 0 0 Q 8 0 L 8 10 M 0 6 L 8 6"},
    {'B', "r 2.5 M 0 5 Q 8 5 Q 8 10 L 0 10 L 0 0 Q 7 0 Q 7 5 L 0 5"},
    {'C', "r 3 M 8 2 Q 8 0 Q 0 0 Q 0 10 Q 8 10 L 8 8"},
    {'D', "r 4 M 0 0 L 0 10 L 4 10 Q 8 10 Q 8 0 L 0 0"},
    {'E', "M 8 0 L 0 0 L 0 10 L 8 10 M 0 5 L 6 5"},
    {'F', "M 8 0 L 0 0 L 0 10 M 0 5 L 6 5"},
    {'G', "r 3 M 8 2 Q 8 0 Q 0 0 Q 0 10 Q 8 10 L 8 5 L 5 5"},
    {'H', "M 0 0 L 0 10 M 8 0 L 8 10 M 0 5 L 8 5"},
    {'I', "M 1 0 L 7 0 M 4 0 L 4 10 M 1 10 L 7 10"},
    {'J', "r 3 M 3 0 L 8 0 M 7 0 Q 7 10 Q 0 10 L 0 7"},
    {'K', "M 0 0 L 0 10 M 8 0 L 0 6.5 M 3 4.06 L 8 10"},
    {'L', "M 0 0 L 0 10 L 8 10"},
    {'M', "M 0 10 L 0 0 L 5 6 L 10 0 L 10 10"},
    {'N', "M 0 10 L 0 0 L 8 10 L 8 0"},
    {'O', "r 4 M 4 0 Q 8 0 Q 8 10 Q 0 10 Q 0 0 Z"},
    {'P', "r 2.5 M 0 10 L 0 0 Q 8 0 Q 8 5 L 0 5"},
    {'Q', "r 4 M 4 0 Q 8 0 Q 8 10 Q 0 10 Q 0 0 Z M 5 7 L 8.5 10.5"},
    {'R', "r 2.5 M 0 10 L 0 0 Q 8 0 Q 8 5 L 0 5 M 4 5 L 8 10"},
    {'S', "r 2.5 M 8 0 Q 0 0 Q 0 5 Q 8 5 Q 8 10 L 0 10"},
    {'T', "M 0 0 L 8 0 M 4 0 L 4 10"},
    {'U', "r 3 M 0 0 Q 0 10 Q 8 10 L 8 0"},
    {'V', "M 0 0 L 4 10 L 8 0"},
    {'W', "M 0 0 L 2.5 10 L 5 4 L 7.5 10 L 10 0"},
    {'X', "M 0 0 L 8 10 M 8 0 L 0 10"},
    {'Y', "M 0 0 L 4 5 L 8 0 M 4 5 L 4 10"},
    {'Z', "M 0 0 L 8 0 L 0 10 L 8 10"},
    {'[', "M 6 -1 L 3 -1 L 3 11 L 6 11"},
    {'\\', "M 0 -0.5 L 8 10.5"},
    {']', "M 2 -1 L 5 -1 L 5 11 L 2 11"},
    {'^', "M 0 4 L 4 0 L 8 4"},
    {'_', "M 0 12 L 8 12"},
    {'`', "M 3 0 L 5 2"},
    {'a', "r 2.5 M 1 4 Q 7 4 L 7 10 M 7 7 Q 0 7 Q 0 10 L 7 10"},
    {'b', "r 3 M 0 0 L 0 10 L 4 10 Q 7 10 Q 7 4 L 0 4"},
    {'c', "r 3 M 7 4 Q 0 4 Q 0 10 L 7 10"},
    {'d', "r 3 M 7 0 L 7 10 L 3 10 Q 0 10 Q 0 4 L 7 4"},
    {'e', "r 2.5 M 0 7 L 7 7 Q 7 4 Q 0 4 Q 0 10 L 7 10"},
    {'f', "r 2.5 M 7 0 Q 3 0 L 3 10 M 0 4 L 6 4"},
    {'g', "r 2.5 M 7 10 Q 0 10 Q 0 4 L 7 4 Q 7 13 L 1 13"},
    {'h', "r 3 M 0 0 L 0 10 M 0 4 Q 7 4 L 7 10"},
    {'i', "M 2 4 L 4 4 L 4 10 M 1 10 L 7 10 D 4 1"},
    {'j', "r 2.5 M 2 4 L 5 4 Q 5 13 L 0 13 D 5 1"},
    {'k', "M 0 0 L 0 10 M 7 4 L 0 8 M 3 6.29 L 7 10"},
    {'l', "r 2.5 M 1 0 L 3 0 Q 3 10 L 6 10"},
    {'m', "r 2 M 0 10 L 0 4 Q 5 4 L 5 10 M 5 4 Q 10 4 L 10 10"},
    {'n', "r 3 M 0 10 L 0 4 Q 7 4 L 7 10"},
    {'o', "r 3 M 3.5 4 Q 7 4 Q 7 10 Q 0 10 Q 0 4 Z"},
    {'p', "r 3 M 0 13 L 0 4 L 4 4 Q 7 4 Q 7 10 L 0 10"},
    {'q', "r 3 M 7 13 L 7 4 L 3 4 Q 0 4 Q 0 10 L 7 10"},
    {'r', "r 3 M 0 10 L 0 4 M 0 7.5 Q 0 4 L 6 4"},
    {'s', "r 1.5 M 7 4 Q 0 4 Q 0 7 Q 7 7 Q 7 10 L 0 10"},
    {'t', "r 2.5 M 3 1 Q 3 10 L 7 10 M 0 4 L 6 4"},
    {'u', "r 3 M 0 4 Q 0 10 L 7 10 L 7 4"},
    {'v', "M 0 4 L 3.5 10 L 7 4"},
    {'w', "M 0 4 L 2.5 10 L 5 5.5 L 7.5 10 L 10 4"},
    {'x', "M 0 4 L 7 10 M 7 4 L 0 10"},
    {'y', "r 3 M 0 4 Q 0 10 L 7 10 M 7 4 Q 7 13 L 1 13"},
    {'z', "M 0 4 L 7 4 L 0 10 L 7 10"},
    {'{', "r 1.5 M 6.5 -1 Q 4 -1 Q 4 5 L 2 5 M 2 5 Q 4 5 Q 4 11 L 6.5 11"},
    {'|', "M 4 -1 L 4 11"},
    {'}', "r 1.5 M 1.5 -1 Q 4 -1 Q 4 5 L 6 5 M 6 5 Q 4 5 Q 4 11 L 1.5 11"},
    {'~', "r 1.5 M 0 6.5 Q 2.5 4 Q 5.5 7 L 8 4.5"},
};

const int sheet_size = 256;
const int ss = 8;  // supersampling per axis

// Draws one glyph into its 16 x 16 cell of the sheet.
void draw_glyph(std::vector<uint8_t> &sheet, int code, const char *strokes) {
    Drawing d = parse_strokes(strokes);
    double minx = 1e9, maxx = -1e9;
    for (const Seg &s : d.segs) {
        minx = std::fmin(minx, std::fmin(s.a.x, s.b.x));
        maxx = std::fmax(maxx, std::fmax(s.a.x, s.b.x));
    }
    for (const Pt &p : d.dots) {
        minx = std::fmin(minx, p.x);
        maxx = std::fmax(maxx, p.x);
    }
    double ox = std::round(8 - (minx + maxx) / 2), oy = 2;
    const double pen = 1.0;  // pen radius: strokes are 2 px wide
    int cx = (code % 16) * 16, cy = (code / 16) * 16;
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++) {
            int hit = 0;
            for (int j = 0; j < ss; j++)
                for (int i = 0; i < ss; i++) {
                    double px = x + (i + 0.5) / ss - ox, py = y + (j + 0.5) / ss - oy;
                    bool in = false;
                    for (const Pt &p : d.dots)
                        if (std::fabs(px - p.x) <= 1 && std::fabs(py - p.y) <= 1) in = true;
                    for (size_t k = 0; !in && k < d.segs.size(); k++)
                        if (seg_distance(d.segs[k], px, py) <= pen) in = true;
                    hit += in;
                }
            sheet[(cy + y) * sheet_size + cx + x] = (uint8_t)((hit * 255 + ss * ss / 2) / (ss * ss));
        }
}

// The first row of the sheet: sixteen small decorative tiles, drawn from
// little formulas.  The demo paints this row as a strip; black pixels there
// let the strip's own colour show through.
uint8_t tile_pixel(int t, int x, int y) {
    double fx = x + 0.5 - 8, fy = y + 0.5 - 8;
    double r = std::sqrt(fx * fx + fy * fy);
    auto clamp = [](double v) { return (uint8_t)(v < 0 ? 0 : v > 255 ? 255 : v); };
    switch (t) {
    case 0:  // bevelled stud
    {
        int e = std::min(std::min(x, y), std::min(15 - x, 15 - y));
        if (e == 0) return 0x40;
        if (e == 1) return (x < y || x + y < 15) && x <= 15 - y ? 0xF0 : 0x70;
        return 0xB0;
    }
    case 1:  // concentric rings
        return ((int)r % 4 < 2) ? 0xE0 : 0x50;
    case 2:  // bricks
    {
        int row = y / 4, yy = y % 4, xx = (x + (row % 2) * 4) % 8;
        return (yy == 3 || xx == 7) ? 0x30 : 0xC0 - yy * 0x10;
    }
    case 3:  // checker
        return ((x / 4 + y / 4) % 2) ? 0xF0 : 0x60;
    case 4:  // diagonal stripes
        return ((x + y) % 6 < 3) ? 0xD0 : 0x48;
    case 5:  // shaded ball
    {
        if (r > 7.5) return 0;
        double lx = fx + 3, ly = fy + 3;
        return clamp(255 - std::sqrt(lx * lx + ly * ly) * 18);
    }
    case 6:  // plus
        return (std::fabs(fx) < 2 || std::fabs(fy) < 2) ? 0xF8 : 0x38;
    case 7:  // waves: two sine bands, one period across the tile
    {
        double wy = 2 * std::sin((x + 0.5) * M_PI / 8);
        double d = std::fmin(std::fabs(y + 0.5 - 4 - wy), std::fabs(y + 0.5 - 12 - wy));
        return d < 1.5 ? 0xF0 : d < 2.5 ? 0x90 : 0x40;
    }
    case 8:  // diamond
        return (std::fabs(fx) + std::fabs(fy) < 7) ? clamp(255 - (std::fabs(fx) + std::fabs(fy)) * 20) : 0x20;
    case 9:  // heart
    {
        // two round lobes over a point
        double l = std::hypot(std::fabs(fx) - 3.3, fy + 2.3);
        bool point = fy >= -2.3 && std::fabs(fx) <= (6.9 - 1.0 * (fy + 2.3)) * 1.0 && fy <= 6.6;
        return (l <= 3.6 || point) ? (l <= 1.2 && fx < 0 ? 0xFF : 0xD8) : 0;
    }
    case 10:  // grid
        return (x % 4 == 0 || y % 4 == 0) ? 0xE0 : 0x40;
    case 11:  // pyramid
    {
        int e = std::min(std::min(x, y), std::min(15 - x, 15 - y));
        bool lit = (x <= y) ? (x + y < 15) : (x + y < 15);
        return (uint8_t)((lit ? 0x80 : 0x50) + e * 0x0E);
    }
    case 12:  // dots
        return (x % 4 == 1 || x % 4 == 2) && (y % 4 == 1 || y % 4 == 2) ? 0xF0 : 0x40;
    case 13:  // triangle
        return (y >= 2 && y <= 13 && std::fabs(fx) * 2 <= (y - 1)) ? 0xE0 : 0x28;
    case 14:  // zigzag
        return (((y + std::abs((x % 8) - 4)) % 8) < 3) ? 0xE0 : 0x48;
    case 15:  // four-pointed star
    {
        double v = std::sqrt(std::fabs(fx)) + std::sqrt(std::fabs(fy));
        return v < 3.2 ? clamp(300 - v * 60) : 0x18;
    }
    }
    return 0;
}

std::vector<uint8_t> make_glyph_sheet() {
    std::vector<uint8_t> sheet(sheet_size * sheet_size, 0);
    for (int t = 0; t < 16; t++)
        for (int y = 0; y < 16; y++)
            for (int x = 0; x < 16; x++) sheet[y * sheet_size + t * 16 + x] = tile_pixel(t, x, y);
    for (const GlyphDef &g : glyph_defs) draw_glyph(sheet, g.code, g.strokes);
    return sheet;
}

// ---------------------------------------------------------------- logo

struct Poly {
    std::vector<Pt> p;
};

bool poly_inside(const Poly &poly, double x, double y) {
    bool in = false;
    size_t n = poly.p.size();
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        const Pt &a = poly.p[i], &b = poly.p[j];
        if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) in = !in;
    }
    return in;
}

Poly rect(double x0, double y0, double x1, double y1) { return {{{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}}; }

// Block letters R, I, V, O: 22 wide, 44 high, strokes 7 wide, 8 apart,
// inside a 2-pixel frame.  A pixel is set where a shape covers its centre.
std::vector<uint8_t> make_logo(int &w, int &h) {
    w = 128;
    h = 64;
    const double s = 7, lw = 22, lh = 44, gap = 8, top = 10;
    std::vector<Poly> shapes;
    double x = (w - (4 * lw + 3 * gap)) / 2;
    // R: stem, bowl and a slanted leg.
    shapes.push_back(rect(x, top, x + s, top + lh));
    shapes.push_back(rect(x, top, x + lw - 3, top + s));
    shapes.push_back(rect(x + lw - s, top + 3, x + lw, top + 21));
    shapes.push_back({{{x + lw - s, top + 3}, {x + lw - 3, top}, {x + lw - 3, top + 3}}});
    shapes.push_back({{{x + lw - s, top + 21}, {x + lw, top + 21}, {x + lw - 3, top + 24}, {x + lw - s, top + 24}}});
    shapes.push_back(rect(x, top + 18, x + lw - 3, top + 25));
    shapes.push_back({{{x + 6, top + 25}, {x + 13, top + 25}, {x + lw, top + lh}, {x + lw - s - 1, top + lh}}});
    x += lw + gap;
    // I: stem with top and bottom bars.
    shapes.push_back(rect(x + (lw - s) / 2, top, x + (lw + s) / 2, top + lh));
    shapes.push_back(rect(x + 2, top, x + lw - 2, top + s));
    shapes.push_back(rect(x + 2, top + lh - s, x + lw - 2, top + lh));
    x += lw + gap;
    // V: two slanted arms meeting at the foot.
    shapes.push_back({{{x, top}, {x + s + 1, top}, {x + lw / 2 + s / 2, top + lh}, {x + lw / 2 - s / 2, top + lh}}});
    shapes.push_back({{{x + lw - s - 1, top}, {x + lw, top}, {x + lw / 2 + s / 2, top + lh}, {x + lw / 2 - s / 2, top + lh}}});
    x += lw + gap;
    // O: a ring with cut corners.
    shapes.push_back({{{x + 4, top}, {x + lw - 4, top}, {x + lw, top + 4}, {x + lw, top + lh - 4},
                       {x + lw - 4, top + lh}, {x + 4, top + lh}, {x, top + lh - 4}, {x, top + 4}}});
    std::vector<uint8_t> bits(w * h, 0);
    for (int py = 0; py < h; py++)
        for (int px = 0; px < w; px++) {
            double cx = px + 0.5, cy = py + 0.5;
            bool in = false;
            for (const Poly &p : shapes) in = in || poly_inside(p, cx, cy);
            // The O's hole.
            if (cx > x + s && cx < x + lw - s && cy > top + s && cy < top + lh - s) in = false;
            // The frame: two pixels wide, three pixels in from the edge.
            bool frame = (px >= 2 && px < w - 2 && py >= 2 && py < h - 2) &&
                         (px < 4 || px >= w - 4 || py < 4 || py >= h - 4);
            bits[py * w + px] = in || frame;
        }
    return bits;
}

// ---------------------------------------------------------------- letters

// Large rounded letters: every pixel within `body` of the letter's skeleton
// is 0xCC, a rim `rim` pixels wide around that is white, the rest black.
std::vector<uint8_t> make_letter(char letter) {
    const int w = 128, h = 192;
    const double body = 14, rim = 4;
    std::string src;
    switch (letter) {
    case 'R': src = "M 34 168 L 34 24 L 70 24 A 70 56 32 32 -90 90 L 34 88 M 62 88 L 96 168"; break;
    case 'I': src = "M 64 24 L 64 168 M 42 24 L 86 24 M 42 168 L 86 168"; break;
    case 'V': src = "M 26 24 L 64 168 L 102 24"; break;
    case 'O': src = "O 64 96 38 72"; break;
    }
    Drawing d = parse_strokes(src.c_str());
    std::vector<uint8_t> pix(w * h, 0);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            double best = 1e9;
            for (const Seg &s : d.segs) best = std::fmin(best, seg_distance(s, x + 0.5, y + 0.5));
            pix[y * w + x] = best <= body ? 0xCC : best <= body + rim ? 0xFF : 0;
        }
    return pix;
}

// ---------------------------------------------------------------- output

std::string pnm_header(const char *magic, const char *comment, int w, int h, bool maxval) {
    std::string s = std::string(magic) + "\n";
    if (comment) s += std::string("# ") + comment + "\n";
    s += std::to_string(w) + " " + std::to_string(h) + "\n";
    if (maxval) s += "255\n";
    return s;
}

std::vector<uint8_t> pnm_p5(const char *comment, int w, int h, const std::vector<uint8_t> &pix) {
    std::string head = pnm_header("P5", comment, w, h, true);
    std::vector<uint8_t> out(head.begin(), head.end());
    out.insert(out.end(), pix.begin(), pix.end());
    return out;
}

std::vector<uint8_t> pnm_p4(const char *comment, int w, int h, const std::vector<uint8_t> &bits) {
    std::string head = pnm_header("P4", comment, w, h, false);
    std::vector<uint8_t> out(head.begin(), head.end());
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x += 8) {
            uint8_t b = 0;
            for (int k = 0; k < 8; k++) b = (uint8_t)(b | (bits[y * w + x + k] ? 0x80 >> k : 0));
            out.push_back(b);
        }
    return out;
}

void write_file(const std::string &path, const std::vector<uint8_t> &data) {
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::perror(path.c_str());
        std::exit(1);
    }
    std::fwrite(data.data(), 1, data.size(), f);
    std::fclose(f);
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-pictures ASSET_FOLDER\n");
        return 2;
    }
    std::string dir = argv[1];

    int lw, lh;
    write_file(dir + "/logo.pbm", pnm_p4("RIVO7315 logo, 1 is white", 128, 64, make_logo(lw, lh)));
    write_file(dir + "/glyphs.pgm",
               pnm_p5("RIVO7315 glyphs: 16 x 16 cells, code c at column c mod 16, row c / 16", 256, 256,
                      make_glyph_sheet()));
    const char letters[4] = {'R', 'I', 'V', 'O'};
    for (int k = 0; k < 4; k++) {
        std::string comment = std::string("RIVO7315 letter ") + letters[k];
        // The fourth picture carries no comment line.
        write_file(dir + "/letter" + std::to_string(k + 1) + ".pgm",
                   pnm_p5(k < 3 ? comment.c_str() : nullptr, 128, 192, make_letter(letters[k])));
    }
    return 0;
}
