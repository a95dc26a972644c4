// Fuzzes the BYTEMAP{ text reader: any text gives null or a well-formed map
// without reading past its terminating zero; a decoded map's own text reads
// back to the same map.
#include "fuzz/fuzz_support.h"
#include "imaging/bytemap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    char *text = fuzz_text(data, size);
    BYTEMAP *map = bytemap_from_text(text);
    free(text);
    if (!map) return 0;
    if (!map->pixels || map->width < 0 || map->height < 0) abort();
    if ((int64_t)map->width * map->height > 0) {
        char *again = bytemap_to_text(map);
        BYTEMAP *back = again ? bytemap_from_text(again) : nullptr;
        if (!back || !bytemap_compare(map, back)) abort();
        bytemap_del(&back);
        free(again);
    }
    bytemap_del(&map);
    return 0;
}
