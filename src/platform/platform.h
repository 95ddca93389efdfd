// The windowing system as the shell sees it: one narrow, Win32-shaped
// interface, one backend per platform (SDL2 on Linux, Win32 on Windows, and a
// scriptable fake in the tests). The shell calls these in a fixed order and
// every call reports success the way its Win32 counterpart does, so the same
// shell code runs on all of them.
#pragma once

#include <cstdint>

#include "platform/win32_defs.h"

// Opaque handles; each backend decides what they point at.
typedef struct PlatformInstanceObject* InstanceHandle;
typedef struct PlatformWindowObject* WindowHandle;
typedef struct PlatformDeviceContextObject* DeviceContextHandle;
typedef struct PlatformRenderContextObject* RenderContextHandle;

// The window procedure every window of a registered class receives its
// messages through.
typedef intptr_t (*WindowProcedure)(WindowHandle window, uint32_t message, uintptr_t wParam,
                                    intptr_t lParam);

struct WindowClassDesc {
    uint32_t style;
    WindowProcedure procedure;
    InstanceHandle instance;
    uint32_t iconId;    // a system icon id, e.g. IDI_WINLOGO_ID
    uint32_t cursorId;  // a system cursor id, e.g. IDC_ARROW_ID
    const char* className;
};

struct WindowRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// One queued message, laid out like the fields of a Win32 MSG that the frame
// loop uses.
struct PlatformMessage {
    WindowHandle window;
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
};

// Field for field a Win32 PIXELFORMATDESCRIPTOR (40 bytes).
struct PixelFormatRequest {
    uint16_t nSize = 0;
    uint16_t nVersion = 0;
    uint32_t dwFlags = 0;
    uint8_t iPixelType = 0;
    uint8_t cColorBits = 0;
    uint8_t cRedBits = 0;
    uint8_t cRedShift = 0;
    uint8_t cGreenBits = 0;
    uint8_t cGreenShift = 0;
    uint8_t cBlueBits = 0;
    uint8_t cBlueShift = 0;
    uint8_t cAlphaBits = 0;
    uint8_t cAlphaShift = 0;
    uint8_t cAccumBits = 0;
    uint8_t cAccumRedBits = 0;
    uint8_t cAccumGreenBits = 0;
    uint8_t cAccumBlueBits = 0;
    uint8_t cAccumAlphaBits = 0;
    uint8_t cDepthBits = 0;
    uint8_t cStencilBits = 0;
    uint8_t cAuxBuffers = 0;
    uint8_t iLayerType = 0;
    uint8_t bReserved = 0;
    uint32_t dwLayerMask = 0;
    uint32_t dwVisibleMask = 0;
    uint32_t dwDamageMask = 0;
};
static_assert(sizeof(PixelFormatRequest) == 40, "a pixel-format request is 40 bytes");

// Program instance (GetModuleHandleA with no name).
InstanceHandle PlatformGetModuleHandle();

// Window class: non-zero on success. Registering a name twice fails.
int PlatformRegisterClass(const WindowClassDesc* windowClass);
int PlatformUnregisterClass(const char* className, InstanceHandle instance);

// Temporary display-mode switch for fullscreen: DISP_CHANGE_SUCCESSFUL (0) or
// a non-zero refusal. Restoring goes back to the desktop mode.
int32_t PlatformChangeDisplayMode(int width, int height, int bitsPerPixel);
void PlatformRestoreDisplayMode();

void PlatformShowCursor(int show);

// Grows the client rectangle to the window rectangle for the given styles.
void PlatformAdjustWindowRect(WindowRect* rect, uint32_t style, uint32_t extendedStyle);

WindowHandle PlatformCreateWindow(uint32_t extendedStyle, const char* className, const char* title,
                                  uint32_t style, int x, int y, int width, int height,
                                  InstanceHandle instance);
int PlatformDestroyWindow(WindowHandle window);
void PlatformShowWindow(WindowHandle window, int showCommand);
void PlatformSetForegroundWindow(WindowHandle window);
void PlatformSetFocus(WindowHandle window);
WindowHandle PlatformGetFocus();

DeviceContextHandle PlatformGetDC(WindowHandle window);
int PlatformReleaseDC(WindowHandle window, DeviceContextHandle dc);

// Pixel format: ChoosePixelFormat returns a format number, 0 for none.
int PlatformChoosePixelFormat(DeviceContextHandle dc, const PixelFormatRequest* request);
int PlatformSetPixelFormat(DeviceContextHandle dc, int format, const PixelFormatRequest* request);

RenderContextHandle PlatformCreateContext(DeviceContextHandle dc);
// Null dc and context detach whatever context is current.
int PlatformMakeCurrent(DeviceContextHandle dc, RenderContextHandle context);
int PlatformDeleteContext(RenderContextHandle context);

int PlatformSwapBuffers(DeviceContextHandle dc);

// The window's title bar text (SetWindowTextA); non-zero on success.
int PlatformSetWindowTitle(WindowHandle window, const char* title);

// Modal message box; returns IDOK, IDYES or IDNO.
int PlatformMessageBox(WindowHandle owner, const char* text, const char* caption, uint32_t flags);

// Removes one message from the queue: non-zero when one was removed. A quit
// posted with PlatformPostQuitMessage comes out as WM_QUIT once nothing else
// is waiting.
int PlatformPeekMessage(PlatformMessage* message);
void PlatformTranslateMessage(const PlatformMessage* message);
intptr_t PlatformDispatchMessage(const PlatformMessage* message);
void PlatformPostQuitMessage(int exitCode);
intptr_t PlatformDefWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam,
                               intptr_t lParam);

// Millisecond counter: 32 bits, wraps about every 49.7 days.
uint32_t PlatformMilliseconds();
