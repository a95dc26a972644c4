// pnm_images: images and PNM files. Draws a colour gradient, rectangles,
// lines and ellipses into a 256 x 256 image, pastes a rotated and a shrunken
// copy of a small tile, writes the picture as a binary PPM file, reads the
// file back and checks that every pixel survived the round trip.
// Usage: pnm_images [out.ppm]   (default pnm_images.ppm). Exit code 0 on
// success, 1 when the file cannot be written or reads back different.
#include <cstdint>
#include <cstdio>

#include "imaging/img.h"

static const int32_t size = 256;

// A 64 x 64 tile: a white frame round a red-to-blue diagonal ramp.
static IMG *make_tile(void) {
    IMG *tile = img_new();
    img_resize(tile, 64, 64);
    for (int32_t y = 0; y < 64; y++)
        for (int32_t x = 0; x < 64; x++)
            img_set_pixel(tile, x, y, (uint32_t)(x * 4) << 16 | (uint32_t)(y * 4));
    img_rect(tile, 0, 0, 64, 64, 0xFFFFFF);
    return tile;
}

int main(int argc, char **argv) {
    const char *out = argc > 1 ? argv[1] : "pnm_images.ppm";
    IMG *image = img_new();
    img_resize(image, size, size);
    if (!image || !image->pixels) return 1;

    // Background: green rises down the rows, a grey step every 32 columns.
    for (int32_t y = 0; y < size; y++) img_hline(image, y, 0, size - 1, (uint32_t)y << 8);
    for (int32_t x = 0; x < size; x += 32) img_vline(image, x, 0, size - 1, 0x404040);

    img_fill_rect(image, 16, 16, 96, 48, 0x2040A0);
    img_rect(image, 16, 16, 96, 48, 0xFFFF00);
    img_fill_ellipse(image, 180, 60, 60, 30, 0xC03030);
    img_ellipse(image, 180, 60, 66, 36, 0xFFFFFF);
    img_fill_circle(image, 64, 190, 40, 0x30A0C0);
    for (int32_t i = 0; i < 8; i++) img_line(image, 128, 128, 128 + i * 16, 255, 0xFFFFFF - (uint32_t)i * 0x101010);

    // A tile turned by an eighth of a turn (angle 0 is a half turn, 1024 a
    // whole one) and a half-size copy, pasted where their black corners show through.
    IMG *tile = make_tile();
    IMG *turned = img_rotate(tile, 512 + 128);
    IMG *small = img_new();
    img_resize(small, 32, 32);
    img_scale(tile, small);
    if (turned) img_blit(turned, image, 0, 0, 150, 130, turned->width, turned->height);
    img_blit(small, image, 0, 0, 20, 80, 32, 32);

    int status = 0;
    if (!img_save_ppm(image, out)) {
        fprintf(stderr, "pnm_images: cannot write %s\n", out);
        status = 1;
    } else {
        IMG *back = img_load_pnm(out);
        if (!img_compare(image, back)) {
            fprintf(stderr, "pnm_images: %s reads back different\n", out);
            status = 1;
        }
        img_del(&back);
    }
    img_del(&small);
    img_del(&turned);
    img_del(&tile);
    img_del(&image);
    return status;
}
