#include "platform/common/message_queue.h"

#include <deque>

static std::deque<PlatformMessage> pending;
static bool quitPosted = false;
static int quitCode = 0;

void MessageQueuePost(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    pending.push_back(PlatformMessage{window, message, wParam, lParam});
}

int MessageQueueTake(PlatformMessage* message) {
    if (!pending.empty()) {
        *message = pending.front();
        pending.pop_front();
        return 1;
    }
    if (quitPosted) {
        quitPosted = false;
        *message = PlatformMessage{nullptr, WM_QUIT, static_cast<uintptr_t>(quitCode), 0};
        return 1;
    }
    return 0;
}

bool MessageQueueEmpty() {
    return pending.empty();
}

void MessageQueuePostQuit(int exitCode) {
    quitPosted = true;
    quitCode = exitCode;
}

void MessageQueueClear() {
    std::deque<PlatformMessage>().swap(pending);
    quitPosted = false;
    quitCode = 0;
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
