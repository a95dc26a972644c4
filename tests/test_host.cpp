// Window host under the headless backend: the display's frame bytes, the
// window procedure and pending key, the one-message pump, the keyboard record
// and its character mapping, the virtual clock and the time base of rounds,
// the frame timer, scripted keys, frame numbers, hashes and the kept frame;
// and the framework's reporters.
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <string>
#include <unistd.h>

#include <SDL.h>

#include "audio/music.h"
#include "bench/reference_windpy.h"
#include "platform/backend.h"
#include "app/cli.h"
#include "host/fps.h"
#include "host/int.h"
#include "platform/backend_sdl.h"
#include "platform/options.h"
#include "platform/outputs.h"
#include "host/windpy.h"
#include "host/winkbd.h"
#include "host/winmain.h"
#include "tests/test_support.h"
#include "text/cursor.h"

namespace {

// Starts the headless backend with the given scripted keys (or none).
void start_headless(const char *keys = nullptr, int hash = 0, int frames = 0) {
    RUN_OPTIONS cli{};
    cli.headless = 1, cli.zoom = 1, cli.hash = hash, cli.frames = frames;
    if (keys) {
        ASSERT_TRUE(cli_add_keys(&cli, keys));
    }
    ASSERT_EQ(backend_start(&cli), RUN_OK);
    cli_free(&cli);
    winmain_set_pending_key(0);
}

std::string bytes(const uint8_t *p, size_t n) { return p ? std::string((const char *)p, n) : "(none)"; }

// An image record over caller-owned pixels (no allocation involved).
IMG image_over(uint32_t *pixels, int32_t w, int32_t h) { return IMG{0, 0, w, h, pixels}; }

}  // namespace

// ---- WINDPY ------------------------------------------------------------------

TEST(Windpy, ImageIsStoredBottomRowFirstAsBlueGreenRedWithoutPadding) {
    start_headless();
    Own<windpy_del> d(windpy_new());
    ASSERT_EQ(std::make_pair(d->width, d->height), std::make_pair(256, 256));
    EXPECT_EQ(bytes(windpy_frame_bytes(), 256 * 256 * 3), std::string(256 * 256 * 3, '\0'));
    windpy_open(d, 2, 2);
    uint32_t px[4] = {0xFFA1A2A3, 0x00B1B2B3, 0x00C1C2C3, 0x00D1D2D3};  // A B / C D; the top byte is dropped
    IMG img = image_over(px, 2, 2);
    windpy_present(d, &img);
    const std::string want = "\xC3\xC2\xC1\xD3\xD2\xD1\xA3\xA2\xA1\xB3\xB2\xB1";
    EXPECT_EQ(bytes(windpy_frame_bytes(), 12), want);
    int32_t w = 0, h = 0;
    const uint32_t *shown = outputs_last_frame(&w, &h);  // the backend is handed the image's words
    EXPECT_EQ(std::make_pair(w, h), std::make_pair(2, 2));
    EXPECT_EQ(std::vector<uint32_t>(shown, shown + 4), std::vector<uint32_t>(px, px + 4));
    // ... and hashes them as the display's bytes (6-byte rows: no padding).
    EXPECT_EQ(outputs_frame_crc32(shown, 2, 2), outputs_crc32((const uint8_t *)want.data(), 12));
}

TEST(Windpy, ConvertEqualsStraightforwardVersionAtEveryWidth) {
    uint32_t s = 7;
    // Every width up to 40 covers each split between whole 16-pixel blocks,
    // 4-pixel groups and single pixels.
    for (int32_t w = 1; w <= 258; w = w < 40 ? w + 1 : w + 109)
        for (int32_t h : {1, 2, 3, 17}) {
            size_t n = (size_t)w * (size_t)h;
            std::vector<uint32_t> px(n);
            std::vector<uint8_t> a(n * 3 + 8), b(n * 3 + 8);
            for (uint32_t &p : px) s = s * 1103515245u + 12345u, p = s ^ (s >> 13);
            windpy_convert(px.data(), w, h, a.data());
            reference_windpy_convert(px.data(), w, h, b.data());
            EXPECT_EQ(a, b) << w << " x " << h;
            // The hash packs the words itself, a row or a buffer's worth at a time.
            EXPECT_EQ(outputs_frame_crc32(px.data(), w, h), outputs_crc32(b.data(), n * 3)) << w << " x " << h;
        }
    std::vector<uint32_t> wide(4099 * 2);  // rows wider than the hash's buffer
    for (size_t i = 0; i < wide.size(); i++) wide[i] = (uint32_t)i * 0x010203u;
    std::vector<uint8_t> bytes(4099 * 2 * 3);
    reference_windpy_convert(wide.data(), 4099, 2, bytes.data());
    EXPECT_EQ(outputs_frame_crc32(wide.data(), 4099, 2), outputs_crc32(bytes.data(), bytes.size()));
}

TEST(Windpy, BadArgumentsAndOtherSizesDrawNothing) {
    start_headless();
    Own<windpy_del> d(windpy_new());
    uint32_t px[6] = {1, 2, 3, 4, 5, 6};
    IMG ok = image_over(px, 256, 256), wide = image_over(px, 3, 2), none = image_over(nullptr, 256, 256);
    windpy_present(nullptr, &ok);
    windpy_present(d, nullptr);
    windpy_present(d, &none);
    windpy_open(nullptr, 2, 2);
    windpy_open(d, -1, 2);
    windpy_open(d, 2, -1);
    EXPECT_EQ(std::make_pair(d->width, d->height), std::make_pair(256, 256));
    windpy_open(d, 2, 2);
    windpy_present(d, &wide);
    wide.width = 2, wide.height = 3;
    windpy_present(d, &wide);
    EXPECT_EQ(outputs_frame(), 0u);  // nothing was shown, so nothing can be saved (F12: test_capture)
    EXPECT_FALSE(outputs_save_shown("/tmp/never_written.png") || outputs_save_shown(nullptr));
    EXPECT_EQ(bytes(windpy_frame_bytes(), 12), std::string(12, '\0'));
    windpy_open(d, 0x7FFFFFFF, 0x7FFFFFFF);  // no frame bytes for a size that overflows
    EXPECT_EQ(windpy_frame_bytes(), nullptr);
    IMG huge = image_over(px, 0x7FFFFFFF, 0x7FFFFFFF);  // claims the size; must not be read
    windpy_present(d, &huge);
    EXPECT_EQ(outputs_frame(), 0u);
    windpy_del(nullptr);
    WINDPY stranger = {256, 256}, *p = &stranger;
    windpy_del(&p);  // not the current display: reported, untouched
    EXPECT_EQ(p, &stranger);
    windpy_del(d.address());
    windpy_del(d.address());  // a second del only reports
    EXPECT_EQ(d.get(), nullptr);
}

// ---- WINMAIN and WINKBD --------------------------------------------------------

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

TEST(WinmainDeathTest, DestroyEndsWithZeroACaughtSignalAtTheNextPumpWith128PlusItsNumber) {
    EXPECT_EXIT(winmain_window_proc(nullptr, WINMAIN_DESTROY, 0, 0), ::testing::ExitedWithCode(0), "");
    const struct { int sig, status; } cases[] = {{SIGHUP, 129}, {SIGINT, 130}, {SIGTERM, 143}};
    for (const auto &c : cases) {
        auto signalled = [&] {
            start_headless();
            backend_catch_signals();
            raise(c.sig);
            if (backend_exit_status() != c.status) exit(1);  // noted, not yet acted on
            winmain_pump();
            exit(2);  // the pump must not return
        };
        EXPECT_EXIT(signalled(), ::testing::ExitedWithCode(c.status), "") << c.sig;
    }
}

TEST(Winmain, PumpHandlesOneKeyPerCallEachOverwriting) {
    start_headless("0:A,0:B");
    Own<winkbd_del> kbd(winkbd_new());
    std::string seen;  // pending after each pump (A is never read: lost), the buffer, pending after the update and an empty pump
    for (int i = 0; i < 2; i++) winmain_pump(), seen += (char)winmain_pending_key();
    winkbd_update(kbd);
    seen += std::string{(char)kbd->keys[0], (char)('0' + winmain_pending_key())};
    winmain_pump();
    EXPECT_EQ(seen + (char)('0' + winmain_pending_key()), "ABB00");
}

TEST(Winkbd, CharactersOfTheCommandKeysOnlyAndTheUpdate) {
    const struct { int32_t code, ch; } cases[] = {
        {0x1B, 27}, {0x20, 32}, {0x30, '0'}, {0x39, '9'}, {0x41, 'A'}, {0x5A, 'Z'}, {0x7B, 0}, {0x2F, 0},
        {0x3A, 0},  {0x40, 0},  {0x5B, 0},   {0x60, 0},   {0x1A, 0},   {0x21, 0},   {-68, 0},   {-1, 0},
    };
    for (const auto &c : cases) EXPECT_EQ(winkbd_map_key(c.code), c.ch) << c.code;
    // pending key, key buffer after the update (starting from 'G')
    const struct { int8_t pending; uint8_t after; } updates[] = {
        {0x50, 'P'}, {0, 'G'} /* nothing pending: the buffer stays */, {0x7B, 0} /* F12 */, {(int8_t)0xBC, 0},
    };
    Own<winkbd_del> kbd(winkbd_new());
    EXPECT_EQ(winkbd_new(), kbd.get());
    for (const auto &c : updates) {
        kbd->keys[0] = 'G';
        winmain_set_pending_key(c.pending);
        winkbd_update(kbd);
        EXPECT_EQ(kbd->keys[0], c.after) << (int)c.pending;
        EXPECT_EQ(winmain_pending_key(), 0);
    }
}

TEST(BackendSdl, KeysBecomeVirtualKeyCodesAndTheDemosCharacters) {
    // SDL key, virtual-key code, character the demo reads
    const struct { int32_t sdl, vk, ch; } keys[] = {
        {SDLK_ESCAPE, 0x1B, 27}, {SDLK_SPACE, 0x20, 32}, {SDLK_0, 0x30, '0'}, {SDLK_5, 0x35, '5'},
        {SDLK_9, 0x39, '9'},     {SDLK_a, 0x41, 'A'},    {SDLK_p, 0x50, 'P'}, {SDLK_z, 0x5A, 'Z'},
        // Keypad digits are the digit keys.
        {SDLK_KP_0, 0x30, '0'},  {SDLK_KP_1, 0x31, '1'}, {SDLK_KP_5, 0x35, '5'},
        {SDLK_KP_6, 0x36, '6'},  {SDLK_KP_8, 0x38, '8'}, {SDLK_KP_9, 0x39, '9'},
        {SDLK_F1, 0x70, 0},      {SDLK_F12, 0x7B, 0},    {SDLK_F13, 0x7C, 0}, {SDLK_F24, 0x87, 0},
        {SDLK_COMMA, 0xBC, 0},   {SDLK_RETURN, 0x0D, 0}, {SDLK_LSHIFT, 0x10, 0}, {SDLK_KP_PLUS, 0xFF, 0},
        {SDLK_UNKNOWN, 0xFF, 0}, {SDLK_APPLICATION, 0xFF, 0},
    };
    for (const auto &k : keys) {
        EXPECT_EQ(backend_sdl_vk(k.sdl), k.vk) << k.sdl;
        EXPECT_EQ(winkbd_map_key((int8_t)(uint8_t)backend_sdl_vk(k.sdl)), k.ch) << k.sdl;
    }
    // F11 and Alt+Enter are the window's own keys.
    const struct { int32_t sdl; uint32_t mod; int own; } own[] = {
        {SDLK_F11, 0, 1},       {SDLK_F11, KMOD_SHIFT, 1},     {SDLK_RETURN, KMOD_LALT, 1},
        {SDLK_RETURN, KMOD_RALT, 1}, {SDLK_KP_ENTER, KMOD_LALT, 1}, {SDLK_RETURN, 0, 0},
        {SDLK_RETURN, KMOD_CTRL, 0}, {SDLK_F12, 0, 0},          {SDLK_f, KMOD_LALT, 0},
    };
    for (const auto &k : own) EXPECT_EQ(backend_sdl_is_fullscreen_key(k.sdl, k.mod), k.own) << k.sdl << " " << k.mod;
}

// ---- Backend: clock, time base, numbering, scripted keys -----------------------

// Calls written as letters: S / s a frame-loop round begins at 50 / 25 per
// second, p a present, k a key round, w the wait sleeping 19 ms; then the
// clock and the number of frames.
TEST(Backend, EveryRoundLastsAFramePeriodAndASecondPresentInARoundIsTheSameFrame) {
    const struct { const char *calls; uint32_t ticks, frames; } cases[] = {
        {"p", 0, 1},            // the title: its round has only begun
        {"pp", 20, 2},          // a fade present is a round of its own
        {"ppp", 40, 3},
        {"pSpk", 20, 2},        // the first frame-loop round ends the title's
        {"SpkwS", 20, 1},       // paced: 1 ms of work is the rest of 19 slept
        {"SppkS", 20, 1},       // unpaced, presenting twice: one frame of 20 ms
        {"SppkSppkS", 40, 2},
        {"Spkkk", 40, 3},       // paused key rounds are frames of 20 ms each
        {"SpkwwS", 38, 1},      // a longer round is not stretched
        {"spkwS", 20, 1},       // the rate at the next round's start counts
        {"spkws", 40, 1},       // 25 per second: 40 ms rounds
        {"Spkpp", 40, 3},       // the fade after a skipped frame
        {"Sk", 0, 1},           // a frame-loop round without a present is still a frame
        {"pkkkpp", 80, 5},      // paused rounds outside the loop are numbered too
    };
    uint32_t px[1] = {0x010203};
    for (const auto &c : cases) {
        start_headless();
        for (const char *k = c.calls; *k; k++) {
            if (*k == 'S' || *k == 's') backend_frame_start(*k == 'S' ? 50 : 25);
            if (*k == 'p') px[0]++, backend_show(px, 1, 1);
            if (*k == 'k') backend_poll(nullptr);
            if (*k == 'w') backend_sleep(19);
        }
        EXPECT_EQ(std::make_pair(backend_ticks(), outputs_frame()), std::make_pair(c.ticks, c.frames)) << c.calls;
        backend_stop();
    }
    // What --hash prints for a replaced present (once, the final picture): test_capture, across scene 3.
}

TEST(Backend, ScriptedKeysArriveAtTheRoundAfterTheirFrame) {
    start_headless("1:SPACE,3:ESC");
    uint32_t px[1] = {0};
    std::vector<int32_t> seen;  // key (or -1 for none) of the polls after frames 0 and 1, paused 2 and 3, then one more
    for (int round = 0; round < 5; round++) {
        int32_t vk = 0, got = (round < 2 ? backend_show(px, 1, 1) : (void)0, backend_poll(&vk));
        seen.push_back(got == BACKEND_KEY ? vk : got == BACKEND_NONE ? -1 : -2);
    }
    EXPECT_EQ(seen, (std::vector<int32_t>{-1, 0x20, -1, 0x1B, -1}));
}

TEST(BackendDeathTest, Crc32AndTheFrameLimitEndingTheRunWithZero) {
    EXPECT_EQ(outputs_crc32((const uint8_t *)"123456789", 9), 0xCBF43926u);
    EXPECT_EQ(outputs_crc32((const uint8_t *)"", 1), 0xD202EF8Du);
    EXPECT_EQ(outputs_crc32(nullptr, 0), 0u);
    start_headless(nullptr, 0, 3);
    Own<fps_del> timer(fps_new());
    fps_end(timer);
    fps_end(timer);
    EXPECT_EXIT(fps_end(timer), ::testing::ExitedWithCode(0), "");
    backend_stop();
}

// ---- FPS on the virtual clock (a frame's length is set with backend_sleep) ----

TEST(Fps, FramesSleepTheRestOfTheirPeriod) {
    start_headless();
    Own<fps_del> t(fps_new());
    // target, frame ms -> slept, measured, shown, sleep_ms, target after.
    const int32_t frames[][7] = {
        {50, 7, 13, 142, 50, 13, 50}, {50, 19, 1, 52, 50, 1, 50}, {50, 20, 0, 50, 50, 0, 50},
        {50, 40, 0, 25, 25, -20, 50}, {50, 5, 15, 200, 50, 15, 50},  // no deficit carries over
        {0, 10, 30, 100, 25, 30, 25}, {-3, 10, 30, 100, 25, 30, 25}, {1, 10, 990, 100, 1, 990, 1},
        {300, 3, 0, 333, 333, 0, 300},  // no sleep: the rate shown is the measured one
        {25, 0, 39, 1000, 25, 39, 25},  // a frame within one millisecond counts as 1
    };
    int32_t count = 0;
    for (const auto &f : frames) {
        t->target = f[0];
        fps_start(t);
        backend_sleep((uint32_t)f[1]);
        fps_end(t);
        uint32_t before = backend_ticks();
        fps_wait(t);
        EXPECT_EQ(backend_ticks() - before, (uint32_t)f[2]) << f[0] << " " << f[1];
        const int32_t got[5] = {t->measured, t->shown, t->sleep_ms, t->target, t->frames};
        const int32_t want[5] = {f[3], f[4], f[5], f[6], ++count};
        EXPECT_TRUE(std::equal(got, got + 5, want)) << f[0] << " " << f[1];
    }
    uint32_t before = backend_ticks();
    fps_start(nullptr), fps_end(nullptr), fps_wait(nullptr);  // ignored, never sleeps
    EXPECT_EQ(backend_ticks(), before);
}

TEST(Fps, WaitWithoutEndAndTheTickWrap) {
    start_headless();
    Own<fps_del> t(fps_new());
    t->target = 50;
    fps_wait(t);  // frame_ms still 0: taken as 1
    EXPECT_EQ(std::make_pair(t->frame_ms, t->sleep_ms), std::make_pair(1, 19));
    EXPECT_EQ(backend_ticks(), 19u);
    usleep(3000);  // real time passes; the virtual clock does not
    backend_sleep(0xFFFFFFFAu - 19);  // 6 ms before the wrap
    fps_start(t);
    backend_sleep(10);
    fps_end(t);
    EXPECT_EQ(std::make_pair(t->start_tick, t->end_tick), std::make_pair(0xFFFFFFFAu, 4u));
    EXPECT_EQ(std::make_pair(t->frame_ms, t->measured), std::make_pair(10, 100));
}

// ---- Framework ------------------------------------------------------------------

TEST(Framework, OnlyListVec2dAndIntPrint) {
    const std::pair<void (*)(), const char *> reporters[] = {
        {list_error, "LIST error\n"}, {vec2d_error, "VEC2D error\n"}, {int_error, "INT: ERROR.\n"},
        {img_error, ""}, {music_error, ""}, {cursorx_error, ""}, {fps_error, ""},
    };
    for (auto [report, message] : reporters) EXPECT_EQ(printed(report), message);
}
