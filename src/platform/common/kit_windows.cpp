// Windows, their device contexts and pixel formats, the focus and the
// handing of messages to window procedures.
#include <cstdlib>

#include "platform/common/win32_kit.h"
#include "platform/common/win32_kit_state.h"

WindowHandle KitWindowAdd(WindowProcedure procedure, void* native) {
    auto* window = static_cast<PlatformWindowObject*>(std::calloc(1, sizeof(PlatformWindowObject)));
    if (window == nullptr) {
        return nullptr;
    }
    window->procedure = procedure;
    window->dc.window = window;
    window->native = native;
    window->next = win32Kit.windows;
    win32Kit.windows = window;
    return window;
}

bool KitWindowIsLive(WindowHandle window) {
    for (PlatformWindowObject* live = win32Kit.windows; live != nullptr; live = live->next) {
        if (live == window) {
            return true;
        }
    }
    return false;
}

bool KitWindowRemove(WindowHandle window) {
    PlatformWindowObject** link = &win32Kit.windows;
    while (*link != nullptr && *link != window) {
        link = &(*link)->next;
    }
    if (*link == nullptr) {
        return false;
    }
    *link = window->next;
    if (win32Kit.focus == window) {
        win32Kit.focus = nullptr;
    }
    MessageQueueForget(window);
    std::free(window);
    return true;
}

WindowHandle KitWindows() {
    return win32Kit.windows;
}

void KitFocusFollows(WindowHandle window, bool gained) {
    if (gained) {
        win32Kit.focus = window;
    } else if (win32Kit.focus == window) {
        win32Kit.focus = nullptr;
    }
}

bool KitPixelFormatUsable(DeviceContextHandle dc, const PixelFormatRequest* request) {
    const uint32_t needed = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    return dc != nullptr && KitWindowIsLive(dc->window) && request != nullptr &&
           request->nSize == sizeof(PixelFormatRequest) && request->nVersion == 1 &&
           (request->dwFlags & needed) == needed && request->iPixelType == PFD_TYPE_RGBA;
}

int KitSetPixelFormat(DeviceContextHandle dc, int format) {
    if (dc == nullptr || !KitWindowIsLive(dc->window) || format != 1 || dc->pixelFormat != 0) {
        return 0;
    }
    dc->pixelFormat = format;
    return 1;
}

void KitReset() {
    while (win32Kit.windows != nullptr) {
        KitWindowRemove(win32Kit.windows);
    }
    win32Kit = Win32KitState{};
}

// ---- the platform's own entry points --------------------------------------

InstanceHandle PlatformGetModuleHandle() {
    static char moduleTag;
    return reinterpret_cast<InstanceHandle>(&moduleTag);
}

int PlatformUnregisterClass(const char* className, InstanceHandle instance) {
    return WindowClassRemove(className, instance);
}

void PlatformAdjustWindowRect(WindowRect* /*rect*/, uint32_t /*style*/,
                              uint32_t /*extendedStyle*/) {
    // Sizes are client sizes: the window system (or nobody) adds the frame.
}

void PlatformSetFocus(WindowHandle window) {
    if (window == nullptr || KitWindowIsLive(window)) {
        win32Kit.focus = window;
    }
}

WindowHandle PlatformGetFocus() {
    return win32Kit.focus;
}

DeviceContextHandle PlatformGetDC(WindowHandle window) {
    return KitWindowIsLive(window) ? &window->dc : nullptr;
}

int PlatformReleaseDC(WindowHandle window, DeviceContextHandle dc) {
    // The class's own device context lives as long as its window.
    return KitWindowIsLive(window) && dc == &window->dc;
}

intptr_t PlatformDispatchMessage(const PlatformMessage* message) {
    // A message outliving its window goes nowhere, as on Windows.
    WindowHandle window = message->window;
    if (!KitWindowIsLive(window)) {
        return 0;
    }
    return window->procedure(window, message->message, message->wParam, message->lParam);
}

intptr_t PlatformDefWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam,
                               intptr_t /*lParam*/) {
    return DefaultWindowHandling(KitWindowIsLive(window) ? window->procedure : nullptr, window,
                                 message, wParam);
}
