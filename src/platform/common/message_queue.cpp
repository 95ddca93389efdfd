#include "platform/common/message_queue.h"

#include <algorithm>

#include "platform/common/win32_kit_state.h"

void MessageQueuePost(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    win32Kit.pending.push_back(PlatformMessage{window, message, wParam, lParam});
}

int MessageQueueTake(PlatformMessage* message) {
    if (!win32Kit.pending.empty()) {
        *message = win32Kit.pending.front();
        win32Kit.pending.erase(win32Kit.pending.begin());
        return 1;
    }
    if (win32Kit.quitPosted) {
        win32Kit.quitPosted = false;
        *message = PlatformMessage{nullptr, WM_QUIT, static_cast<uintptr_t>(win32Kit.quitCode), 0};
        return 1;
    }
    return 0;
}

bool MessageQueueEmpty() {
    return win32Kit.pending.empty();
}

void MessageQueuePostQuit(int exitCode) {
    win32Kit.quitPosted = true;
    win32Kit.quitCode = exitCode;
}

void MessageQueueForget(WindowHandle window) {
    std::erase_if(win32Kit.pending,
                  [window](const PlatformMessage& message) { return message.window == window; });
}

intptr_t DefaultWindowHandling(WindowProcedure procedure, WindowHandle window, uint32_t message,
                               uintptr_t wParam) {
    if (window == nullptr || procedure == nullptr) {
        return 0;
    }
    if (message == WM_SYSKEYDOWN && wParam == VK_F4) {
        return procedure(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE) {
        return procedure(window, WM_CLOSE, 0, 0);
    }
    return 0;
}

// The platform's own entry points, the same for every backend that uses this
// queue.

void PlatformTranslateMessage(const PlatformMessage* /*message*/) {
    // No character messages: the show reads keys only.
}

void PlatformPostQuitMessage(int exitCode) {
    MessageQueuePostQuit(exitCode);
}
