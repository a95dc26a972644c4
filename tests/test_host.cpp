// Window host under the headless backend: the display's frame bytes, the
// window procedure and pending key, the one-message pump, the keyboard record
// and its character mapping, the virtual clock, scripted keys, frame numbers,
// hashes and the kept frame.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include <SDL.h>

#include "bench/reference_windpy.h"
#include "host/backend.h"
#include "host/cli.h"
#include "host/sdlhost.h"
#include "host/windpy.h"
#include "host/winkbd.h"
#include "host/winmain.h"
#include "imaging/img.h"

namespace {

// Starts the headless backend with the given scripted key list (or none).
void start_headless(const char *keys = nullptr) {
    CLI cli;
    memset(&cli, 0, sizeof cli);
    cli.headless = 1;
    cli.zoom = 1;
    if (keys) {
        ASSERT_TRUE(cli_add_keys(&cli, keys));
    }
    ASSERT_TRUE(backend_start(&cli));
    cli_free(&cli);
    winmain_set_pending_key(0);
}

// Hex dump of bytes, `per_row` to a line, marking cells that differ from `want`.
std::string byte_grid(const uint8_t *got, const uint8_t *want, size_t n, size_t per_row) {
    std::string out;
    char cell[16];
    for (size_t i = 0; i < n; i++) {
        snprintf(cell, sizeof cell, got[i] == want[i] ? " %02X    " : "*%02X(%02X)", got[i], want[i]);
        out += cell;
        if ((i + 1) % per_row == 0) out += "\n";
    }
    return out;
}

// An image record over caller-owned pixels (no allocation involved).
IMG image_over(uint32_t *pixels, int32_t w, int32_t h) { return IMG{0, 0, w, h, pixels}; }

}  // namespace

// ---- WINDPY ------------------------------------------------------------------

TEST(Windpy, NewOpensAt256By256WithZeroedFrameBytes) {
    start_headless();
    WINDPY *d = windpy_new();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->width, 256);
    EXPECT_EQ(d->height, 256);
    const uint8_t *bytes = windpy_frame_bytes();
    ASSERT_NE(bytes, nullptr);
    for (size_t i = 0; i < 256 * 256 * 3; i++) ASSERT_EQ(bytes[i], 0) << i;
    windpy_del(&d);
    EXPECT_EQ(d, nullptr);
}

TEST(Windpy, TwoByTwoIsStoredBottomRowFirstAsBlueGreenRed) {
    start_headless();
    WINDPY *d = windpy_new();
    windpy_open(d, 2, 2);
    // A B / C D, top row A B.
    uint32_t px[4] = {0x00A1A2A3, 0x00B1B2B3, 0x00C1C2C3, 0x00D1D2D3};
    IMG img = image_over(px, 2, 2);
    windpy_present(d, &img);
    static const uint8_t want[12] = {0xC3, 0xC2, 0xC1, 0xD3, 0xD2, 0xD1,
                                     0xA3, 0xA2, 0xA1, 0xB3, 0xB2, 0xB1};
    const uint8_t *got = windpy_frame_bytes();
    ASSERT_NE(got, nullptr);
    EXPECT_EQ(memcmp(got, want, 12), 0) << byte_grid(got, want, 12, 6);
    // What the backend shows is the same bytes.
    int32_t w = 0, h = 0;
    const uint8_t *shown = backend_last_frame(&w, &h);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(w, 2);
    EXPECT_EQ(h, 2);
    EXPECT_EQ(memcmp(shown, want, 12), 0) << byte_grid(shown, want, 12, 6);
    windpy_del(&d);
}

TEST(Windpy, TopByteOfAPixelIsDropped) {
    uint32_t px[1] = {0xFF102030};
    uint8_t got[3] = {0, 0, 0};
    windpy_convert(px, 1, 1, got);
    static const uint8_t want[3] = {0x30, 0x20, 0x10};
    EXPECT_EQ(memcmp(got, want, 3), 0) << byte_grid(got, want, 3, 3);
}

TEST(Windpy, ThreeByTwoOddWidthRowsAreUnpadded) {
    // Rows: 01 02 03 / 04 05 06 (blue only); stored row 0 is the bottom row.
    uint32_t px[6] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06};
    uint8_t got[18];
    memset(got, 0xEE, sizeof got);
    windpy_convert(px, 3, 2, got);
    static const uint8_t want[18] = {4, 0, 0, 5, 0, 0, 6, 0, 0, 1, 0, 0, 2, 0, 0, 3, 0, 0};
    EXPECT_EQ(memcmp(got, want, 18), 0) << byte_grid(got, want, 18, 9);
}

TEST(Windpy, ConvertEqualsStraightforwardVersionAtEveryWidth) {
    uint32_t s = 7;
    // Every width up to 40 covers each split between whole 16-pixel blocks,
    // 4-pixel groups and single pixels.
    for (int32_t w = 1; w <= 258; w = w < 40 ? w + 1 : w + 109) {
        for (int32_t h : {1, 2, 3, 17}) {
            size_t n = (size_t)w * (size_t)h;
            uint32_t *px = (uint32_t *)calloc(n, 4);
            uint8_t *a = (uint8_t *)calloc(n * 3 + 8, 1);
            uint8_t *b = (uint8_t *)calloc(n * 3 + 8, 1);
            for (size_t i = 0; i < n; i++) {
                s = s * 1103515245u + 12345u;
                px[i] = s ^ (s >> 13);
            }
            windpy_convert(px, w, h, a);
            reference_windpy_convert(px, w, h, b);
            EXPECT_EQ(memcmp(a, b, n * 3 + 8), 0) << w << " x " << h;
            free(px);
            free(a);
            free(b);
        }
    }
}

TEST(Windpy, PresentOfAnotherSizeDrawsNothing) {
    start_headless();
    WINDPY *d = windpy_new();
    windpy_open(d, 2, 2);
    uint32_t first[4] = {0x010203, 0x040506, 0x070809, 0x0A0B0C};
    IMG ok = image_over(first, 2, 2);
    windpy_present(d, &ok);
    uint8_t before[12];
    memcpy(before, windpy_frame_bytes(), 12);
    uint32_t frame_before = backend_frame();
    uint32_t other[6] = {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};
    IMG wide = image_over(other, 3, 2);
    IMG tall = image_over(other, 2, 3);
    windpy_present(d, &wide);
    windpy_present(d, &tall);
    EXPECT_EQ(memcmp(windpy_frame_bytes(), before, 12), 0);
    EXPECT_EQ(backend_frame(), frame_before);  // nothing was shown
    windpy_del(&d);
}

TEST(Windpy, BadArgumentsChangeNothing) {
    start_headless();
    WINDPY *d = windpy_new();
    uint32_t px[4] = {1, 2, 3, 4};
    IMG img = image_over(px, 2, 2);
    windpy_present(nullptr, &img);
    windpy_present(d, nullptr);
    IMG no_pixels = image_over(nullptr, 256, 256);
    windpy_present(d, &no_pixels);
    windpy_open(nullptr, 2, 2);
    windpy_open(d, -1, 2);
    windpy_open(d, 2, -1);
    EXPECT_EQ(d->width, 256);
    EXPECT_EQ(d->height, 256);
    EXPECT_EQ(backend_frame(), 0u);
    windpy_del(nullptr);
    WINDPY stranger = {256, 256};
    WINDPY *p = &stranger;
    windpy_del(&p);  // not the current display: reported, untouched
    EXPECT_EQ(p, &stranger);
    windpy_del(&d);
    windpy_del(&d);  // second del only reports
    EXPECT_EQ(d, nullptr);
}

TEST(Windpy, OverflowingSizeLeavesNoFrameBytes) {
    start_headless();
    WINDPY *d = windpy_new();
    windpy_open(d, 0x7FFFFFFF, 0x7FFFFFFF);
    EXPECT_EQ(windpy_frame_bytes(), nullptr);
    uint32_t px[1] = {0};
    IMG img = image_over(px, 0x7FFFFFFF, 0x7FFFFFFF);  // claims the size; must not be read
    windpy_present(d, &img);
    EXPECT_EQ(backend_frame(), 0u);
    windpy_del(&d);
}

// ---- WINMAIN -------------------------------------------------------------------

TEST(Winmain, KeyDownStoresLowByteOfTheCode) {
    winmain_set_pending_key(0);
    winmain_window_proc(nullptr, WINMAIN_KEYDOWN, 0x141, 0);
    EXPECT_EQ(winmain_pending_key(), 0x41);
    winmain_window_proc(nullptr, WINMAIN_KEYDOWN, 0xBC, 0);  // a punctuation key
    EXPECT_EQ(winmain_pending_key(), (int8_t)-68);
}

TEST(Winmain, OtherMessagesLeaveThePendingKey) {
    winmain_set_pending_key(0x20);
    EXPECT_EQ(winmain_window_proc(nullptr, 0x0F, 0x41, 0), 0);
    EXPECT_EQ(winmain_window_proc(nullptr, 0x101, 0x41, 0), 0);  // key up
    EXPECT_EQ(winmain_pending_key(), 0x20);
}

TEST(WinmainDeathTest, DestroyEndsTheProcessWithCodeZero) {
    EXPECT_EXIT(winmain_window_proc(nullptr, WINMAIN_DESTROY, 0, 0), ::testing::ExitedWithCode(0), "");
}

TEST(Winmain, PumpHandlesOneKeyPerCallEachOverwriting) {
    start_headless("0:A,0:B");
    WINKBD *kbd = winkbd_new();
    winmain_pump();
    EXPECT_EQ(winmain_pending_key(), 'A');
    winmain_pump();
    EXPECT_EQ(winmain_pending_key(), 'B');  // A was never read: lost
    winkbd_update(kbd);
    EXPECT_EQ(kbd->keys[0], 'B');
    EXPECT_EQ(winmain_pending_key(), 0);
    winmain_pump();  // queue empty: nothing changes
    EXPECT_EQ(winmain_pending_key(), 0);
    winkbd_del(&kbd);
}

// ---- WINKBD ------------------------------------------------------------------

TEST(Winkbd, NewReturnsTheSameZeroedRecord) {
    WINKBD *a = winkbd_new();
    WINKBD *b = winkbd_new();
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a, b);
    ASSERT_NE(a->keys, nullptr);
    for (int i = 0; i < 8; i++) EXPECT_EQ(a->keys[i], 0);
    winkbd_del(&a);
    EXPECT_EQ(a, nullptr);
    winkbd_del(&a);  // only reports
    winkbd_update(nullptr);
}

TEST(Winkbd, MapGivesCharactersOfTheCommandKeysOnly) {
    EXPECT_EQ(winkbd_map_key(0x1B), 27);
    EXPECT_EQ(winkbd_map_key(0x20), 32);
    EXPECT_EQ(winkbd_map_key(0x30), '0');
    EXPECT_EQ(winkbd_map_key(0x39), '9');
    EXPECT_EQ(winkbd_map_key(0x41), 'A');
    EXPECT_EQ(winkbd_map_key(0x5A), 'Z');
    EXPECT_EQ(winkbd_map_key(0x7B), 0);   // F12
    EXPECT_EQ(winkbd_map_key(0x2F), 0);
    EXPECT_EQ(winkbd_map_key(0x3A), 0);
    EXPECT_EQ(winkbd_map_key(0x40), 0);
    EXPECT_EQ(winkbd_map_key(0x5B), 0);
    EXPECT_EQ(winkbd_map_key(-68), 0);    // 0xBC as a signed byte
    EXPECT_EQ(winkbd_map_key(-1), 0);
}

TEST(Winkbd, UpdateTranslatesAndClearsThePendingKey) {
    WINKBD *kbd = winkbd_new();
    winmain_set_pending_key(0x50);
    winkbd_update(kbd);
    EXPECT_EQ(kbd->keys[0], 'P');
    EXPECT_EQ(winmain_pending_key(), 0);
    winkbd_del(&kbd);
}

TEST(Winkbd, ZeroPendingKeyLeavesTheBuffer) {
    WINKBD *kbd = winkbd_new();
    kbd->keys[0] = 'G';
    winmain_set_pending_key(0);
    winkbd_update(kbd);
    EXPECT_EQ(kbd->keys[0], 'G');
    winkbd_del(&kbd);
}

TEST(Winkbd, KeyWithoutCharacterWritesZeroAndClears) {
    WINKBD *kbd = winkbd_new();
    kbd->keys[0] = 'G';
    winmain_set_pending_key(0x7B);  // F12
    winkbd_update(kbd);
    EXPECT_EQ(kbd->keys[0], 0);
    EXPECT_EQ(winmain_pending_key(), 0);
    winmain_set_pending_key((int8_t)0xBC);  // negative on the way in
    kbd->keys[0] = 'G';
    winkbd_update(kbd);
    EXPECT_EQ(kbd->keys[0], 0);
    winkbd_del(&kbd);
}

// ---- Backend: clock, numbering, scripted keys ---------------------------------

TEST(Backend, HeadlessClockMovesOnlyInSleep) {
    start_headless();
    EXPECT_TRUE(backend_headless());
    EXPECT_EQ(backend_ticks(), 0u);
    usleep(3000);  // real time passes; the virtual clock does not
    EXPECT_EQ(backend_ticks(), 0u);
    backend_sleep(13);
    EXPECT_EQ(backend_ticks(), 13u);
    backend_sleep(0);
    EXPECT_EQ(backend_ticks(), 13u);
    backend_sleep(0xFFFFFFFFu);  // wraps like the real counter
    EXPECT_EQ(backend_ticks(), 12u);
}

TEST(Backend, StartWithoutOptionsIsAWindowRun) {
    start_headless();
    ASSERT_TRUE(backend_start(nullptr));
    EXPECT_FALSE(backend_headless());
    backend_stop();
}

TEST(Backend, PresentsAndPausedRoundsAreNumberedFrames) {
    start_headless();
    uint8_t px[3] = {1, 2, 3};
    EXPECT_EQ(backend_frame(), 0u);
    backend_show(nullptr, px, 1, 1);  // frame 0
    EXPECT_EQ(backend_frame(), 1u);
    backend_poll(nullptr);            // its key round: no new number
    EXPECT_EQ(backend_frame(), 1u);
    backend_poll(nullptr);            // a round without a present: frame 1
    backend_poll(nullptr);            // frame 2
    EXPECT_EQ(backend_frame(), 3u);
    backend_show(nullptr, px, 1, 1);  // frame 3
    backend_show(nullptr, px, 1, 1);  // frame 4
    EXPECT_EQ(backend_frame(), 5u);
}

TEST(Backend, ScriptedKeyArrivesAtTheRoundAfterItsFrameIsShown) {
    start_headless("1:SPACE,3:ESC");
    uint8_t px[3] = {0, 0, 0};
    int32_t vk = 0;
    backend_show(nullptr, px, 1, 1);                 // frame 0
    EXPECT_EQ(backend_poll(&vk), BACKEND_NONE);
    backend_show(nullptr, px, 1, 1);                 // frame 1
    EXPECT_EQ(backend_poll(&vk), BACKEND_KEY);
    EXPECT_EQ(vk, 0x20);
    // Paused: rounds without presents are frames 2 and 3.
    EXPECT_EQ(backend_poll(&vk), BACKEND_NONE);      // frame 2
    EXPECT_EQ(backend_poll(&vk), BACKEND_KEY);       // frame 3
    EXPECT_EQ(vk, 0x1B);
    EXPECT_EQ(backend_poll(&vk), BACKEND_NONE);
}

TEST(Backend, ScriptedKeysReachTheDemoThroughThePump) {
    start_headless("0:P");
    WINKBD *kbd = winkbd_new();
    uint8_t px[3] = {0, 0, 0};
    backend_show(nullptr, px, 1, 1);
    winkbd_update(kbd);
    EXPECT_EQ(kbd->keys[0], 0);  // typed during frame 0: not there yet
    winmain_pump();
    winkbd_update(kbd);
    EXPECT_EQ(kbd->keys[0], 'P');
    winkbd_del(&kbd);
}

TEST(Backend, KeptFrameSavesAsTopDownPng) {
    start_headless();
    WINDPY *d = windpy_new();
    windpy_open(d, 2, 2);
    uint32_t px[4] = {0x00112233, 0x00445566, 0x00778899, 0x00AABBCC};
    IMG img = image_over(px, 2, 2);
    windpy_present(d, &img);
    char path[] = "/tmp/rivo_host_XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    ASSERT_TRUE(backend_save_shown(path));
    // The PNG read back through netpbm as a binary PPM.
    std::string ppm = std::string(path) + ".ppm";
    ASSERT_EQ(std::system(("pngtopnm '" + std::string(path) + "' > '" + ppm + "'").c_str()), 0);
    FILE *f = fopen(ppm.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    uint8_t buf[64];
    size_t n = fread(buf, 1, sizeof buf, f);
    fclose(f);
    unlink(path);
    unlink(ppm.c_str());
    static const uint8_t want[12] = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66,
                                     0x77, 0x88, 0x99, 0xAA, 0xBB, 0xCC};
    ASSERT_GE(n, 12u);
    EXPECT_EQ(buf[0], 'P');
    EXPECT_EQ(buf[1], '6');
    EXPECT_EQ(memcmp(buf + n - 12, want, 12), 0) << byte_grid(buf + n - 12, want, 12, 6);
    windpy_del(&d);
}

TEST(Backend, SaveWithoutAFrameFails) {
    start_headless();
    EXPECT_FALSE(backend_save_shown("/tmp/never_written.ppm"));
    EXPECT_FALSE(backend_save_shown(nullptr));
}

TEST(Backend, Crc32OfTheStandardCheckString) {
    const char *s = "123456789";
    EXPECT_EQ(backend_crc32((const uint8_t *)s, 9), 0xCBF43926u);
    EXPECT_EQ(backend_crc32(nullptr, 0), 0u);
    static const uint8_t zero[1] = {0};
    EXPECT_EQ(backend_crc32(zero, 1), 0xD202EF8Du);
}

TEST(BackendDeathTest, FrameLimitEndsTheRunWithCodeZero) {
    CLI cli;
    memset(&cli, 0, sizeof cli);
    cli.headless = 1;
    cli.frames = 3;
    ASSERT_TRUE(backend_start(&cli));
    backend_frame_end();
    backend_frame_end();
    EXPECT_EXIT(backend_frame_end(), ::testing::ExitedWithCode(0), "");
    backend_stop();
}

TEST(Backend, SdlKeysBecomeVirtualKeyCodes) {
    EXPECT_EQ(sdlhost_vk(SDLK_ESCAPE), 0x1B);
    EXPECT_EQ(sdlhost_vk(SDLK_SPACE), 0x20);
    EXPECT_EQ(sdlhost_vk(SDLK_0), 0x30);
    EXPECT_EQ(sdlhost_vk(SDLK_9), 0x39);
    EXPECT_EQ(sdlhost_vk(SDLK_a), 0x41);
    EXPECT_EQ(sdlhost_vk(SDLK_z), 0x5A);
    EXPECT_EQ(sdlhost_vk(SDLK_F1), 0x70);
    EXPECT_EQ(sdlhost_vk(SDLK_F12), 0x7B);
    EXPECT_EQ(sdlhost_vk(SDLK_COMMA), 0xBC);
    EXPECT_EQ(sdlhost_vk(SDLK_RETURN), 0x0D);
    EXPECT_EQ(sdlhost_vk(SDLK_UNKNOWN), 0xFF);
    EXPECT_EQ(sdlhost_vk(SDLK_APPLICATION), 0xFF);
    // Every key the demo acts on gives its character; the others give none.
    const struct { int32_t sdl; int32_t ch; } keys[] = {
        {SDLK_ESCAPE, 27}, {SDLK_SPACE, 32}, {SDLK_5, '5'}, {SDLK_6, '6'}, {SDLK_8, '8'},
        {SDLK_b, 'B'},     {SDLK_f, 'F'},    {SDLK_g, 'G'}, {SDLK_o, 'O'}, {SDLK_p, 'P'},
        {SDLK_s, 'S'},     {SDLK_w, 'W'},    {SDLK_F12, 0}, {SDLK_RETURN, 0}, {SDLK_COMMA, 0},
        {SDLK_LSHIFT, 0},  {SDLK_KP_5, 0},   {SDLK_UNKNOWN, 0},
    };
    for (const auto &k : keys)
        EXPECT_EQ(winkbd_map_key((int8_t)(uint8_t)sdlhost_vk(k.sdl)), k.ch) << k.sdl;
}
