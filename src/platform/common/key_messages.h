// The key messages a backend without Win32 makes from its key events, as
// Windows makes them: the virtual-key code in wParam, and in lParam a repeat
// count of 1, the scan code in bits 16-23, bit 30 set when the key was down
// before and bit 31 on release. With Alt held (or for Alt itself) they are
// system keys, which the window procedure leaves to the default handling, so
// that Alt+F4 closes the window.
#pragma once

#include "platform/platform.h"

PlatformMessage KeyMessage(WindowHandle window, uint32_t virtualKey, bool down, bool repeat,
                           bool altHeld, uint32_t scanCode);
