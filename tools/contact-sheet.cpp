// contact-sheet: writes one binary PPM per built-in picture into a folder, so
// the assets can be looked at outside the demo: the logo, the glyph sheet
// (enlarged three times on a grid labelled with hex codes in its own font) and
// the four letter pictures, each decoded exactly as the demo decodes it; and,
// once the line-art texts are in the tree, the 256 glyphs of each line font
// and every shape, drawn with LFONT on labelled grids.
// Usage: contact-sheet FOLDER
#include <cstdio>
#include <string>

#include "demo/pictures.h"
#include "imaging/img.h"
#include "text/font.h"

#if __has_include("demo/linefonts.h")
#include "demo/linefonts.h"
#include "vector/lfont.h"
#include "vector/list.h"
#include "vector/obj2d.h"
#include "vector/vec2d.h"
#define CONTACT_LINE_ART 1
#endif

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

// The bitmap font used for the grid labels.
FONT *label_font(const IMG *sheet, IMG *target) {
    FONT *font = font_new();
    font->sheet = img_dup(sheet);
    font->cell_width = font->cell_height = 16;
    font->target = target;
    return font;
}

void label(FONT *font, int32_t x, int32_t y, const char *text) {
    font->x = x;
    font->y = y;
    font_draw_line(font, text);
}

// The glyph sheet: every cell three times its size, code c at column c mod 16
// and row c / 16, with the column and row digits written in the sheet's own
// glyphs along the top and the left.
IMG *glyph_contact(const IMG *sheet) {
    const int32_t k = 3, pitch = 16 * k + 4, margin = 24;
    IMG *out = sized(margin + 16 * pitch, margin + 16 * pitch, ground);
    FONT *font = label_font(sheet, out);
    const char *hex = "0123456789ABCDEF";
    for (int32_t i = 0; i < 16; i++) {
        char digit[2] = {hex[i], 0};
        label(font, margin + i * pitch + (16 * k - 16) / 2, 4, digit);
        label(font, 4, margin + i * pitch + (16 * k - 16) / 2, digit);
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

#ifdef CONTACT_LINE_ART
// A line font over the glyphs parsed from `text`, glyph cell `size`, drawn
// into `target` at scale k; 8 x 8 glyphs are moved to turn about their
// middle, as the demo does. Null when the text does not parse.
LFONT *line_font(const char *text, int32_t size, int32_t k, IMG *target, LIST **glyphs) {
    *glyphs = obj2d_parse(text);
    if (!*glyphs) return nullptr;
    if (size == 8)
        for (int32_t i = (*glyphs)->count - 1; i >= 0; i--) {
            OBJ2D *g = (OBJ2D *)list_get(*glyphs, i);
            if (!g || !g->position) continue;
            g->position->x = -4;
            g->position->y = -4;
            obj2d_translate_segments(g);
        }
    LFONT *f = lfont_new();
    f->size->x = f->size->y = size;
    f->scale->x = f->scale->y = k;
    f->glyphs = *glyphs;
    f->target = target;
    return f;
}

void line_font_del(LFONT **f, LIST **glyphs) {
    lfont_del(f);  // destroys the glyph objects, not their list
    list_del(glyphs);
}

// Glyph `code` of f with its cell's top-left corner at (x, y).
void line_glyph(LFONT *f, int32_t code, int32_t x, int32_t y, bool centred) {
    int32_t half = centred ? f->size->x * f->scale->x / 2 : 0;
    f->position->x = x + half;
    f->position->y = y + half;
    f->code = code;
    lfont_draw_char(f);
}

// All 256 codes of a line font on a 16 x 16 grid labelled with hex digits.
IMG *line_font_contact(const IMG *sheet, const char *text, int32_t size, int32_t k) {
    const int32_t cell = size * k, pitch = cell + 8, margin = 24;
    IMG *out = sized(margin + 16 * pitch, margin + 16 * pitch, ground);
    for (int32_t c = 0; c < 256; c++)
        img_fill_rect(out, margin + (c % 16) * pitch, margin + (c / 16) * pitch, cell, cell, 0);
    FONT *font = label_font(sheet, out);
    const char *hex = "0123456789ABCDEF";
    for (int32_t i = 0; i < 16; i++) {
        char digit[2] = {hex[i], 0};
        label(font, margin + i * pitch + (cell - 16) / 2, 4, digit);
        label(font, 4, margin + i * pitch + (cell - 16) / 2, digit);
    }
    font_del(&font);
    LIST *glyphs;
    LFONT *f = line_font(text, size, k, out, &glyphs);
    if (!f) {
        img_del(&out);
        return nullptr;
    }
    lfont_set_color(f, 0xFFFFFF);
    for (int32_t c = 0; c < 256; c++) line_glyph(f, c, margin + (c % 16) * pitch, margin + (c / 16) * pitch, size == 8);
    std::printf("line font %dx%d: %d glyphs parsed\n", size, size, glyphs->count);
    line_font_del(&f, &glyphs);
    return out;
}

// Every shape at scale 3 in a cell with its number (bitmap font) and the
// start of its name (the 8 x 8 line font) underneath.
IMG *shapes_contact(const IMG *sheet) {
    const int32_t k = 3, cell = 16 * k, pitch_x = 80, pitch_y = 96, columns = 10;
    LIST *glyphs;
    LFONT *f = line_font(demo_shapes_text, 16, k, nullptr, &glyphs);
    if (!f) return nullptr;
    int32_t n = glyphs->count, rows = (n + columns - 1) / columns;
    IMG *out = sized(8 + columns * pitch_x, 8 + rows * pitch_y, ground);
    f->target = out;
    FONT *font = label_font(sheet, out);
    LIST *small_glyphs;
    LFONT *names = line_font(demo_font8_text, 8, 1, out, &small_glyphs);
    if (names) lfont_set_color(names, 0xC0C0C0);
    lfont_set_color(f, 0xFFFF60);
    for (int32_t i = 0; i < n; i++) {
        int32_t x = 8 + (i % columns) * pitch_x, y = 8 + (i / columns) * pitch_y;
        img_fill_rect(out, x, y, cell, cell, 0);
        line_glyph(f, i, x, y, false);
        char number[12];
        std::snprintf(number, sizeof number, "%d", i);
        label(font, x, y + cell + 2, number);
        OBJ2D *g = (OBJ2D *)list_get(glyphs, i);
        if (names && g && g->name) {
            char name[10] = {0};
            std::snprintf(name, sizeof name, "%s", g->name);
            names->position->x = x + 4;
            names->position->y = y + cell + 26;
            lfont_draw_line(names, name);
        }
        std::printf("shape %2d: %s\n", i, g && g->name ? g->name : "(no name)");
    }
    font_del(&font);
    if (names) line_font_del(&names, &small_glyphs);
    line_font_del(&f, &glyphs);
    return out;
}

int save_line_art(const IMG *sheet, const std::string &dir) {
    int failed = 0;
    IMG *out = line_font_contact(sheet, demo_font8_text, 8, 3);
    failed += save(out, dir + "/lfont8.ppm");
    img_del(&out);
    out = line_font_contact(sheet, demo_font16_text, 16, 2);
    failed += save(out, dir + "/lfont16.ppm");
    img_del(&out);
    out = shapes_contact(sheet);
    failed += save(out, dir + "/shapes.ppm");
    img_del(&out);
    return failed;
}
#endif

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
#ifdef CONTACT_LINE_ART
        failed += save_line_art(sheet, dir);
#endif
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
