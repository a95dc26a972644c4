// contact-sheet: writes one binary PPM per built-in picture into a folder, so
// the assets can be looked at outside the demo: the logo, the glyph sheet
// (enlarged three times on a grid labelled with hex codes in its own font) and
// the four letter pictures, each decoded exactly as the demo decodes it.
// Usage: contact-sheet FOLDER
#include <cstdio>
#include <string>

#include "demo/pictures.h"
#include "imaging/img.h"
#include "text/font.h"

namespace {

const uint32_t ground = 0x202048;

// Saves and says so; returns 0 on success, 1 on failure.
int save(const IMG *image, const std::string &path) {
    if (!image || !img_save_ppm(image, path.c_str())) {
        std::fprintf(stderr, "contact-sheet: could not write %s\n", path.c_str());
        return 1;
    }
    std::printf("%s (%d x %d)\n", path.c_str(), image->width, image->height);
    return 0;
}

IMG *sized(int32_t w, int32_t h, uint32_t colour) {
    IMG *image = img_new();
    img_resize(image, w, h);
    img_clear(image, colour);
    return image;
}

// Copies the w x h rectangle at (sx, sy) of `source` enlarged `k` times to
// (dx, dy) of `target`.
void blit_enlarged(const IMG *source, IMG *target, int32_t sx, int32_t sy, int32_t w, int32_t h,
                   int32_t k, int32_t dx, int32_t dy) {
    IMG *cell = sized(w, h, 0);
    IMG *big = sized(w * k, h * k, 0);
    img_blit_opaque(source, cell, sx, sy, 0, 0, w, h);
    img_scale(cell, big);
    img_blit_opaque(big, target, 0, 0, dx, dy, w * k, h * k);
    img_del(&cell);
    img_del(&big);
}

// The glyph sheet: every cell three times its size, code c at column c mod 16
// and row c / 16, with the column and row digits written in the sheet's own
// glyphs along the top and the left.
IMG *glyph_contact(const IMG *sheet) {
    const int32_t k = 3, pitch = 16 * k + 4, margin = 24;
    IMG *out = sized(margin + 16 * pitch, margin + 16 * pitch, ground);
    FONT *font = font_new();
    font->sheet = img_dup(sheet);
    font->cell_width = font->cell_height = 16;
    font->target = out;
    const char *hex = "0123456789ABCDEF";
    for (int32_t i = 0; i < 16; i++) {
        font->code = hex[i];
        font->x = margin + i * pitch + (16 * k - 16) / 2;
        font->y = 4;
        font_draw_char(font);
        font->code = hex[i];
        font->x = 4;
        font->y = margin + i * pitch + (16 * k - 16) / 2;
        font_draw_char(font);
    }
    for (int32_t c = 0; c < 256; c++)
        blit_enlarged(sheet, out, (c % 16) * 16, (c / 16) * 16, 16, 16, k, margin + (c % 16) * pitch,
                      margin + (c / 16) * pitch);
    font_del(&font);
    return out;
}

// A decoded picture on a framed ground, enlarged k times.
IMG *framed(const IMG *picture, int32_t k) {
    const int32_t border = 8;
    IMG *out = sized(picture->width * k + 2 * border, picture->height * k + 2 * border, ground);
    blit_enlarged(picture, out, 0, 0, picture->width, picture->height, k, border, border);
    return out;
}

int save_picture(const unsigned char *data, size_t size, int32_t k, const std::string &path) {
    IMG *picture = img_from_pnm(data, size);
    if (!picture) {
        std::fprintf(stderr, "contact-sheet: %s does not decode\n", path.c_str());
        return 1;
    }
    IMG *out = framed(picture, k);
    int failed = save(out, path);
    img_del(&out);
    img_del(&picture);
    return failed;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: contact-sheet FOLDER\n");
        return 2;
    }
    std::string dir = argv[1];
    int failed = 0;
    failed += save_picture(demo_logo_pnm, demo_logo_pnm_size, 4, dir + "/logo.ppm");
    IMG *sheet = img_from_pnm(demo_glyphs_pnm, demo_glyphs_pnm_size);
    if (sheet) {
        IMG *out = glyph_contact(sheet);
        failed += save(out, dir + "/glyphs.ppm");
        img_del(&out);
        img_del(&sheet);
    } else {
        std::fprintf(stderr, "contact-sheet: the glyph sheet does not decode\n");
        failed++;
    }
    for (int i = 0; i < 4; i++)
        failed += save_picture(demo_letter_pnm[i], *demo_letter_pnm_size[i], 2,
                               dir + "/letter" + std::to_string(i + 1) + ".ppm");
    return failed ? 1 : 0;
}
