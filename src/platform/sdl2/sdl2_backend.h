// The SDL2 backend's own state and the parts its files share. The Win32
// behaviours come from the kit (platform/common/win32_kit.h); this backend
// adds what is native to it: SDL's video and windows, GL contexts, events,
// message boxes and the display mode. Beneath SDL on X11 it uses Xlib (to
// notice the display going away) and xcb (to close a message box on a
// termination signal).
#pragma once

#include <SDL.h>
#include <pthread.h>
#include <sys/types.h>
#include <xcb/xcb.h>

#include <atomic>

#include "platform/common/win32_kit.h"
#include "platform/platform.h"

struct PlatformRenderContextObject {
    SDL_GLContext gl;
};

// While a message box is open: a thread on an xcb connection of its own that
// closes the box when a termination signal arrives (sdl2_box_closer.cpp).
struct Sdl2BoxCloser {
    static constexpr int kMaxNewWindows = 16;
    xcb_connection_t* connection;
    xcb_window_t root;
    xcb_atom_t protocolsAtom;
    xcb_atom_t deleteWindowAtom;
    const char* caption;
    int stopPipe[2];
    pthread_t thread;
    bool running;
    xcb_window_t newWindows[kMaxNewWindows];
    bool closed[kMaxNewWindows];
    int newWindowCount;
};

// Everything the backend keeps, in one place.
struct Sdl2Backend {
    // SDL's video is started once per process, on first need.
    bool videoTried;
    bool videoReady;
    // The mode of the last successful display-mode change, until it is
    // restored: a fullscreen window made meanwhile takes it.
    bool fullscreenModeSet;
    SDL_DisplayMode fullscreenMode;
    // SDL picks the X visual when a window is made, so the framebuffer
    // attributes of the last pixel format set go to every new window; one
    // made before any was set gets the show's own request (16 colour and 16
    // depth bits).
    PixelFormatRequest lastPixelFormat = {
        .nSize = sizeof(PixelFormatRequest),
        .nVersion = 1,
        .dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER,
        .iPixelType = PFD_TYPE_RGBA,
        .cColorBits = 16,
        .cDepthBits = 16,
    };
    // The quit a termination signal makes has been handed out.
    bool signalQuitDelivered;
    // Losing the display (sdl2_display_loss.cpp); its handler may run while
    // the process is exiting.
    pid_t showProcess;
    std::atomic<bool> displayLost;
    std::atomic<bool> exiting;
    Sdl2BoxCloser boxCloser;
};

extern Sdl2Backend sdl2;

inline SDL_Window* SdlWindowOf(WindowHandle window) {
    return static_cast<SDL_Window*>(window->native);
}

// Starts SDL's video once per process; false when there is no display. Also
// takes over the termination signals and the loss of the display.
bool Sdl2VideoReady();

// Losing the display ends the process (status 1, one line on stderr); once
// exiting has begun, without running the exit-time cleanups again.
void Sdl2WatchDisplayLoss();
void Sdl2NoteExiting();

// Around a modal message box: closes the box titled `caption` when a
// termination signal arrives while it is open.
void Sdl2StartBoxCloser(const char* caption);
void Sdl2StopBoxCloser();
