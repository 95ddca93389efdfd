#include "fakes/fake_platform.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

static FakePlatformState state;

FakePlatformState& FakePlatform() {
    return state;
}

void FakePlatformReset() {
    // Assigning a fresh state would leave bytes of old strings behind in
    // their inline buffers; the process started from zeroed memory.
    std::destroy_at(&state);
    std::memset(static_cast<void*>(&state), 0, sizeof state);
    std::construct_at(&state);
}

// Records the call and tells whether the script wants it to fail.
static bool Call(const char* name) {
    state.calls.emplace_back(name);
    auto it = std::find(state.failures.begin(), state.failures.end(), name);
    if (it == state.failures.end()) {
        return true;
    }
    state.failures.erase(it);
    return false;
}

template <typename Handle>
static Handle NewHandle() {
    state.lastHandle += 0x10;
    return reinterpret_cast<Handle>(state.lastHandle);
}

void FakePostMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    state.queue.push_back(PlatformMessage{nullptr, message, wParam, lParam});
}

int FakeCallCount(const std::string& name) {
    return static_cast<int>(std::count(state.calls.begin(), state.calls.end(), name));
}

int FakeCallIndex(const std::string& name, int from) {
    for (size_t i = static_cast<size_t>(from); i < state.calls.size(); ++i) {
        if (state.calls[i] == name) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

InstanceHandle PlatformGetModuleHandle() {
    Call("GetModuleHandle");
    return reinterpret_cast<InstanceHandle>(0x400000);
}

int PlatformRegisterClass(const WindowClassDesc* windowClass) {
    if (!Call("RegisterClass") || state.classRegistered) {
        return 0;
    }
    state.classRegistered = true;
    state.procedure = windowClass->procedure;
    return 1;
}

int PlatformUnregisterClass(const char*, InstanceHandle) {
    if (!Call("UnregisterClass") || !state.classRegistered) {
        return 0;
    }
    state.classRegistered = false;
    return 1;
}

int32_t PlatformChangeDisplayMode(int, int, int) {
    if (!Call("ChangeDisplayMode")) {
        return DISP_CHANGE_FAILED;
    }
    state.displayModeChanged = true;
    return DISP_CHANGE_SUCCESSFUL;
}

void PlatformRestoreDisplayMode() {
    Call("RestoreDisplayMode");
    state.displayModeChanged = false;
}

void PlatformShowCursor(int show) {
    Call(show ? "ShowCursor" : "HideCursor");
    state.cursorHidden += show ? -1 : 1;
}

void PlatformAdjustWindowRect(WindowRect* rect, uint32_t style, uint32_t) {
    Call("AdjustWindowRect");
    // A notional frame and caption, so windowed sizes differ from client sizes.
    if (style & WS_OVERLAPPEDWINDOW) {
        rect->left -= 4;
        rect->right += 4;
        rect->top -= 24;
        rect->bottom += 4;
    }
}

WindowHandle PlatformCreateWindow(uint32_t extendedStyle, const char*, const char* title,
                                  uint32_t style, int, int, int width, int height, InstanceHandle) {
    if (!Call("CreateWindow")) {
        return nullptr;
    }
    state.windowsAlive++;
    state.lastTitle = title;
    state.lastStyle = style;
    state.lastExtendedStyle = extendedStyle;
    state.lastWidth = width;
    state.lastHeight = height;
    return NewHandle<WindowHandle>();
}

int PlatformDestroyWindow(WindowHandle) {
    if (!Call("DestroyWindow")) {
        return 0;
    }
    state.windowsAlive--;
    return 1;
}

void PlatformShowWindow(WindowHandle, int) {
    Call("ShowWindow");
}

void PlatformSetForegroundWindow(WindowHandle) {
    Call("SetForegroundWindow");
}

void PlatformSetFocus(WindowHandle window) {
    Call("SetFocus");
    state.focus = window;
}

WindowHandle PlatformGetFocus() {
    Call("GetFocus");
    return state.focus;
}

DeviceContextHandle PlatformGetDC(WindowHandle) {
    if (!Call("GetDC")) {
        return nullptr;
    }
    state.dcsAlive++;
    return NewHandle<DeviceContextHandle>();
}

int PlatformReleaseDC(WindowHandle, DeviceContextHandle) {
    if (!Call("ReleaseDC")) {
        return 0;
    }
    state.dcsAlive--;
    return 1;
}

int PlatformChoosePixelFormat(DeviceContextHandle, const PixelFormatRequest* request) {
    state.lastPixelFormat = *request;
    return Call("ChoosePixelFormat") ? 1 : 0;
}

int PlatformSetPixelFormat(DeviceContextHandle, int, const PixelFormatRequest*) {
    return Call("SetPixelFormat") ? 1 : 0;
}

RenderContextHandle PlatformCreateContext(DeviceContextHandle) {
    if (!Call("CreateContext")) {
        return nullptr;
    }
    state.contextsAlive++;
    return NewHandle<RenderContextHandle>();
}

int PlatformMakeCurrent(DeviceContextHandle, RenderContextHandle context) {
    if (!Call(context ? "MakeCurrent" : "DetachContext")) {
        return 0;
    }
    state.current = context;
    return 1;
}

int PlatformDeleteContext(RenderContextHandle) {
    if (!Call("DeleteContext")) {
        return 0;
    }
    state.contextsAlive--;
    return 1;
}

int PlatformSwapBuffers(DeviceContextHandle) {
    Call("SwapBuffers");
    state.swaps++;
    return 1;
}

int PlatformSetWindowTitle(WindowHandle, const char* title) {
    if (!Call("SetWindowTitle")) {
        return 0;
    }
    state.lastTitle = title;
    return 1;
}

int PlatformMessageBox(WindowHandle owner, const char* text, const char* caption, uint32_t flags) {
    state.boxes.push_back(FakeMessageBox{text, caption, flags, owner, state.calls.size()});
    Call("MessageBox");
    int answer = (flags & MB_YESNO) ? IDYES : IDOK;
    if (!state.answers.empty()) {
        answer = state.answers.front();
        state.answers.erase(state.answers.begin());
    }
    return answer;
}

int PlatformPeekMessage(PlatformMessage* message) {
    Call("PeekMessage");
    if (!state.queue.empty()) {
        *message = state.queue.front();
        state.queue.erase(state.queue.begin());
        return 1;
    }
    if (state.quitPosted) {
        state.quitPosted = 0;
        *message = PlatformMessage{nullptr, WM_QUIT, static_cast<uintptr_t>(state.quitCode), 0};
        return 1;
    }
    return 0;
}

void PlatformTranslateMessage(const PlatformMessage*) {
    Call("TranslateMessage");
}

intptr_t PlatformDispatchMessage(const PlatformMessage* message) {
    Call("DispatchMessage");
    if (state.procedure == nullptr) {
        return 0;
    }
    return state.procedure(message->window, message->message, message->wParam, message->lParam);
}

void PlatformPostQuitMessage(int exitCode) {
    Call("PostQuitMessage");
    state.quitPosted = 1;
    state.quitCode = exitCode;
}

intptr_t PlatformDefWindowProc(WindowHandle, uint32_t, uintptr_t, intptr_t) {
    Call("DefWindowProc");
    return 0;
}

uint32_t PlatformMilliseconds() {
    if (state.onClockRead) {
        state.onClockRead(state.clockReads);
    }
    state.clockReads++;
    const uint32_t reading = state.clock;
    state.clock += state.clockStep;
    return reading;
}
