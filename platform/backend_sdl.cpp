// The SDL2 backend: one resizable window whose client area starts at the
// frame size times the zoom, a streaming texture of the frame's 0x00RRGGBB
// words, scaled by the largest whole factor that fits the window's pixels,
// centred on black bars, nearest neighbour; SDL's millisecond clock.
// Key-down events become Windows virtual-key codes. Event kinds the host never
// reads are switched off so they cannot sit in the queue in front of a key.
#include "platform/backend_sdl.h"

#include <SDL.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/backend.h"
#include "platform/options.h"

static SDL_Window *sdl_window;
static SDL_Renderer *sdl_renderer;
static SDL_Texture *sdl_texture;
static int32_t sdl_tex_w, sdl_tex_h;
static int sdl_video;  // 0: not tried, 1: started, -1: no display

static void sdl_close(void);
static int32_t sdl_zoom = 1;       // of the run options: the window's scale
static int32_t sdl_fullscreen;     // of the run options: desktop fullscreen

// Drops window events other than close, expose and size changes before they
// are queued: focus and motion notices would each cost the demo a pump round.
static int SDLCALL sdl_filter(void *, SDL_Event *e) {
    if (e->type != SDL_WINDOWEVENT) return 1;
    return e->window.event == SDL_WINDOWEVENT_CLOSE || e->window.event == SDL_WINDOWEVENT_EXPOSED ||
           e->window.event == SDL_WINDOWEVENT_SIZE_CHANGED;
}

// Switches off every event kind but quit, window and key-down.
static void sdl_quiet_events(void) {
    static const struct { uint32_t first, last; } off[] = {
        {SDL_APP_TERMINATING, SDL_LOCALECHANGED}, {SDL_DISPLAYEVENT, SDL_DISPLAYEVENT},
        {SDL_SYSWMEVENT, SDL_SYSWMEVENT},         {SDL_KEYUP, SDL_TEXTEDITING_EXT},
        {SDL_MOUSEMOTION, SDL_MOUSEWHEEL},        {SDL_JOYAXISMOTION, SDL_JOYBATTERYUPDATED},
        {SDL_CONTROLLERAXISMOTION, SDL_CONTROLLERSENSORUPDATE},
        {SDL_FINGERDOWN, SDL_FINGERMOTION},       {SDL_DOLLARGESTURE, SDL_MULTIGESTURE},
        {SDL_CLIPBOARDUPDATE, SDL_CLIPBOARDUPDATE}, {SDL_DROPFILE, SDL_DROPCOMPLETE},
        {SDL_AUDIODEVICEADDED, SDL_AUDIODEVICEREMOVED}, {SDL_SENSORUPDATE, SDL_SENSORUPDATE},
        {SDL_RENDER_TARGETS_RESET, SDL_RENDER_DEVICE_RESET},
        // One event is taken per pump, so the end-of-poll marker only costs rounds.
        {SDL_POLLSENTINEL, SDL_POLLSENTINEL},
    };
    SDL_StopTextInput();
    for (const auto &r : off)
        for (uint32_t t = r.first; t <= r.last; t++) SDL_EventState(t, SDL_IGNORE);
    SDL_SetEventFilter(sdl_filter, nullptr);
}

static int sdl_env_set(const char *name) {
    const char *v = getenv(name);
    return v && *v;
}

// SDL asks the session's message bus (screen saver, input methods). Where
// there is no bus at all, the bus library would fork the process and run
// dbus-launch to start one just for this program, before the first picture;
// it is told there is none instead. A session bus that exists is used as ever.
static void sdl_no_bus_autolaunch(void) {
    if (sdl_env_set("DBUS_SESSION_BUS_ADDRESS")) return;
    const char *run = getenv("XDG_RUNTIME_DIR");
    if (run && *run) {
        std::string bus = std::string(run) + "/bus";
        if (access(bus.c_str(), F_OK) == 0) return;
    }
    setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
}

// A display is named but cannot be used: says which one, so that a display
// that does not answer is not mistaken for one that is not set.
static void sdl_unreachable(int asked, int x11, int wayland) {
    const char *reason = SDL_GetError();
    if (asked)
        fprintf(stderr, "rivo7315: no display: SDL_VIDEODRIVER=%s cannot start (%s); or use --headless\n",
                getenv("SDL_VIDEODRIVER"), reason);
    else if (x11 && wayland)
        fprintf(stderr, "rivo7315: cannot reach the display DISPLAY=%s nor WAYLAND_DISPLAY=%s (%s); "
                        "or use --headless\n", getenv("DISPLAY"), getenv("WAYLAND_DISPLAY"), reason);
    else
        fprintf(stderr, "rivo7315: cannot reach the display %s=%s (%s): is its %s running? or use --headless\n",
                x11 ? "DISPLAY" : "WAYLAND_DISPLAY", getenv(x11 ? "DISPLAY" : "WAYLAND_DISPLAY"), reason,
                x11 ? "X server" : "compositor");
}

// Starts SDL's video for a window run. Without DISPLAY or WAYLAND_DISPLAY, or
// when SDL would fall back to a driver that shows nothing (offscreen, dummy)
// without the user asking for it in SDL_VIDEODRIVER, prints why on stderr and
// returns 0. Later calls return the first answer.
static int sdl_video_start(void) {
    if (sdl_video != 0) return sdl_video > 0;
    sdl_video = -1;
    SDL_SetHint(SDL_HINT_APP_NAME, "RIVO7315");
    // The window class is the program's name, whatever the file is called.
    setenv("SDL_VIDEO_X11_WMCLASS", "RIVO7315", 0);
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    // SDL's own software renderer, drawing straight into the window's
    // shared-memory image. The frame is drawn in software anyway; an OpenGL
    // renderer only adds loading the GL driver before the first picture
    // (Mesa's LLVM on a machine without a GPU: tens of milliseconds) and a
    // texture upload per present. SDL_RENDER_DRIVER and
    // SDL_FRAMEBUFFER_ACCELERATION in the environment still choose otherwise.
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    sdl_no_bus_autolaunch();
    // The demo reads keys, never text (text input is switched off below), so
    // the X input method gets an empty table of compose sequences: parsing
    // the locale's own (thousands of lines) was most of SDL's start-up. One
    // chosen in the environment is kept.
    setenv("XCOMPOSEFILE", "/dev/null", 0);
    // Signals are the backend's: SDL would turn Ctrl-C into a close with code 0.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    int asked = sdl_env_set("SDL_VIDEODRIVER");
    int x11 = sdl_env_set("DISPLAY"), wayland = sdl_env_set("WAYLAND_DISPLAY");
    if (!asked && !x11 && !wayland) {
        fprintf(stderr, "rivo7315: no display: set DISPLAY or WAYLAND_DISPLAY, or use --headless\n");
        return 0;
    }
    // Unasked, only the drivers of the displays named in the environment are
    // tried, in SDL's own order, so a failure is reported instead of ending
    // in an invisible window.
    if (!asked) SDL_SetHint(SDL_HINT_VIDEODRIVER, x11 && wayland ? "x11,wayland" : x11 ? "x11" : "wayland");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        sdl_unreachable(asked, x11, wayland);
        return 0;
    }
    sdl_video = 1;
    return 1;
}

static int sdl_init(int cw, int ch, int32_t fullscreen) {
    if (!sdl_video_start()) return 0;
    // High-DPI: the renderer works in physical pixels, so whole-step scaling
    // of its output size keeps every frame pixel sharp.
    uint32_t flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI |
                     (fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    sdl_window = SDL_CreateWindow("RIVO7315", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                      cw, ch, flags);
    if (!sdl_window) return 0;
    sdl_renderer = SDL_CreateRenderer(sdl_window, -1, 0);
    if (!sdl_renderer) sdl_renderer = SDL_CreateRenderer(sdl_window, -1, SDL_RENDERER_SOFTWARE);
    if (!sdl_renderer) return 0;
    sdl_quiet_events();
    return 1;
}

// The sizes of the window's decorations (title bar, frame). A window manager
// tells them only once the window is shown, so a shown window waits for them
// up to a quarter of a second; without a window manager there are none.
static void sdl_borders(int *top, int *left, int *bottom, int *right) {
    for (int waited = 0;; waited += 10) {
        *top = *left = *bottom = *right = 0;
        if (SDL_GetWindowBordersSize(sdl_window, top, left, bottom, right) == 0 && *top + *left > 0) return;
        if (waited >= 250 || (SDL_GetWindowFlags(sdl_window) & SDL_WINDOW_HIDDEN)) return;
        SDL_PumpEvents();
        SDL_Delay(10);
    }
}

// Centres the outer window (client area plus borders) on the first display.
static void sdl_centre(int32_t cw, int32_t ch) {
    int top, left, bottom, right;
    sdl_borders(&top, &left, &bottom, &right);
    SDL_Rect screen;
    if (SDL_GetDisplayBounds(0, &screen) != 0) return;
    int outer_w = cw + left + right;
    int outer_h = ch + top + bottom;
    // Divisions truncate toward zero, as the window host always did.
    int x = (screen.w - outer_w) / 2;
    int y = (screen.h - outer_h) / 2;
    SDL_SetWindowPosition(sdl_window, screen.x + x + left, screen.y + y + top);
}

// The largest zoom whose window (borders included) fits the usable area of
// the first display (the screen less panels and docks); at least 1.
static int32_t sdl_fitting_zoom(int32_t w, int32_t h, int32_t zoom) {
    SDL_Rect usable;
    if (w < 1 || h < 1 || SDL_GetDisplayUsableBounds(0, &usable) != 0) return zoom;
    int top, left, bottom, right;
    sdl_borders(&top, &left, &bottom, &right);
    int32_t fit_w = (usable.w - left - right) / w, fit_h = (usable.h - top - bottom) / h;
    int32_t fit = fit_w < fit_h ? fit_w : fit_h;
    if (fit < 1) fit = 1;
    if (zoom <= fit) return zoom;
    // Said once: the window is made at one size, then opened again at another.
    static int told;
    if (!told++)
        fprintf(stderr, "rivo7315: --zoom %d does not fit the screen's usable area (%d x %d); using --zoom %d\n",
                zoom, usable.w, usable.h, fit);
    return fit;
}

// Creates (first call) or resizes and centres the window; 0 on failure. A zoom
// larger than the display's usable area allows is reduced, with a message.
static int sdl_open(int32_t w, int32_t h) {
    if (w < 0 || h < 0) return 0;
    int32_t zoom = sdl_zoom, fullscreen = sdl_fullscreen;
    int64_t cw = (int64_t)w * zoom, ch = (int64_t)h * zoom;
    if (cw > 16384 || ch > 16384) return 0;
    if (cw < 1) cw = 1;  // a window needs at least one pixel; nothing is drawn then
    if (ch < 1) ch = 1;
    if (!sdl_window && !sdl_init((int)cw, (int)ch, fullscreen)) {
        if (sdl_video > 0)
            fprintf(stderr, "rivo7315: no window: %s (--headless runs without one)\n", SDL_GetError());
        sdl_close();
        return 0;
    }
    if (!fullscreen && zoom > 1) {
        // Shown first, so that the window manager decorates it and tells the
        // size of the decorations, which must fit too.
        SDL_ShowWindow(sdl_window);
        zoom = sdl_fitting_zoom(w, h, zoom);
        cw = (int64_t)w * zoom;
        ch = (int64_t)h * zoom;
    }
    if (!fullscreen) SDL_SetWindowSize(sdl_window, (int)cw, (int)ch);
    if (w > 0 && h > 0) {
        // The frame keeps its own size; the renderer scales it by whole steps
        // and centres it, the rest of the window black.
        SDL_RenderSetLogicalSize(sdl_renderer, w, h);
        SDL_RenderSetIntegerScale(sdl_renderer, SDL_TRUE);
    }
    SDL_ShowWindow(sdl_window);
    if (!fullscreen) sdl_centre((int32_t)cw, (int32_t)ch);
    SDL_SetRenderDrawColor(sdl_renderer, 0, 0, 0, 255);
    SDL_RenderClear(sdl_renderer);
    SDL_RenderPresent(sdl_renderer);
    return 1;
}

// Draws the texture (already top row first) at the current scale.
static void sdl_redraw(void) {
    if (!sdl_renderer) return;
    SDL_RenderClear(sdl_renderer);
    if (sdl_texture) SDL_RenderCopy(sdl_renderer, sdl_texture, nullptr, nullptr);
    SDL_RenderPresent(sdl_renderer);
}

// Copies the frame's words into the texture row by row: the format of the
// window's own image (top bytes ignored), so the software renderer's draw
// is a plain copy.
static void sdl_upload(const uint32_t *frame, int32_t w, int32_t h) {
    void *pixels = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(sdl_texture, nullptr, &pixels, &pitch) != 0) return;
    for (int32_t y = 0; y < h; y++)
        memcpy((uint8_t *)pixels + (size_t)y * (size_t)pitch, frame + (size_t)y * (size_t)w, (size_t)w * 4);
    SDL_UnlockTexture(sdl_texture);
}

static void sdl_show(const uint32_t *frame, int32_t w, int32_t h) {
    if (!sdl_renderer || !frame || w < 1 || h < 1) return;
    if (!sdl_texture || w != sdl_tex_w || h != sdl_tex_h) {
        if (sdl_texture) SDL_DestroyTexture(sdl_texture);
        sdl_texture = SDL_CreateTexture(sdl_renderer, SDL_PIXELFORMAT_RGB888,
                                            SDL_TEXTUREACCESS_STREAMING, w, h);
        if (!sdl_texture) return;
        sdl_tex_w = w;
        sdl_tex_h = h;
    }
    sdl_upload(frame, w, h);
    sdl_redraw();
}

int backend_sdl_is_fullscreen_key(int32_t k, uint32_t mod) {
    return k == SDLK_F11 || ((k == SDLK_RETURN || k == SDLK_KP_ENTER) && (mod & KMOD_ALT));
}

// Desktop fullscreen on and off; the picture keeps its whole-step scaling.
static void sdl_toggle_fullscreen(void) {
    uint32_t on = SDL_GetWindowFlags(sdl_window) & SDL_WINDOW_FULLSCREEN;
    SDL_SetWindowFullscreen(sdl_window, on ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
    sdl_redraw();
}

// Takes one event, waiting up to wait_ms for it (0: no wait).
static int sdl_poll(int32_t *vk, int32_t wait_ms) {
    SDL_Event e;
    if (!sdl_window) return BACKEND_EMPTY;
    if (!(wait_ms > 0 ? SDL_WaitEventTimeout(&e, wait_ms) : SDL_PollEvent(&e))) return BACKEND_EMPTY;
    switch (e.type) {
    case SDL_QUIT:
        return BACKEND_CLOSE;
    case SDL_WINDOWEVENT:
        if (e.window.event == SDL_WINDOWEVENT_CLOSE) return BACKEND_CLOSE;
        // Exposed or resized: the kept texture is drawn again at the new scale.
        sdl_redraw();
        return BACKEND_NONE;
    case SDL_KEYDOWN:
        if (backend_sdl_is_fullscreen_key(e.key.keysym.sym, e.key.keysym.mod)) {
            if (!e.key.repeat) sdl_toggle_fullscreen();
            return BACKEND_NONE;
        }
        *vk = backend_sdl_vk(e.key.keysym.sym);
        return BACKEND_KEY;
    default:
        return BACKEND_NONE;
    }
}

// Destroys the window and shuts SDL's video down.
static void sdl_close(void) {
    if (sdl_texture) SDL_DestroyTexture(sdl_texture);
    if (sdl_renderer) SDL_DestroyRenderer(sdl_renderer);
    if (sdl_window) SDL_DestroyWindow(sdl_window);
    sdl_texture = nullptr;
    sdl_renderer = nullptr;
    sdl_tex_w = sdl_tex_h = 0;
    if (sdl_video > 0) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        // Last one out releases SDL's own helpers (its D-Bus link among them).
        if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) SDL_Quit();
    }
    sdl_video = 0;
    sdl_window = nullptr;
}

int32_t backend_sdl_vk(int32_t k) {
    // Letters: SDL names the key by its lower-case character; the code is upper case.
    if (k >= SDLK_a && k <= SDLK_z) return k - SDLK_a + 0x41;
    if (k >= SDLK_0 && k <= SDLK_9) return k - SDLK_0 + 0x30;
    // Keypad digits are the digit keys, whatever the state of Num Lock.
    if (k >= SDLK_KP_1 && k <= SDLK_KP_9) return k - SDLK_KP_1 + 0x31;
    if (k == SDLK_KP_0) return 0x30;
    if (k >= SDLK_F1 && k <= SDLK_F12) return k - SDLK_F1 + 0x70;
    if (k >= SDLK_F13 && k <= SDLK_F24) return k - SDLK_F13 + 0x7C;
    static const struct { int32_t sdl, vk; } keys[] = {
        {SDLK_ESCAPE, 0x1B}, {SDLK_SPACE, 0x20},     {SDLK_RETURN, 0x0D},   {SDLK_KP_ENTER, 0x0D},
        {SDLK_TAB, 0x09},    {SDLK_BACKSPACE, 0x08}, {SDLK_LEFT, 0x25},
        {SDLK_UP, 0x26},     {SDLK_RIGHT, 0x27},     {SDLK_DOWN, 0x28},     {SDLK_INSERT, 0x2D},
        {SDLK_DELETE, 0x2E}, {SDLK_HOME, 0x24},      {SDLK_END, 0x23},      {SDLK_PAGEUP, 0x21},
        {SDLK_PAGEDOWN, 0x22}, {SDLK_PAUSE, 0x13},   {SDLK_CAPSLOCK, 0x14}, {SDLK_LSHIFT, 0x10},
        {SDLK_RSHIFT, 0x10}, {SDLK_LCTRL, 0x11},     {SDLK_RCTRL, 0x11},    {SDLK_LALT, 0x12},
        {SDLK_RALT, 0x12},   {SDLK_SEMICOLON, 0xBA}, {SDLK_EQUALS, 0xBB},   {SDLK_COMMA, 0xBC},
        {SDLK_MINUS, 0xBD},  {SDLK_PERIOD, 0xBE},    {SDLK_SLASH, 0xBF},    {SDLK_BACKQUOTE, 0xC0},
        {SDLK_LEFTBRACKET, 0xDB}, {SDLK_BACKSLASH, 0xDC}, {SDLK_RIGHTBRACKET, 0xDD},
        {SDLK_QUOTE, 0xDE},
    };
    for (const auto &m : keys)
        if (m.sdl == k) return m.vk;
    return 0xFF;  // no virtual-key code: maps to no character
}

static uint32_t sdl_ticks(void) { return SDL_GetTicks(); }

static void sdl_sleep(uint32_t ms) { SDL_Delay(ms); }

// A window run needs a display: said on stderr when there is none.
static int sdl_start(const RUN_OPTIONS *options) {
    sdl_zoom = options && options->zoom >= 1 && options->zoom <= 16 ? options->zoom : 1;
    sdl_fullscreen = options ? options->fullscreen : 0;
    return sdl_video_start();
}

static const BACKEND backend_sdl = {
    "sdl", 0, sdl_start, sdl_close, sdl_ticks, sdl_sleep, sdl_open, sdl_show, sdl_poll,
};

const BACKEND *const backend_shown = &backend_sdl;
