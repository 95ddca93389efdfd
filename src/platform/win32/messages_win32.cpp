// The thread's message queue and the default window procedure.
#include "platform/platform.h"
#include "platform/win32/win32_records.h"

// The full record of the message last removed, so translating and
// dispatching it see its time and cursor position as well.
static MSG lastRemovedMessage;

int PlatformPeekMessage(PlatformMessage* message) {
    MSG removed;
    if (!PeekMessageA(&removed, nullptr, 0, 0, PM_REMOVE)) {
        return 0;
    }
    lastRemovedMessage = removed;
    ToPlatformMessage(&removed, message);
    return 1;
}

void PlatformTranslateMessage(const PlatformMessage* message) {
    MSG win32Message;
    ToWin32Message(message, &lastRemovedMessage, &win32Message);
    TranslateMessage(&win32Message);
}

intptr_t PlatformDispatchMessage(const PlatformMessage* message) {
    MSG win32Message;
    ToWin32Message(message, &lastRemovedMessage, &win32Message);
    return DispatchMessageA(&win32Message);
}

void PlatformPostQuitMessage(int exitCode) {
    PostQuitMessage(exitCode);
}

intptr_t PlatformDefWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam,
                               intptr_t lParam) {
    return DefWindowProcA(ToHwnd(window), message, wParam, lParam);
}
