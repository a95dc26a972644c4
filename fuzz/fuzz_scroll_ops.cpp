// Runs of cursor, counter and scroller operations with fuzzed lengths, steps,
// speeds, offsets, positions and cell sizes: every step must land the cursor
// inside its text and the offset inside one character, and no draw may reach
// outside the target.
#include "fuzz/fuzz_ops.h"
#include "imaging/img.h"
#include "text/cursor.h"
#include "text/font.h"
#include "text/lscrlxyz.h"
#include "text/lscroll.h"
#include "text/scroll.h"
#include "vector/lfont.h"
#include "vector/vec2d.h"

static const char text[] = "The quick brown fox jumps over the lazy dog. ";

// A character width the draws may use: at least 1 pixel when positive, so a
// strip of 64 pixels never draws more than 66 characters.
static int32_t cell(int32_t v) { return v > 0 ? v % 64 + 1 : v; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz_stream in{data, size};
    IMG *target = img_new();
    FONT *font = font_new();
    LFONT *lfont = lfont_new();
    CURSOR *cursor = cursor_new();
    CURSORX *counter = cursorx_new();
    SCROLL *scroll = scroll_new();
    LSCROLL *lscroll = lscroll_new();
    LSCRLXYZ *wave = lscrlxyz_new();
    if (!target || !font || !lfont || !cursor || !counter || !scroll || !lscroll || !wave) abort();
    img_resize(target, 64, 32);
    font->sheet = img_new();
    scroll_set(scroll, text, font, target);
    lscroll_set(lscroll, text, lfont, target);
    lscrlxyz_set(wave, text, lfont, target);
    for (int op = 0; op < fuzz_max_ops && in.n; op++) {
        uint8_t code = fuzz_byte(&in);
        int32_t v[5];
        for (int32_t &x : v) x = fuzz_int(&in);
        switch (code % 12) {
        case 0:
            cursor_set(cursor, text, v[0], v[1], v[2]);
            cursor_seek(cursor, v[3]);
            cursor_advance(cursor);
            fuzz_check(cursor->length <= 0 ||
                       (cursor->index >= 0 && cursor->index < cursor->length));
            break;
        case 1:
            cursorx_set(counter, v[0], v[1], v[2], v[3], v[4]);
            cursorx_step(counter);
            cursorx_step_offset(counter);
            fuzz_check(counter->modulus <= 0 ||
                       (counter->value >= 0 && counter->value < counter->modulus));
            break;
        case 2:
            cursorx_restart(counter, v[0]);
            cursorx_set_modulus(counter, v[1]);
            break;
        case 3:
            scroll->speed = v[0];
            scroll->offset = v[1];
            scroll_step(scroll);
            break;
        case 4:
            scroll->x = v[0];
            scroll->y = v[1];
            scroll_draw(scroll);
            scroll_draw_opaque(scroll);
            break;
        case 5:
            font->cell_width = cell(v[0]);
            font->cell_height = v[1];
            font->code = v[2];
            break;
        case 6:
            lscroll->speed = v[0];
            lscroll_step(lscroll);
            wave->speed = v[1];
            lscrlxyz_step(wave);
            break;
        case 7:
            lscroll->x = v[0];
            lscroll->y = v[1];
            lscroll_draw(lscroll);
            lscroll_draw_color(lscroll, (uint32_t)v[2]);
            break;
        case 8: lscroll_draw_spiral(lscroll, v[0]); break;
        case 9:
            lfont->size->x = cell(v[0]);
            lfont->size->y = v[1];
            lfont->scale->x = v[2] > 0 ? v[2] % 4 + 1 : v[2];
            lfont->scale->y = v[3];
            break;
        case 10:
            wave->x = v[0];
            wave->y = v[1];
            wave->x_spread = v[2];
            wave->y_amplitude = v[3];
            wave->z_phase = v[4];
            lscrlxyz_draw_wave(wave);
            lscrlxyz_draw(wave);
            break;
        default: img_blit(font->sheet, target, v[0], v[1], v[2], v[3], v[4], 16); break;
        }
        fuzz_check(cursor->index >= 0 || cursor->length <= 0);
    }
    lscrlxyz_del(&wave);
    lscroll_del(&lscroll);
    scroll_del(&scroll);
    cursorx_del(&counter);
    cursor_del(&cursor);
    lfont_del(&lfont);
    font_del(&font);
    img_del(&target);
    return 0;
}
