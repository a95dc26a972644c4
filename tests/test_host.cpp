// Window host under the headless backend: the display's frame bytes, the
// window procedure and pending key, the one-message pump, the keyboard record
// and its character mapping, the virtual clock, scripted keys, frame numbers,
// hashes and the kept frame.
#include <gtest/gtest.h>

#include <csignal>
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

TEST(Windpy, ConvertDropsTheTopByteAndPacksRowsWithoutPadding) {
    // Rows 01 02 03 / 04 05 06 (blue only): stored row 0 is the bottom row.
    const struct { int32_t w, h; uint32_t px[6]; uint8_t want[18]; } cases[] = {
        {1, 1, {0xFF102030}, {0x30, 0x20, 0x10}},
        {3, 2, {0x01, 0x02, 0x03, 0x04, 0x05, 0x06}, {4, 0, 0, 5, 0, 0, 6, 0, 0, 1, 0, 0, 2, 0, 0, 3, 0, 0}},
    };
    for (const auto &c : cases) {
        size_t n = (size_t)c.w * (size_t)c.h * 3;
        uint8_t got[18];
        memset(got, 0xEE, sizeof got);
        windpy_convert(c.px, c.w, c.h, got);
        EXPECT_EQ(memcmp(got, c.want, n), 0) << byte_grid(got, c.want, n, 9);
    }
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

TEST(Winmain, KeyDownStoresTheLowByteOtherMessagesLeaveIt) {
    // message, wparam, pending key after it (starting from 0x20)
    const struct { uint32_t message; uintptr_t wparam; int8_t pending; } cases[] = {
        {WINMAIN_KEYDOWN, 0x141, 0x41},
        {WINMAIN_KEYDOWN, 0xBC, (int8_t)-68},  // a punctuation key, negative
        {0x0F, 0x41, 0x20},                    // paint
        {0x101, 0x41, 0x20},                   // key up
    };
    for (const auto &c : cases) {
        winmain_set_pending_key(0x20);
        EXPECT_EQ(winmain_window_proc(nullptr, c.message, c.wparam, 0), 0);
        EXPECT_EQ(winmain_pending_key(), c.pending) << std::hex << c.message << " " << c.wparam;
    }
}

TEST(WinmainDeathTest, DestroyEndsTheProcessWithCodeZero) {
    EXPECT_EXIT(winmain_window_proc(nullptr, WINMAIN_DESTROY, 0, 0), ::testing::ExitedWithCode(0), "");
}

// A caught signal closes the run at the next pump, with 128 + its number.
TEST(WinmainDeathTest, SignalEndsTheRunAtTheNextPumpWith128PlusItsNumber) {
    const struct { int sig, status; } cases[] = {{SIGHUP, 129}, {SIGINT, 130}, {SIGTERM, 143}};
    for (const auto &c : cases) {
        EXPECT_EXIT(
            {
                start_headless();
                backend_catch_signals();
                raise(c.sig);
                if (backend_exit_status() != c.status) exit(1);  // noted, not yet acted on
                winmain_pump();
                exit(2);  // the pump must not return
            },
            ::testing::ExitedWithCode(c.status), "")
            << c.sig;
    }
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

TEST(Winkbd, MapGivesCharactersOfTheCommandKeysOnly) {
    const struct { int32_t code, ch; } cases[] = {
        {0x1B, 27},  {0x20, 32},  {0x30, '0'}, {0x39, '9'}, {0x41, 'A'}, {0x5A, 'Z'},
        {0x7B, 0},   {0x2F, 0},   {0x3A, 0},   {0x40, 0},   {0x5B, 0},   {0x60, 0},
        {-68, 0},    {-1, 0},  // 0xBC and 0xFF as signed bytes
    };
    for (const auto &c : cases) EXPECT_EQ(winkbd_map_key(c.code), c.ch) << c.code;
}

TEST(Winkbd, UpdateTranslatesAPendingKeyAndClearsIt) {
    // pending key, key buffer after the update (starting from 'G')
    const struct { int8_t pending; uint8_t after; } cases[] = {
        {0x50, 'P'},        // P
        {0, 'G'},           // nothing pending: the buffer stays
        {0x7B, 0},          // F12: no character, reads as no key
        {(int8_t)0xBC, 0},  // negative on the way in
    };
    WINKBD *kbd = winkbd_new();
    for (const auto &c : cases) {
        kbd->keys[0] = 'G';
        winmain_set_pending_key(c.pending);
        winkbd_update(kbd);
        EXPECT_EQ(kbd->keys[0], c.after) << (int)c.pending;
        EXPECT_EQ(winmain_pending_key(), 0);
    }
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

TEST(Backend, SdlKeysBecomeVirtualKeyCodesAndTheDemosCharacters) {
    // SDL key, virtual-key code, character the demo reads
    const struct { int32_t sdl, vk, ch; } keys[] = {
        {SDLK_ESCAPE, 0x1B, 27}, {SDLK_SPACE, 0x20, 32}, {SDLK_0, 0x30, '0'}, {SDLK_5, 0x35, '5'},
        {SDLK_9, 0x39, '9'},     {SDLK_a, 0x41, 'A'},    {SDLK_p, 0x50, 'P'}, {SDLK_z, 0x5A, 'Z'},
        // Keypad digits are the digit keys.
        {SDLK_KP_0, 0x30, '0'},  {SDLK_KP_1, 0x31, '1'}, {SDLK_KP_5, 0x35, '5'},
        {SDLK_KP_6, 0x36, '6'},  {SDLK_KP_8, 0x38, '8'}, {SDLK_KP_9, 0x39, '9'},
        {SDLK_F1, 0x70, 0},      {SDLK_F12, 0x7B, 0},    {SDLK_COMMA, 0xBC, 0},
        {SDLK_RETURN, 0x0D, 0},  {SDLK_LSHIFT, 0x10, 0}, {SDLK_KP_PLUS, 0xFF, 0},
        {SDLK_UNKNOWN, 0xFF, 0}, {SDLK_APPLICATION, 0xFF, 0},
    };
    for (const auto &k : keys) {
        EXPECT_EQ(sdlhost_vk(k.sdl), k.vk) << k.sdl;
        EXPECT_EQ(winkbd_map_key((int8_t)(uint8_t)sdlhost_vk(k.sdl)), k.ch) << k.sdl;
    }
}

TEST(Backend, F11AndAltEnterAreTheWindowsOwnKeys) {
    const struct { int32_t sdl; uint32_t mod; int own; } keys[] = {
        {SDLK_F11, 0, 1},       {SDLK_F11, KMOD_SHIFT, 1},     {SDLK_RETURN, KMOD_LALT, 1},
        {SDLK_RETURN, KMOD_RALT, 1}, {SDLK_KP_ENTER, KMOD_LALT, 1}, {SDLK_RETURN, 0, 0},
        {SDLK_RETURN, KMOD_CTRL, 0}, {SDLK_F12, 0, 0},          {SDLK_f, KMOD_LALT, 0},
    };
    for (const auto &k : keys) EXPECT_EQ(sdlhost_is_fullscreen_key(k.sdl, k.mod), k.own) << k.sdl << " " << k.mod;
}
