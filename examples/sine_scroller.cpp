// sine_scroller: scrollers and sine effects. Each frame fills the picture
// with sine scan rows (SINESCAN), draws a chain of points moved by three
// sine waves in eight mirror images (SINELINE), and scrolls a text through
// a strip with a small line font (LSCROLL, LFONT). The last frame is kept.
// Usage: sine_scroller [out.ppm]   (default sine_scroller.ppm). Exit code 0
// on success, 1 when the file cannot be written.
#include <cstdint>
#include <cstdio>

#include "host/random.h"
#include "imaging/img.h"
#include "text/lscroll.h"
#include "text/sineline.h"
#include "text/sinescan.h"
#include "vector/lfont.h"
#include "vector/list.h"
#include "vector/obj2d.h"
#include "vector/vec2d.h"

static const int32_t frames = 60;
// Glyphs on an 8 x 8 grid, one block per character of `letters`.
static const char letters[] = "SINEWAV ";
static const char glyph_text[] =
    "color $FFFFFF\n"
    "{ name S\ns 6,0 1,0 s 1,0 0,1 s 0,1 0,3 s 0,3 1,4 s 1,4 5,4 s 5,4 6,5 s 6,5 6,7 s 6,7 5,8 s 5,8 0,8\n}\n"
    "{ name I\ns 3,0 3,8 s 1,0 5,0 s 1,8 5,8\n}\n"
    "{ name N\ns 0,8 0,0 s 0,0 6,8 s 6,8 6,0\n}\n"
    "{ name E\ns 6,0 0,0 s 0,0 0,8 s 0,8 6,8 s 0,4 4,4\n}\n"
    "{ name W\ns 0,0 1,8 s 1,8 3,4 s 3,4 5,8 s 5,8 6,0\n}\n"
    "{ name A\ns 0,8 3,0 s 3,0 6,8 s 1,5 5,5\n}\n"
    "{ name V\ns 0,0 3,8 s 3,8 6,0\n}\n"
    "{ name space\n}\n";

int main(int argc, char **argv) {
    const char *out = argc > 1 ? argv[1] : "sine_scroller.ppm";
    random_srand(2015);  // the waves' phases and speeds are drawn at creation
    IMG *image = img_new();
    img_resize(image, 256, 256);
    LIST *parsed = obj2d_parse(glyph_text);
    LIST *glyphs = list_new();
    LFONT *font = lfont_new();
    LSCROLL *scroller = lscroll_new();
    SINESCAN *scan = sinescan_new();
    SINELINE *chain = sineline_new();
    const int32_t count = (int32_t)sizeof letters - 1;
    if (!image || !parsed || parsed->count != count || !glyphs || !font || !scroller || !scan || !chain)
        return 1;
    list_set_count(glyphs, 128);
    for (int32_t i = 0; i < count; i++) list_set(glyphs, list_get(parsed, i), letters[i]);
    font->glyphs = glyphs;
    font->target = image;
    font->size->x = 10;
    font->scale->x = font->scale->y = 3;
    lscroll_set(scroller, "SINE WAVES  SINE WAVES  ", font, image);
    scroller->y = 116;
    scroller->speed = 4;
    chain->color = 0xFFE070;

    for (int32_t f = 0; f < frames; f++) {
        // One scan row per image row, the waves moving on between rows.
        for (int32_t y = 0; y < 256; y++) {
            scan->y = y;
            sinescan_update(scan);
            sinescan_draw_palette(scan, image);
        }
        sineline_update(chain);
        sineline_draw_mirror8(chain, image);
        lscroll_step(scroller);
        lscroll_draw(scroller);
    }
    int status = img_save_ppm(image, out) ? 0 : 1;
    if (status) fprintf(stderr, "sine_scroller: cannot write %s\n", out);
    sineline_del(&chain);
    sinescan_del(&scan);
    lscroll_del(&scroller);
    lfont_del(&font);  // destroys the glyphs
    list_del(&glyphs);
    list_del(&parsed);
    img_del(&image);
    return status;
}
