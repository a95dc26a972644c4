// Integer 2D point with a colour.
// VEC2D: signed 32-bit x and y (y grows downwards) and a 0x00RRGGBB colour.
// Rotation multiplies by sine-table fractions of 32768 and shifts right by 15,
// so it floors and shrinks slightly; products wrap at 32 bits unchecked.
#include "vector/vec2d.h"

#include <cstdlib>

#include "host/int.h"
#include "host/module.h"
#include "imaging/img.h"
#include "vector/seg2d.h"

RIVO_IDENTITY(vec2d, "VEC2D   ", "20140726", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(vec2d, 1, "VEC2D error\n");

// Truncating division that wraps INT32_MIN / -1 instead of trapping.
static int32_t vec2d_div(int32_t a, int32_t d) {
    return d == -1 ? wrap_neg(a) : a / d;
}

VEC2D *vec2d_new(void) {
    VEC2D *v = (VEC2D *)calloc(1, sizeof(VEC2D));
    if (!v) {
        vec2d_error();
        return nullptr;
    }
    v->color = 0x00FFFFFF;
    return v;
}

void vec2d_del(VEC2D **v) {
    if (!v || !*v) {
        vec2d_error();
        return;
    }
    free(*v);
    *v = nullptr;
}

bool vec2d_compare(const VEC2D *a, const VEC2D *b) {
    if (!a || !b) {
        vec2d_error();
        return false;
    }
    return a->x == b->x && a->y == b->y && a->color == b->color;
}

void vec2d_copy(const VEC2D *source, VEC2D *target) {
    if (!source || !target) {
        vec2d_error();
        return;
    }
    target->x = source->x;
    target->y = source->y;
    target->color = source->color;
}

VEC2D *vec2d_dup(const VEC2D *source) {
    if (!source) {
        vec2d_error();
        return nullptr;
    }
    VEC2D *v = vec2d_new();
    if (v) vec2d_copy(source, v);
    return v;
}

void vec2d_plot(const VEC2D *v, IMG *img) {
    if (!v) {
        vec2d_error();
        return;
    }
    img_set_pixel(img, v->x, v->y, v->color);
}

void vec2d_plot_transformed(const VEC2D *v, int32_t angle, const VEC2D *offset, IMG *img) {
    if (!v || !offset) {
        vec2d_error();
        return;
    }
    VEC2D moved = *v;
    vec2d_rotate(&moved, angle);
    vec2d_add(offset, &moved);
    vec2d_plot(&moved, img);
}

void vec2d_add(const VEC2D *offset, VEC2D *target) {
    if (!offset || !target) {
        vec2d_error();
        return;
    }
    target->x = wrap_add(target->x, offset->x);
    target->y = wrap_add(target->y, offset->y);
}

void vec2d_sub(VEC2D *target, const VEC2D *amount) {
    if (!target || !amount) {
        vec2d_error();
        return;
    }
    target->x = wrap_sub(target->x, amount->x);
    target->y = wrap_sub(target->y, amount->y);
}

void vec2d_negate(VEC2D *v) {
    if (!v) {
        vec2d_error();
        return;
    }
    v->x = wrap_neg(v->x);
    v->y = wrap_neg(v->y);
}

void vec2d_rotate(VEC2D *v, int32_t angle) {
    if (!v) {
        vec2d_error();
        return;
    }
    // Angle 0 is skipped: the table's 32766 peak would shrink the vector.
    if (angle == 0) return;
    int32_t sv = sine_table[angle & sine_mask];
    int32_t cv = sine_table[wrap_add(angle, 256) & sine_mask];
    int32_t x = v->x;
    int32_t y = v->y;
    v->x = asr(wrap_sub(wrap_mul(x, cv), wrap_mul(y, sv)), 15);
    v->y = asr(wrap_add(wrap_mul(x, sv), wrap_mul(y, cv)), 15);
}

void vec2d_scale(VEC2D *v, int32_t k) {
    if (!v) {
        vec2d_error();
        return;
    }
    v->x = wrap_mul(v->x, k);
    v->y = wrap_mul(v->y, k);
}

void vec2d_divide(VEC2D *v, int32_t d) {
    // A zero divisor is a bad argument: the vector keeps its value.
    if (!v || d == 0) {
        vec2d_error();
        return;
    }
    v->x = vec2d_div(v->x, d);
    v->y = vec2d_div(v->y, d);
}

void vec2d_mul(VEC2D *v, const VEC2D *factors) {
    if (!v || !factors) {
        vec2d_error();
        return;
    }
    v->x = wrap_mul(v->x, factors->x);
    v->y = wrap_mul(v->y, factors->y);
}

int32_t vec2d_dx(const VEC2D *a, const VEC2D *b) {
    if (!a || !b) {
        vec2d_error();
        return 0;
    }
    return wrap_sub(a->x, b->x);
}

int32_t vec2d_dy(const VEC2D *a, const VEC2D *b) {
    if (!a || !b) {
        vec2d_error();
        return 0;
    }
    return wrap_sub(a->y, b->y);
}

int32_t vec2d_length2(const VEC2D *v) {
    if (!v) {
        vec2d_error();
        return -1;
    }
    return wrap_add(wrap_mul(v->x, v->x), wrap_mul(v->y, v->y));
}
