// make-icon: draws the program's 256 x 256 desktop icon from the built-in logo
// picture and writes it as a PNG file. The icon is the title frame with the
// logo at twice its size: the nested bands of the title border from white at
// the edge inwards, and the inverted logo added across the middle.
// Usage: make-icon OUT.png
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "demo/pictures.h"
#include "platform/outputs.h"
#include "imaging/img.h"

namespace {

const int32_t icon_size = 256;

// The title border's band colour for pattern 1 (what the seeded title draws).
uint32_t band_colour(int32_t i) { return 0xFFFFFFu - (uint32_t)i * 0x040201u; }

IMG *draw_icon(void) {
    IMG *icon = img_new();
    img_resize(icon, icon_size, icon_size);
    for (int32_t i = 0; i < 64; i++)
        img_fill_rect(icon, 2 * i, 2 * i, icon_size - 4 * i, icon_size - 4 * i, band_colour(i));
    IMG *logo = img_from_pnm(demo_logo_pnm, demo_logo_pnm_size);
    img_invert(logo);
    // Twice the logo's size, nearest neighbour, added with saturation.
    IMG *big = img_new();
    if (logo) {
        img_resize(big, logo->width * 2, logo->height * 2);
        img_scale(logo, big);
        img_blit_add_sat(big, icon, 0, 0, (icon_size - big->width) / 2, (icon_size - big->height) / 2,
                         big->width, big->height);
    }
    img_del(&big);
    img_del(&logo);
    return icon;
}

void put32(std::vector<uint8_t> &out, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out.push_back((uint8_t)(v >> s));
}

// One PNG chunk: length, type, data, CRC-32 of type and data.
void chunk(std::vector<uint8_t> &out, const char *type, const std::vector<uint8_t> &data) {
    put32(out, (uint32_t)data.size());
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    put32(out, outputs_crc32(out.data() + start, out.size() - start));
}

// A zlib stream of stored (uncompressed) deflate blocks: no library needed.
std::vector<uint8_t> zlib_stored(const std::vector<uint8_t> &raw) {
    std::vector<uint8_t> z = {0x78, 0x01};
    size_t at = 0;
    do {
        size_t n = raw.size() - at < 65535 ? raw.size() - at : 65535;
        z.push_back(at + n == raw.size() ? 1 : 0);
        z.push_back((uint8_t)n);
        z.push_back((uint8_t)(n >> 8));
        z.push_back((uint8_t)~n);
        z.push_back((uint8_t)(~n >> 8));
        z.insert(z.end(), raw.begin() + (long)at, raw.begin() + (long)(at + n));
        at += n;
    } while (at < raw.size());
    uint32_t a = 1, b = 0;
    for (uint8_t c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    put32(z, b << 16 | a);
    return z;
}

// 8-bit RGB PNG, every row with filter 0.
std::vector<uint8_t> png_of(const IMG *image) {
    std::vector<uint8_t> raw;
    for (int32_t y = 0; y < image->height; y++) {
        raw.push_back(0);
        for (int32_t x = 0; x < image->width; x++) {
            uint32_t p = image->pixels[(size_t)y * (size_t)image->width + (size_t)x];
            raw.insert(raw.end(), {(uint8_t)(p >> 16), (uint8_t)(p >> 8), (uint8_t)p});
        }
    }
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::vector<uint8_t> header;
    put32(header, (uint32_t)image->width);
    put32(header, (uint32_t)image->height);
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, filter 0, no interlace
    chunk(png, "IHDR", header);
    chunk(png, "IDAT", zlib_stored(raw));
    chunk(png, "IEND", {});
    return png;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: make-icon OUT.png\n");
        return 2;
    }
    IMG *icon = draw_icon();
    if (!icon || !icon->pixels) return 1;
    std::vector<uint8_t> png = png_of(icon);
    img_del(&icon);
    FILE *f = fopen(argv[1], "wb");
    if (!f || fwrite(png.data(), 1, png.size(), f) != png.size() || fclose(f) != 0) {
        fprintf(stderr, "make-icon: cannot write '%s'\n", argv[1]);
        return 1;
    }
    return 0;
}
