// Line fonts: reading a 256-glyph font text at start-up, and the per-frame
// cost of the info scroller (one step and a white 16x16 line across 256 pixels).
#include <benchmark/benchmark.h>

#include <string>

#include "imaging/img.h"
#include "text/lscroll.h"
#include "vector/lfont.h"
#include "vector/list.h"
#include "vector/obj2d.h"

namespace {

// A font text shaped like the built-in ones: header, 256 blocks, glyphs of
// five strokes on a 16 x 16 grid for codes 33 to 126.
std::string font_text() {
    std::string t = "# bench font\nname bench\nversion 1\nauthor bench\ntype font\n";
    for (int c = 0; c < 256; c++) {
        if (c < 33 || c > 126) {
            t += "{ }\n";
            continue;
        }
        t += "{ name g" + std::to_string(c) + "\n";
        if (c == 33) t += "  color $00ffffff\n";
        for (int k = 0; k < 5; k++)
            t += "  s " + std::to_string((c + k) % 16) + "," + std::to_string(k * 3) + " " +
                 std::to_string((c * 7 + k) % 16) + "," + std::to_string(15 - k) + "\n";
        t += "}\n";
    }
    return t;
}

void release(LIST **glyphs) {
    for (int32_t i = 0; i < (*glyphs)->count; i++) {
        OBJ2D *o = (OBJ2D *)(*glyphs)->items[i];
        if (o) obj2d_del(&o);
    }
    list_del(glyphs);
}

void BM_Obj2dParseFont(benchmark::State &state) {
    std::string text = font_text();
    for (auto _ : state) {
        LIST *glyphs = obj2d_parse(text.c_str());
        benchmark::DoNotOptimize(glyphs);
        release(&glyphs);
    }
    state.SetBytesProcessed(state.iterations() * (int64_t)text.size());
}
BENCHMARK(BM_Obj2dParseFont);

void BM_LscrollStepAndDrawColour(benchmark::State &state) {
    std::string text = font_text();
    LIST *glyphs = obj2d_parse(text.c_str());
    LFONT *font = lfont_new();
    font->glyphs = glyphs;
    IMG *frame = img_new();
    img_resize(frame, 256, 256);
    LSCROLL *s = lscroll_new();
    lscroll_set(s, "THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG. 0123456789 ", font, frame);
    s->y = 128;
    s->speed = 3;
    for (auto _ : state) {
        lscroll_step(s);
        lscroll_draw_color(s, 0xFFFFFF);
    }
    benchmark::DoNotOptimize(frame->pixels[128 * 256]);
    lscroll_del(&s);
    lfont_del(&font);
    list_del(&glyphs);
    img_del(&frame);
}
BENCHMARK(BM_LscrollStepAndDrawColour);

}  // namespace
