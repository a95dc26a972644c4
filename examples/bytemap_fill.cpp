// bytemap_fill: byte maps and flood fill. Draws rings, lines and a noisy
// patch into a 256 x 256 byte map and writes it as a PGM file; then turns it
// into colours through a 256-entry palette and floods three regions of the
// coloured picture, one plainly, two with a checked pattern, writing a PPM.
// Usage: bytemap_fill [out.ppm] [out.pgm]   (defaults bytemap_fill.ppm and
// bytemap_fill.pgm). Exit code 0 on success, 1 when a file cannot be written.
#include <cstdint>
#include <cstdio>

#include "audio/sample.h"
#include "host/random.h"
#include "imaging/bytemap.h"
#include "imaging/fill.h"
#include "imaging/img.h"

static const int32_t size = 256;

// Palette: value b is a blue that warms to orange; 0 stays black.
static SAMPLE *make_palette(void) {
    SAMPLE *palette = sample_new();
    sample_set_count(palette, 256);
    for (int32_t b = 1; b < 256; b++) sample_set(palette, b, b << 16 | (b / 2) << 8 | (255 - b));
    return palette;
}

// Runs one flood to its end, ring by ring; `pattern` null paints plainly.
static void flood(FILL *fill, IMG *image, IMG *pattern, int32_t x, int32_t y, uint32_t colour) {
    fill->image = image;
    fill->pattern = pattern;
    fill_start(fill, x, y, colour);
    while ((pattern ? fill_step_pattern(fill) : fill_step(fill)) > 0) {
    }
}

int main(int argc, char **argv) {
    const char *out_ppm = argc > 1 ? argv[1] : "bytemap_fill.ppm";
    const char *out_pgm = argc > 2 ? argv[2] : "bytemap_fill.pgm";
    random_srand(7315);
    BYTEMAP *map = bytemap_new();
    bytemap_resize(map, size, size);
    BYTEMAP *patch = bytemap_new();
    bytemap_resize(patch, 64, 64);
    SAMPLE *palette = make_palette();
    IMG *image = img_new();
    img_resize(image, size, size);
    IMG *checks = img_new();
    img_resize(checks, 8, 8);
    FILL *fill = fill_new();
    if (!map || !patch || !palette || !image || !checks || !fill) return 1;

    for (int32_t r = 20; r < 120; r += 20) bytemap_circle_sine(map, 128, 128, r, (uint8_t)(r * 2));
    bytemap_line(map, 0, 0, 255, 255, 250);
    bytemap_line(map, 255, 0, 0, 255, 250);
    bytemap_noise(patch, 96, 63);  // values 96..159
    bytemap_draw_blend(patch, map, 180, 10);
    int status = bytemap_save_pgm(map, out_pgm) ? 0 : 1;

    bytemap_to_img(map, image, palette);
    for (int32_t y = 0; y < 8; y++)
        for (int32_t x = 0; x < 8; x++) img_set_pixel(checks, x, y, ((x ^ y) & 4) ? 0xFFFFFF : 0x20C020);
    flood(fill, image, nullptr, 128, 128, 0xE0E020);  // the innermost ring's disc
    flood(fill, image, checks, 128, 70, 0);           // between two rings, above the centre
    flood(fill, image, checks, 5, 128, 0);            // the left quarter outside the rings
    if (!img_save_ppm(image, out_ppm)) status = 1;
    if (status) fprintf(stderr, "bytemap_fill: cannot write %s or %s\n", out_ppm, out_pgm);

    fill_del(&fill);
    img_del(&checks);
    img_del(&image);
    sample_del(&palette);
    bytemap_del(&patch);
    bytemap_del(&map);
    return status;
}
