// Conversions between the platform interface's records and handles and the
// Win32 ones. They hold everything in the backend that is more than a
// one-to-one call, so they are kept apart where they can be tested.
#pragma once

#include <cstddef>

#include "platform/platform.h"

// The display-mode record the show asks for is the 148-byte DEVMODEA of the
// Windows 95/NT 4 headers: everything up to the panning fields that later
// headers append. Windows reads dmSize to tell which layout it was given, so
// the record says 148 and the trailing fields stay zero.
constexpr WORD kDisplayModeRecordSize = offsetof(DEVMODEA, dmPanningWidth);
static_assert(kDisplayModeRecordSize == 148, "the display-mode record is 148 bytes");
static_assert(sizeof(DEVMODEA) >= kDisplayModeRecordSize, "DEVMODEA holds the 148-byte record");
static_assert(sizeof(PIXELFORMATDESCRIPTOR) == sizeof(PixelFormatRequest),
              "a pixel-format request maps onto PIXELFORMATDESCRIPTOR");

// A temporary mode switch to width x height at bitsPerPixel: every byte zero
// but the size, the three values and the flags naming them.
void FillDisplayModeRequest(DEVMODEA* mode, int width, int height, int bitsPerPixel);

// Field by field, so the request never depends on the two records sharing a
// layout.
void CopyPixelFormatRequest(const PixelFormatRequest* request, PIXELFORMATDESCRIPTOR* descriptor);

// The four fields the shell uses out of a queued message.
void ToPlatformMessage(const MSG* source, PlatformMessage* target);
// Back to a full MSG. When the message is the one last removed from the queue,
// its time and cursor position come along too (WM_TIMER dispatch reads the
// time); otherwise they are zero.
void ToWin32Message(const PlatformMessage* source, const MSG* lastRemoved, MSG* target);

inline HWND ToHwnd(WindowHandle window) {
    return reinterpret_cast<HWND>(window);
}
inline WindowHandle FromHwnd(HWND window) {
    return reinterpret_cast<WindowHandle>(window);
}
inline HDC ToHdc(DeviceContextHandle dc) {
    return reinterpret_cast<HDC>(dc);
}
inline DeviceContextHandle FromHdc(HDC dc) {
    return reinterpret_cast<DeviceContextHandle>(dc);
}
inline HGLRC ToHglrc(RenderContextHandle context) {
    return reinterpret_cast<HGLRC>(context);
}
inline RenderContextHandle FromHglrc(HGLRC context) {
    return reinterpret_cast<RenderContextHandle>(context);
}
inline HINSTANCE ToHinstance(InstanceHandle instance) {
    return reinterpret_cast<HINSTANCE>(instance);
}
inline InstanceHandle FromHinstance(HINSTANCE instance) {
    return reinterpret_cast<InstanceHandle>(instance);
}
