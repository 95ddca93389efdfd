// The page's events as the window messages the shell's window procedure
// understands, one message per peek, and the millisecond clock.
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cmath>
#include <cstdint>

#include "platform/common/message_queue.h"
#include "platform/web/web_keys.h"
#include "platform/web/web_platform.h"

bool webMessageBoxOpen = false;

// Messages made from the page's events wait in the queue for the following
// peeks.
void WebQueueMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    MessageQueuePost(window, message, wParam, lParam);
}

// Key messages go to the show's window; with no window, or while a message
// box waits for its answer, the keys are not the show's.
static EM_BOOL OnKey(int eventType, const EmscriptenKeyboardEvent* event, void*) {
    WindowHandle window = WebLiveWindow();
    const uint32_t virtualKey = VirtualKeyFromDomCode(event->code);
    if (window == nullptr || webMessageBoxOpen || virtualKey == 0) {
        return EM_FALSE;
    }
    const bool down = eventType == EMSCRIPTEN_EVENT_KEYDOWN;
    // With Alt held, keys are system keys, which the window procedure leaves
    // to the default handling, as on the desktop.
    const bool system = event->altKey || virtualKey == VK_MENU;
    uint32_t message;
    if (down) {
        message = system ? WM_SYSKEYDOWN : WM_KEYDOWN;
    } else {
        message = system ? WM_SYSKEYUP : WM_KEYUP;
    }
    uint32_t flags = 1;
    if (event->repeat) {
        flags |= 1u << 30;
    }
    if (!down) {
        flags |= 3u << 30;
    }
    WebQueueMessage(window, message, virtualKey, static_cast<intptr_t>(flags));
    // The browser's own F1 is its help page.
    return virtualKey == VK_F1 ? EM_TRUE : EM_FALSE;
}

// The page's touch controls (web_page.js) press and release Escape and F1
// as the keyboard would.
extern "C" EMSCRIPTEN_KEEPALIVE void WebPressKey(int virtualKey, int down) {
    WindowHandle window = WebLiveWindow();
    if (window == nullptr || webMessageBoxOpen) {
        return;
    }
    WebQueueMessage(window, down != 0 ? WM_KEYDOWN : WM_KEYUP, static_cast<uintptr_t>(virtualKey),
                    static_cast<intptr_t>(down != 0 ? 1u : 1u | (3u << 30)));
}

// A hidden page is a minimised window: the loop draws nothing (and the
// browser runs no animation frames) until it is shown again.
static EM_BOOL OnVisibility(int, const EmscriptenVisibilityChangeEvent* event, void*) {
    if (WindowHandle window = WebLiveWindow()) {
        WebQueueMessage(window, WM_ACTIVATE, event->hidden ? (WA_INACTIVE | 0x10000u) : WA_ACTIVE,
                        0);
    }
    return EM_FALSE;
}

// The browser leaves fullscreen by itself on its Escape key, and may not
// pass that key on to the page: the show takes it as its own Escape.
static EM_BOOL OnFullscreenChange(int, const EmscriptenFullscreenChangeEvent* event, void*) {
    if (!event->isFullscreen && webFullscreenHeld) {
        webFullscreenHeld = false;
        if (WindowHandle window = WebLiveWindow()) {
            WebQueueMessage(window, WM_KEYDOWN, VK_ESCAPE, 1);
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

// ---- the clock ---------------------------------------------------------

static bool startReadingPending = true;
static uint32_t startReading = 0;
static uint32_t lastReading = 0;

void WebMessagesReset() {
    MessageQueueClear();
    webMessageBoxOpen = false;
    startReadingPending = true;
}

// performance.now() to the nearest millisecond: browsers add up to a tenth
// of a millisecond of jitter to it, which rounding removes. Truncated to 32
// bits like the desktop's counter.
uint32_t PlatformMilliseconds() {
    const uint32_t reading = static_cast<uint32_t>(std::llround(emscripten_get_now()));
    if (startReadingPending) {
        startReadingPending = false;
        startReading = reading;
    }
    lastReading = reading;
    return reading;
}

uint32_t WebShowTimeOfLastReading() {
    return lastReading - startReading;
}

uint32_t WebLastReading() {
    return lastReading;
}

// ---- the queue -----------------------------------------------------------

int PlatformPeekMessage(PlatformMessage* message) {
    return MessageQueueTake(message);
}

intptr_t PlatformDispatchMessage(const PlatformMessage* message) {
    WindowHandle window = message->window;
    if (window == nullptr || window != WebLiveWindow() || window->procedure == nullptr) {
        return 0;
    }
    return window->procedure(window, message->message, message->wParam, message->lParam);
}

intptr_t PlatformDefWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam,
                               intptr_t /*lParam*/) {
    // Alt+F4 closes the window when the browser lets the page see the key.
    return DefaultWindowHandling(window ? window->procedure : nullptr, window, message, wParam);
}
