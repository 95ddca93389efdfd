// Window class, windows, focus and message boxes through user32.
#include "platform/platform.h"
#include "platform/win32/win32_records.h"
#include "platform/win32/window_procedure_win32.h"

InstanceHandle PlatformGetModuleHandle() {
    return FromHinstance(GetModuleHandleA(nullptr));
}

int PlatformRegisterClass(const WindowClassDesc* windowClass) {
    WNDCLASSA win32Class = {};
    win32Class.style = windowClass->style;
    win32Class.lpfnWndProc = ForwardWindowMessage;
    win32Class.cbClsExtra = 0;
    win32Class.cbWndExtra = 0;
    win32Class.hInstance = ToHinstance(windowClass->instance);
    win32Class.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(windowClass->iconId));
    win32Class.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(windowClass->cursorId));
    win32Class.hbrBackground = nullptr;
    win32Class.lpszMenuName = nullptr;
    win32Class.lpszClassName = windowClass->className;

    // Messages can arrive as soon as a window of the class exists, so the
    // procedure is in place before the class is.
    const WindowProcedure previous = SetForwardedWindowProcedure(windowClass->procedure);
    if (RegisterClassA(&win32Class) == 0) {
        SetForwardedWindowProcedure(previous);
        return 0;
    }
    return 1;
}

int PlatformUnregisterClass(const char* className, InstanceHandle instance) {
    return UnregisterClassA(className, ToHinstance(instance)) ? 1 : 0;
}

void PlatformAdjustWindowRect(WindowRect* rect, uint32_t style, uint32_t extendedStyle) {
    RECT win32Rect = {rect->left, rect->top, rect->right, rect->bottom};
    AdjustWindowRectEx(&win32Rect, style, FALSE, extendedStyle);
    rect->left = win32Rect.left;
    rect->top = win32Rect.top;
    rect->right = win32Rect.right;
    rect->bottom = win32Rect.bottom;
}

WindowHandle PlatformCreateWindow(uint32_t extendedStyle, const char* className, const char* title,
                                  uint32_t style, int x, int y, int width, int height,
                                  InstanceHandle instance) {
    return FromHwnd(CreateWindowExA(extendedStyle, className, title, style, x, y, width, height,
                                    nullptr, nullptr, ToHinstance(instance), nullptr));
}

int PlatformDestroyWindow(WindowHandle window) {
    return DestroyWindow(ToHwnd(window)) ? 1 : 0;
}

void PlatformShowWindow(WindowHandle window, int showCommand) {
    ShowWindow(ToHwnd(window), showCommand);
}

void PlatformSetForegroundWindow(WindowHandle window) {
    SetForegroundWindow(ToHwnd(window));
}

void PlatformSetFocus(WindowHandle window) {
    SetFocus(ToHwnd(window));
}

WindowHandle PlatformGetFocus() {
    return FromHwnd(GetFocus());
}

int PlatformSetWindowTitle(WindowHandle window, const char* title) {
    // The shell's titles are UTF-8 ("Vup \u2014 0:42 paused"): the A call
    // would read them in the system's ANSI code page.
    wchar_t wide[128];
    if (title == nullptr || MultiByteToWideChar(CP_UTF8, 0, title, -1, wide, 128) == 0) {
        return 0;
    }
    return SetWindowTextW(ToHwnd(window), wide) ? 1 : 0;
}

int PlatformMessageBox(WindowHandle owner, const char* text, const char* caption, uint32_t flags) {
    return MessageBoxA(ToHwnd(owner), text, caption, flags);
}
