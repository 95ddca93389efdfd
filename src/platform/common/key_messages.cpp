#include "platform/common/key_messages.h"

PlatformMessage KeyMessage(WindowHandle window, uint32_t virtualKey, bool down, bool repeat,
                           bool altHeld, uint32_t scanCode) {
    const bool system = altHeld || virtualKey == VK_MENU;
    uint32_t message;
    if (down) {
        message = system ? WM_SYSKEYDOWN : WM_KEYDOWN;
    } else {
        message = system ? WM_SYSKEYUP : WM_KEYUP;
    }
    uint32_t flags = 1 | ((scanCode & 0xFF) << 16);
    if (repeat || !down) {
        flags |= 1u << 30;
    }
    if (!down) {
        flags |= 1u << 31;
    }
    return PlatformMessage{window, message, virtualKey, static_cast<intptr_t>(flags)};
}
