// FLASHPIX: a record of seven zeroed words with the lifecycle operations of
// every module and two operations that only check their record. It keeps a
// place for a flash effect that no scene draws; nothing reads its words.
#include "imaging/flashpix.h"

#include <cstdlib>

#include "host/module.h"

RIVO_IDENTITY(flashpix, "FLASHPIX", "20140426", "Ostrevik", "C       ", "CODE    ");
RIVO_REPORTER(flashpix, 0, "FLASHPIX error\n");

FLASHPIX *flashpix_new(void) {
    FLASHPIX *flash = (FLASHPIX *)calloc(1, sizeof(FLASHPIX));
    if (!flash) flashpix_error();
    return flash;
}

void flashpix_del(FLASHPIX **flash) {
    if (!flash || !*flash) {
        flashpix_error();
        return;
    }
    free(*flash);
    *flash = nullptr;
}

char *flashpix_to_text(const FLASHPIX *flash) {
    if (!flash) flashpix_error();
    return nullptr;
}

int flashpix_compare(const FLASHPIX *a, const FLASHPIX *b) {
    if (!a || !b) flashpix_error();
    return 0;
}

FLASHPIX *flashpix_dup(const FLASHPIX *source) {
    if (!source) {
        flashpix_error();
        return nullptr;
    }
    return flashpix_new();
}

void flashpix_copy(const FLASHPIX *source, FLASHPIX *target) {
    if (!source || !target) flashpix_error();
}

void flashpix_update(FLASHPIX *flash) {
    if (!flash) flashpix_error();
}

void flashpix_draw(FLASHPIX *flash) {
    if (!flash) flashpix_error();
}
