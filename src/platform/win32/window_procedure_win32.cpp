#include "platform/win32/window_procedure_win32.h"

#include "platform/win32/win32_records.h"

static WindowProcedure forwardedProcedure = nullptr;

WindowProcedure SetForwardedWindowProcedure(WindowProcedure procedure) {
    const WindowProcedure previous = forwardedProcedure;
    forwardedProcedure = procedure;
    return previous;
}

LRESULT CALLBACK ForwardWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (forwardedProcedure == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    return forwardedProcedure(FromHwnd(window), message, wParam, lParam);
}
