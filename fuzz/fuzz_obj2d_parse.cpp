// Feeds arbitrary bytes, zero-terminated, to the brace text reader, then
// exercises every parsed object the way a line font would: copy, draw into a
// small image, destroy. The reader must never look past the terminating zero.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "imaging/img.h"
#include "vector/list.h"
#include "vector/obj2d.h"
#include "vector/vec2d.h"

// Lines are plotted pixel by pixel along their length, so only objects of
// modest extent are drawn.
static bool fuzz_small(const OBJ2D *o) {
    if (o->segments->count > 64) return false;
    for (int32_t i = 0; i < o->points->count; i++) {
        const VEC2D *p = (const VEC2D *)list_get(o->points, i);
        if (!p || p->x < -4096 || p->x > 4096 || p->y < -4096 || p->y > 4096) return false;
    }
    return true;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    char *text = (char *)malloc(size + 1);
    if (!text) return 0;
    memcpy(text, data, size);
    text[size] = 0;
    LIST *objects = obj2d_parse(text);
    free(text);
    if (!objects) return 0;
    IMG *img = img_new();
    for (int32_t i = 0; i < objects->count; i++) {
        OBJ2D *o = (OBJ2D *)list_get(objects, i);
        if (!o) continue;
        if (fuzz_small(o)) {
            o->angle = i * 37;
            obj2d_draw(o, img);
        }
        OBJ2D *copy = obj2d_dup(o);
        if (copy) obj2d_del(&copy);
        obj2d_del(&o);
    }
    list_del(&objects);
    img_del(&img);
    return 0;
}
