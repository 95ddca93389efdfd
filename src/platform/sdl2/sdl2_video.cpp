// Video start-up, window classes and the display mode.
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/posix/termination_signals.h"
#include "platform/sdl2/sdl2_backend.h"

static void QuitVideoAtExit() {
    Sdl2NoteExiting();
    SDL_Quit();
}

// Without a display SDL falls back to drivers that draw where nobody sees
// (offscreen, dummy): the show would then play invisibly at full speed. Those
// are taken only when asked for by name (SDL_VIDEODRIVER), as tests do.
static bool WatchableDriver() {
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    const bool unseen =
        driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
    if (!unseen || (asked && std::strcmp(asked, driver) == 0)) {
        return true;
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    SDL_SetError("SDL found only its %s driver, which no one sees", driver);
    return false;
}

bool Sdl2VideoReady() {
    if (!sdl2.videoTried) {
        sdl2.videoTried = true;
        // First, so a signal's exit comes after SDL's own cleanup.
        InstallTerminationSignals();
        // Re-opening the display destroys its only window for a moment; that
        // must not read as the user quitting.
        SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
        SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
        // The termination signals are ours (see PlatformPeekMessage).
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        // Titles are UTF-8 ("Vup — 0:42 paused"); X converts them for the
        // window manager by the character type of the process's locale, which
        // is plain ASCII until set, and a title it cannot convert is kept
        // only half (mangled, or the old one). Only the character type:
        // numbers still read and print the same everywhere.
        if (std::setlocale(LC_CTYPE, "") == nullptr || MB_CUR_MAX == 1) {
            std::setlocale(LC_CTYPE, "C.UTF-8");
        }
        sdl2.videoReady = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0 && WatchableDriver();
        if (!sdl2.videoReady) {
            std::fprintf(stderr, "vup: no display to show on (%s)\n",
                         SDL_GetError()[0] ? SDL_GetError() : "no video driver");
        }
        Sdl2WatchDisplayLoss();
        if (sdl2.videoReady) {
            std::atexit(QuitVideoAtExit);
        }
    }
    return sdl2.videoReady;
}

// Without a display no window can be made, so its class is refused at once.
int PlatformRegisterClass(const WindowClassDesc* windowClass) {
    return Sdl2VideoReady() ? WindowClassAdd(windowClass) : 0;
}

// Under X11 the colour depth cannot be switched: the mode is accepted when the
// display offers the resolution, whatever its depth, and the GL pixel format
// still asks for the requested bits.
int32_t PlatformChangeDisplayMode(int width, int height, int /*bitsPerPixel*/) {
    if (!Sdl2VideoReady()) {
        return DISP_CHANGE_FAILED;
    }
    const int modes = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < modes; ++i) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) == 0 && mode.w == width && mode.h == height) {
            sdl2.fullscreenMode = mode;
            sdl2.fullscreenModeSet = true;
            return DISP_CHANGE_SUCCESSFUL;
        }
    }
    return DISP_CHANGE_FAILED;
}

void PlatformRestoreDisplayMode() {
    sdl2.fullscreenModeSet = false;
    for (WindowHandle window = KitWindows(); window; window = window->next) {
        if (SDL_GetWindowFlags(SdlWindowOf(window)) & SDL_WINDOW_FULLSCREEN) {
            SDL_SetWindowFullscreen(SdlWindowOf(window), 0);
        }
    }
}

void PlatformShowCursor(int show) {
    if (Sdl2VideoReady()) {
        SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
    }
}
