// The platform as the recorder has it: a console and an offscreen GL context
// that the recorder makes itself, but no windows, display modes or message
// queue. The show's code reaches only the message boxes (the picture reader
// and scene set-up report failures through them), which go to stderr as one
// line each; the window calls answer the way Win32 answers when it cannot
// make a window, so a display open would fail cleanly rather than pretend.
#include <cstdio>
#include <string>

#include "platform/platform.h"

InstanceHandle PlatformGetModuleHandle() {
    return nullptr;
}

int PlatformRegisterClass(const WindowClassDesc*) {
    return 0;
}
int PlatformUnregisterClass(const char*, InstanceHandle) {
    return 0;
}

int32_t PlatformChangeDisplayMode(int, int, int) {
    return DISP_CHANGE_FAILED;
}
void PlatformRestoreDisplayMode() {}

void PlatformShowCursor(int) {}

void PlatformAdjustWindowRect(WindowRect*, uint32_t, uint32_t) {}

WindowHandle PlatformCreateWindow(uint32_t, const char*, const char*, uint32_t, int, int, int, int,
                                  InstanceHandle) {
    return nullptr;
}
int PlatformDestroyWindow(WindowHandle) {
    return 0;
}
void PlatformShowWindow(WindowHandle, int) {}
void PlatformSetForegroundWindow(WindowHandle) {}
void PlatformSetFocus(WindowHandle) {}
WindowHandle PlatformGetFocus() {
    return nullptr;
}

DeviceContextHandle PlatformGetDC(WindowHandle) {
    return nullptr;
}
int PlatformReleaseDC(WindowHandle, DeviceContextHandle) {
    return 0;
}

int PlatformChoosePixelFormat(DeviceContextHandle, const PixelFormatRequest*) {
    return 0;
}
int PlatformSetPixelFormat(DeviceContextHandle, int, const PixelFormatRequest*) {
    return 0;
}

RenderContextHandle PlatformCreateContext(DeviceContextHandle) {
    return nullptr;
}
int PlatformMakeCurrent(DeviceContextHandle, RenderContextHandle) {
    return 0;
}
int PlatformDeleteContext(RenderContextHandle) {
    return 0;
}

int PlatformSwapBuffers(DeviceContextHandle) {
    return 0;
}

// No one is there to answer a question, so a yes/no box is answered no.
int PlatformMessageBox(WindowHandle, const char* text, const char* caption, uint32_t flags) {
    std::string line = text != nullptr ? text : "";
    for (char& c : line) {
        if (c == '\n') {
            c = ' ';
        }
    }
    std::fprintf(stderr, "vup-record: %s: %s\n", caption != nullptr ? caption : "", line.c_str());
    return (flags & MB_YESNO) == MB_YESNO ? IDNO : IDOK;
}

int PlatformPeekMessage(PlatformMessage*) {
    return 0;
}
void PlatformTranslateMessage(const PlatformMessage*) {}
intptr_t PlatformDispatchMessage(const PlatformMessage*) {
    return 0;
}
void PlatformPostQuitMessage(int) {}
intptr_t PlatformDefWindowProc(WindowHandle, uint32_t, uintptr_t, intptr_t) {
    return 0;
}
