// line_art: line fonts and 2D line objects. A few letters and a star are
// written in the brace text format, parsed into OBJ2D objects, and the
// letters made a line font (LFONT) indexed by character code. The words are
// drawn at two scales and turned, and a ring of stars, each scaled and
// rotated by its object's own transform, goes round them.
// Usage: line_art [out.ppm]   (default line_art.ppm). Exit code 0 on success,
// 1 when the file cannot be written.
#include <cstdint>
#include <cstdio>

#include "imaging/img.h"
#include "vector/lfont.h"
#include "vector/list.h"
#include "vector/obj2d.h"
#include "vector/seg2d.h"
#include "vector/vec2d.h"

// Glyphs on an 8 x 8 grid, one block per letter in the order of `letters`,
// then a star about its own origin. Every text ends with a line feed, which
// the parser needs after the last brace.
static const char letters[] = "RIVOLNES ";
static const char shapes[] =
    "color $FFD040\n"
    "{ name R\ns 0,8 0,0 s 0,0 5,0 s 5,0 6,1 s 6,1 6,3 s 6,3 5,4 s 5,4 0,4 s 2,4 6,8\n}\n"
    "{ name I\ns 3,0 3,8 s 1,0 5,0 s 1,8 5,8\n}\n"
    "{ name V\ns 0,0 3,8 s 3,8 6,0\n}\n"
    "{ name O\ns 1,0 5,0 s 5,0 6,1 s 6,1 6,7 s 6,7 5,8 s 5,8 1,8 s 1,8 0,7 s 0,7 0,1 s 0,1 1,0\n}\n"
    "{ name L\ns 0,0 0,8 s 0,8 6,8\n}\n"
    "{ name N\ns 0,8 0,0 s 0,0 6,8 s 6,8 6,0\n}\n"
    "{ name E\ns 6,0 0,0 s 0,0 0,8 s 0,8 6,8 s 0,4 4,4\n}\n"
    "{ name S\ns 6,0 1,0 s 1,0 0,1 s 0,1 0,3 s 0,3 1,4 s 1,4 5,4 s 5,4 6,5 s 6,5 6,7 s 6,7 5,8 s 5,8 0,8\n}\n"
    "{ name space\n}\n"
    "color $40C0FF\n"
    "{ name star\ns 0 -8 5 6 s 5 6 -8 -2 s -8 -2 8 -2 s 8 -2 -5 6 s -5 6 0 -8\n}\n";

int main(int argc, char **argv) {
    const char *out = argc > 1 ? argv[1] : "line_art.ppm";
    IMG *image = img_new();
    img_resize(image, 256, 256);
    LIST *parsed = obj2d_parse(shapes);
    LIST *glyphs = list_new();
    LFONT *font = lfont_new();
    const int32_t count = (int32_t)sizeof letters - 1;
    if (!image || !parsed || parsed->count != count + 1 || !glyphs || !font) return 1;

    // The font's list holds glyph k at index k; the other codes stay empty.
    list_set_count(glyphs, 128);
    for (int32_t i = 0; i < count; i++) list_set(glyphs, list_get(parsed, i), letters[i]);
    OBJ2D *star = (OBJ2D *)list_get(parsed, count);
    font->glyphs = glyphs;
    font->target = image;
    font->size->x = 9;  // advance: 8 grid columns and one of space

    font->position->x = 38, font->position->y = 100;
    font->scale->x = font->scale->y = 3;
    lfont_draw_text(font, "RIVO\nLINES");
    font->position->x = 70, font->position->y = 180;
    font->scale->x = font->scale->y = 1;
    font->angle = 40;  // every glyph turned a little about its own origin
    lfont_set_color(font, 0xFF60A0);
    lfont_draw_line(font, "SOLVE NINE");

    // Twelve stars on a circle, each larger and turned further than the last.
    for (int32_t i = 0; i < 12; i++) {
        star->position->x = 128 + (int32_t)((int64_t)sine_table[(i * 85 + 256) & sine_mask] * 110 >> 15);
        star->position->y = 128 + (int32_t)((int64_t)sine_table[(i * 85) & sine_mask] * 110 >> 15);
        star->scale->x = star->scale->y = 1 + i / 4;
        star->angle = i * 40;
        obj2d_draw(star, image);
    }
    int status = img_save_ppm(image, out) ? 0 : 1;
    if (status) fprintf(stderr, "line_art: cannot write %s\n", out);
    lfont_del(&font);  // destroys the letters; the star is the program's
    obj2d_del(&star);
    list_del(&glyphs);
    list_del(&parsed);
    img_del(&image);
    return status;
}
