// SDL events turned into the window messages the shell's window procedure
// understands, one message per peek.
#include "platform/common/message_queue.h"
#include "platform/posix/termination_signals.h"
#include "platform/sdl2/sdl2_keys.h"
#include "platform/sdl2/sdl2_objects.h"

static bool signalQuitDelivered = false;

// Messages made from one event wait in the queue for the following peeks.
static void Queue(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    MessageQueuePost(window, message, wParam, lParam);
}

// The window an event without one (a signal's quit) goes to: the newest.
static WindowHandle EventWindow(Uint32 windowId) {
    WindowHandle window = Sdl2WindowFromId(windowId);
    return window ? window : Sdl2Windows();
}

static uintptr_t ActivationParam(WindowHandle window, uint32_t state) {
    const bool minimised =
        window != nullptr && (SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_MINIMIZED) != 0;
    return state | (minimised ? 0x10000u : 0u);
}

static void TranslateWindowEvent(const SDL_WindowEvent& event) {
    WindowHandle window = Sdl2WindowFromId(event.windowID);
    if (window == nullptr) {
        return;
    }
    switch (event.event) {
        case SDL_WINDOWEVENT_CLOSE:
            Queue(window, WM_CLOSE, 0, 0);
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
        case SDL_WINDOWEVENT_HIDDEN:
            Queue(window, WM_ACTIVATE, WA_INACTIVE | 0x10000u, 0);
            break;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_SHOWN:
            Queue(window, WM_ACTIVATE, WA_ACTIVE, 0);
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            // The screen saver waits while the show has the foreground.
            SDL_DisableScreenSaver();
            Sdl2SetFocusFromEvent(window, true);
            Queue(window, WM_ACTIVATE, ActivationParam(window, WA_ACTIVE), 0);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            SDL_EnableScreenSaver();
            Sdl2SetFocusFromEvent(window, false);
            Queue(window, WM_ACTIVATE, ActivationParam(window, WA_INACTIVE), 0);
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            Queue(window, WM_SIZE, 0,
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
    // With Alt held, keys are system keys, which the window procedure leaves
    // to the default handling (so Alt+F4 closes the window).
    const bool system = (event.keysym.mod & KMOD_ALT) != 0 || virtualKey == VK_MENU;
    uint32_t message;
    if (event.type == SDL_KEYDOWN) {
        message = system ? WM_SYSKEYDOWN : WM_KEYDOWN;
    } else {
        message = system ? WM_SYSKEYUP : WM_KEYUP;
    }
    uint32_t flags = 1 | (static_cast<uint32_t>(event.keysym.scancode & 0xFF) << 16);
    if (event.repeat) {
        flags |= 1u << 30;
    }
    if (event.type == SDL_KEYUP) {
        flags |= 3u << 30;
    }
    Queue(EventWindow(event.windowID), message, virtualKey, static_cast<intptr_t>(flags));
}

static void TranslateEvent(const SDL_Event& event) {
    switch (event.type) {
        case SDL_QUIT:
            // SDL's own request to quit (its signal handlers are off, see
            // PlatformPeekMessage): handled like the close box.
            if (Sdl2Windows() != nullptr) {
                Queue(Sdl2Windows(), WM_CLOSE, 0, 0);
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
    if (TerminationSignal() != 0 && !signalQuitDelivered) {
        signalQuitDelivered = true;
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

intptr_t PlatformDispatchMessage(const PlatformMessage* message) {
    WindowHandle window = message->window;
    if (window == nullptr || window->procedure == nullptr) {
        return 0;
    }
    return window->procedure(window, message->message, message->wParam, message->lParam);
}

intptr_t PlatformDefWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam,
                               intptr_t /*lParam*/) {
    return DefaultWindowHandling(window ? window->procedure : nullptr, window, message, wParam);
}
