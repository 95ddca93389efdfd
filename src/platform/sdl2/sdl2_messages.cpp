// SDL events turned into the window messages the shell's window procedure
// understands, one message per peek.
#include "platform/posix/termination_signals.h"
#include "platform/sdl2/sdl2_backend.h"
#include "platform/sdl2/sdl2_keys.h"

static WindowHandle WindowFromId(Uint32 windowId) {
    for (WindowHandle window = KitWindows(); window; window = window->next) {
        if (SDL_GetWindowID(SdlWindowOf(window)) == windowId) {
            return window;
        }
    }
    return nullptr;
}

static uintptr_t ActivationParam(WindowHandle window, uint32_t state) {
    const bool minimised = (SDL_GetWindowFlags(SdlWindowOf(window)) & SDL_WINDOW_MINIMIZED) != 0;
    return state | (minimised ? 0x10000u : 0u);
}

static void TranslateWindowEvent(const SDL_WindowEvent& event) {
    WindowHandle window = WindowFromId(event.windowID);
    if (window == nullptr) {
        return;
    }
    switch (event.event) {
        case SDL_WINDOWEVENT_CLOSE:
            MessageQueuePost(window, WM_CLOSE, 0, 0);
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
        case SDL_WINDOWEVENT_HIDDEN:
            MessageQueuePost(window, WM_ACTIVATE, WA_INACTIVE | 0x10000u, 0);
            break;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_SHOWN:
            MessageQueuePost(window, WM_ACTIVATE, WA_ACTIVE, 0);
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            // The screen saver waits while the show has the foreground.
            SDL_DisableScreenSaver();
            KitFocusFollows(window, true);
            MessageQueuePost(window, WM_ACTIVATE, ActivationParam(window, WA_ACTIVE), 0);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            SDL_EnableScreenSaver();
            KitFocusFollows(window, false);
            MessageQueuePost(window, WM_ACTIVATE, ActivationParam(window, WA_INACTIVE), 0);
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            MessageQueuePost(window, WM_SIZE, 0,
                             MakeLongParam(static_cast<uint32_t>(event.data1),
                                           static_cast<uint32_t>(event.data2)));
            break;
        default:
            break;
    }
}

static void TranslateKeyEvent(const SDL_KeyboardEvent& event) {
    const uint32_t virtualKey = VirtualKeyFromSdl(event.keysym.sym);
    if (virtualKey == 0) {
        return;
    }
    // An event without a window of ours goes to the newest.
    WindowHandle window = WindowFromId(event.windowID);
    const PlatformMessage key = KeyMessage(
        window ? window : KitWindows(), virtualKey, event.type == SDL_KEYDOWN, event.repeat != 0,
        (event.keysym.mod & KMOD_ALT) != 0, static_cast<uint32_t>(event.keysym.scancode));
    MessageQueuePost(key.window, key.message, key.wParam, key.lParam);
}

static void TranslateEvent(const SDL_Event& event) {
    switch (event.type) {
        case SDL_QUIT:
            // SDL's own request to quit (its signal handlers are off, see
            // PlatformPeekMessage): handled like the close box.
            if (KitWindows() != nullptr) {
                MessageQueuePost(KitWindows(), WM_CLOSE, 0, 0);
            } else {
                MessageQueuePostQuit(0);
            }
            break;
        case SDL_WINDOWEVENT:
            TranslateWindowEvent(event.window);
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            TranslateKeyEvent(event.key);
            break;
        default:
            break;
    }
}

int PlatformPeekMessage(PlatformMessage* message) {
    // A termination signal ends the loop at once, as the close box would,
    // with nothing left to handle first; the shell then closes the display.
    if (TerminationSignal() != 0 && !sdl2.signalQuitDelivered) {
        sdl2.signalQuitDelivered = true;
        *message = PlatformMessage{nullptr, WM_QUIT, 0, 0};
        return 1;
    }
    if (MessageQueueEmpty() && Sdl2VideoReady()) {
        SDL_Event event;
        while (MessageQueueEmpty() && SDL_PollEvent(&event)) {
            TranslateEvent(event);
        }
    }
    return MessageQueueTake(message);
}
