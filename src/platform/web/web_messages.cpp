// The page's events as the window messages the shell's window procedure
// understands, into the kit's queue, and the millisecond clock.
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cmath>
#include <cstdint>

#include "platform/web/web_backend.h"
#include "platform/web/web_backend_state.h"
#include "platform/web/web_keys.h"

// Keys go to the show's window; with no window, or while a message box waits
// for its answer, they are not the show's.
static WindowHandle KeysWindow() {
    return webBackend.messageBoxOpen ? nullptr : KitWindows();
}

// The show looks at which keys are down once a drawing turn, after taking
// every waiting message. A key pressed and let go while a slow frame (a busy
// phone, a software renderer) waits for the browser would reach it as a press
// and a release on one turn, and the press would be lost: so a release waits
// until a turn has looked at its press.
enum : uint8_t { kKeyPressUnseen = 1, kKeyReleaseHeld = 2, kKeyReleaseHeldWithAlt = 4 };

static void PostKey(WindowHandle window, uint32_t virtualKey, bool down, bool repeat,
                    bool altHeld) {
    uint8_t& hold = webBackend.keyHolds[virtualKey & 0xFF];
    if (!down && (hold & kKeyPressUnseen) != 0) {
        hold |= altHeld ? kKeyReleaseHeldWithAlt : kKeyReleaseHeld;
        return;
    }
    if (down) {
        hold |= kKeyPressUnseen;
        webBackend.keyHeld = true;
    }
    const PlatformMessage key = KeyMessage(window, virtualKey, down, repeat, altHeld, 0);
    MessageQueuePost(key.window, key.message, key.wParam, key.lParam);
}

void WebKeysLookedAt() {
    if (!webBackend.keyHeld) {
        return;
    }
    webBackend.keyHeld = false;
    WindowHandle window = KitWindows();
    for (uint32_t virtualKey = 0; virtualKey < 256; ++virtualKey) {
        const uint8_t hold = webBackend.keyHolds[virtualKey];
        webBackend.keyHolds[virtualKey] = 0;
        if ((hold & (kKeyReleaseHeld | kKeyReleaseHeldWithAlt)) != 0 && window != nullptr) {
            PostKey(window, virtualKey, false, false, (hold & kKeyReleaseHeldWithAlt) != 0);
        }
    }
}

static EM_BOOL OnKey(int eventType, const EmscriptenKeyboardEvent* event, void*) {
    WindowHandle window = KeysWindow();
    const uint32_t virtualKey = VirtualKeyFromDomCode(event->code);
    if (window == nullptr || virtualKey == 0) {
        return EM_FALSE;
    }
    PostKey(window, virtualKey, eventType == EMSCRIPTEN_EVENT_KEYDOWN, event->repeat,
            event->altKey);
    // The browser's own F1 is its help page.
    return virtualKey == VK_F1 ? EM_TRUE : EM_FALSE;
}

// The page's touch controls (web_page.js) press and release Escape and F1
// as the keyboard would.
extern "C" EMSCRIPTEN_KEEPALIVE void WebPressKey(int virtualKey, int down) {
    if (WindowHandle window = KeysWindow()) {
        PostKey(window, static_cast<uint32_t>(virtualKey), down != 0, false, false);
    }
}

// A hidden page is a minimised window: the loop draws nothing (and the
// browser runs no animation frames) until it is shown again.
static EM_BOOL OnVisibility(int, const EmscriptenVisibilityChangeEvent* event, void*) {
    if (WindowHandle window = KitWindows()) {
        MessageQueuePost(window, WM_ACTIVATE, event->hidden ? (WA_INACTIVE | 0x10000u) : WA_ACTIVE,
                         0);
    }
    return EM_FALSE;
}

// The browser leaves fullscreen by itself on its Escape key, and may not
// pass that key on to the page: the show takes it as its own Escape.
static EM_BOOL OnFullscreenChange(int, const EmscriptenFullscreenChangeEvent* event, void*) {
    if (!event->isFullscreen && webBackend.fullscreenHeld) {
        webBackend.fullscreenHeld = false;
        if (WindowHandle window = KitWindows()) {
            MessageQueuePost(window, WM_KEYDOWN, VK_ESCAPE, 1);
        }
    }
    return EM_FALSE;
}

void WebListenToPage() {
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnKey);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnKey);
    emscripten_set_visibilitychange_callback(nullptr, EM_FALSE, OnVisibility);
    emscripten_set_fullscreenchange_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_FALSE,
                                             OnFullscreenChange);
}

int PlatformPeekMessage(PlatformMessage* message) {
    return MessageQueueTake(message);
}

// performance.now() to the nearest millisecond: browsers add up to a tenth
// of a millisecond of jitter to it, which rounding removes. Truncated to 32
// bits like the desktop's counter. The first reading after a reset is the
// show's start (SwapBuffers reports each frame's show time from it).
uint32_t PlatformMilliseconds() {
    const uint32_t reading = static_cast<uint32_t>(std::llround(emscripten_get_now()));
    if (!webBackend.startRead) {
        webBackend.startRead = true;
        webBackend.startReading = reading;
    }
    webBackend.lastReading = reading;
    return reading;
}
