// wm-close: asks an X11 window to close the way a window manager does, by
// sending it a WM_PROTOCOLS client message carrying WM_DELETE_WINDOW.
// Usage: wm-close WINDOW_ID (decimal or 0x hex, as xdotool and xwininfo print).
// libX11 is loaded at run time so the tool needs no extra link line.
#include <X11/Xlib.h>
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: wm-close WINDOW_ID\n");
        return 2;
    }
    char *end = nullptr;
    unsigned long id = strtoul(argv[1], &end, 0);
    if (!end || *end || id == 0) {
        fprintf(stderr, "wm-close: bad window id '%s'\n", argv[1]);
        return 2;
    }
    void *x11 = dlopen("libX11.so.6", RTLD_NOW);
    if (!x11) {
        fprintf(stderr, "wm-close: cannot load libX11.so.6\n");
        return 1;
    }
    auto open_display = (decltype(&XOpenDisplay))dlsym(x11, "XOpenDisplay");
    auto intern_atom = (decltype(&XInternAtom))dlsym(x11, "XInternAtom");
    auto send_event = (decltype(&XSendEvent))dlsym(x11, "XSendEvent");
    auto flush = (decltype(&XFlush))dlsym(x11, "XFlush");
    auto close_display = (decltype(&XCloseDisplay))dlsym(x11, "XCloseDisplay");
    if (!open_display || !intern_atom || !send_event || !flush || !close_display) {
        fprintf(stderr, "wm-close: libX11 lacks a function\n");
        return 1;
    }
    Display *display = open_display(nullptr);
    if (!display) {
        fprintf(stderr, "wm-close: cannot open the display\n");
        return 1;
    }
    XEvent e = {};
    e.xclient.type = ClientMessage;
    e.xclient.window = (Window)id;
    e.xclient.message_type = intern_atom(display, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = (long)intern_atom(display, "WM_DELETE_WINDOW", False);
    e.xclient.data.l[1] = CurrentTime;
    int ok = send_event(display, (Window)id, False, NoEventMask, &e);
    flush(display);
    close_display(display);
    return ok ? 0 : 1;
}
