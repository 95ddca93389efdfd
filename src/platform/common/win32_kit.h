// The Win32 emulation kit: the Win32 behaviours a backend without Win32
// emulates, written once for every such backend (SDL2, the web page). A
// backend built on it supplies only what is native to it: the window itself,
// the GL context, the events, the message box, the display mode and the
// cursor.
//
// The kit defines these entry points of platform/platform.h:
//   PlatformGetModuleHandle, PlatformUnregisterClass, PlatformAdjustWindowRect
//   (window sizes are client sizes), PlatformSetFocus, PlatformGetFocus,
//   PlatformGetDC, PlatformReleaseDC, PlatformTranslateMessage,
//   PlatformDispatchMessage, PlatformPostQuitMessage, PlatformDefWindowProc.
// The backend defines the rest, with the kit's parts below:
//   PlatformRegisterClass      WindowClassAdd (window_classes.h)
//   PlatformCreateWindow       WindowClassProcedure, then KitWindowAdd
//   PlatformDestroyWindow      KitWindowIsLive, then KitWindowRemove
//   PlatformChoosePixelFormat  KitPixelFormatUsable, and its own limits
//   PlatformSetPixelFormat     KitSetPixelFormat, and its own attributes
//   PlatformPeekMessage        KeyMessage for key events, MessageQueuePost,
//                              then MessageQueueTake (message_queue.h)
// Its state is one record (win32_kit_state.h).
#pragma once

#include "platform/common/key_messages.h"
#include "platform/common/message_queue.h"
#include "platform/common/window_classes.h"
#include "platform/platform.h"

struct PlatformDeviceContextObject {
    struct PlatformWindowObject* window;
    int pixelFormat;  // 0 until SetPixelFormat
};

struct PlatformWindowObject {
    WindowProcedure procedure;
    // The class keeps one device context per window for the window's life
    // (CS_OWNDC).
    PlatformDeviceContextObject dc;
    // The backend's own window (an SDL_Window, say).
    void* native;
    PlatformWindowObject* next;
};

// A live window around the backend's native one, receiving its messages
// through procedure; null when out of memory.
WindowHandle KitWindowAdd(WindowProcedure procedure, void* native);

// True for a window added and not yet removed.
bool KitWindowIsLive(WindowHandle window);

// Forgets a live window, the focus if it had it and the messages waiting for
// it, as destroying a window does; false for a window that is not live. The
// backend releases the native window.
bool KitWindowRemove(WindowHandle window);

// The newest live window (the others follow through `next`), or null.
WindowHandle KitWindows();

// Keeps GetFocus in step with the window system's focus.
void KitFocusFollows(WindowHandle window, bool gained);

// A request every backend can serve: a live window's device context, the
// request's size and version, a window and OpenGL, RGBA.
bool KitPixelFormatUsable(DeviceContextHandle dc, const PixelFormatRequest* request);

// As on Windows, a window's pixel format (the one format, 1) is set once: 1
// when it was set now, 0 otherwise.
int KitSetPixelFormat(DeviceContextHandle dc, int format);

// Back to a fresh process's state: no classes, windows, waiting messages,
// posted quit or focus. The backend destroys its native windows first.
void KitReset();
