// What the SDL2 backend's opaque handles point at, shared by its files.
// The backend needs SDL2 and, beneath it on X11, Xlib (to notice the display
// going away) and xcb (to close a message box on a termination signal).
#pragma once

#include <SDL.h>

#include "platform/platform.h"

struct PlatformDeviceContextObject {
    struct PlatformWindowObject* window;
    int pixelFormat;  // 0 until SetPixelFormat
};

struct PlatformWindowObject {
    SDL_Window* sdl;
    WindowProcedure procedure;
    // The class keeps one device context per window for the window's life.
    PlatformDeviceContextObject dc;
    PlatformWindowObject* next;
};

struct PlatformRenderContextObject {
    SDL_GLContext gl;
};

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

// The live windows, newest first.
PlatformWindowObject* Sdl2Windows();
PlatformWindowObject* Sdl2WindowFromId(Uint32 windowId);

// The mode of the last successful display-mode change, until it is restored.
bool Sdl2FullscreenMode(SDL_DisplayMode* mode);

// Keeps GetFocus in step with the window system's focus.
void Sdl2SetFocusFromEvent(WindowHandle window, bool gained);

// GL framebuffer attributes for the next window and context.
void Sdl2ApplyPixelFormat(const PixelFormatRequest* request);
