// Device context, pixel format and the WGL rendering context.
#include "platform/platform.h"
#include "platform/win32/win32_records.h"

DeviceContextHandle PlatformGetDC(WindowHandle window) {
    return FromHdc(GetDC(ToHwnd(window)));
}

int PlatformReleaseDC(WindowHandle window, DeviceContextHandle dc) {
    return ReleaseDC(ToHwnd(window), ToHdc(dc)) == 1 ? 1 : 0;
}

int PlatformChoosePixelFormat(DeviceContextHandle dc, const PixelFormatRequest* request) {
    PIXELFORMATDESCRIPTOR descriptor;
    CopyPixelFormatRequest(request, &descriptor);
    return ChoosePixelFormat(ToHdc(dc), &descriptor);
}

int PlatformSetPixelFormat(DeviceContextHandle dc, int format, const PixelFormatRequest* request) {
    PIXELFORMATDESCRIPTOR descriptor;
    CopyPixelFormatRequest(request, &descriptor);
    return SetPixelFormat(ToHdc(dc), format, &descriptor) ? 1 : 0;
}

RenderContextHandle PlatformCreateContext(DeviceContextHandle dc) {
    return FromHglrc(wglCreateContext(ToHdc(dc)));
}

int PlatformMakeCurrent(DeviceContextHandle dc, RenderContextHandle context) {
    return wglMakeCurrent(ToHdc(dc), ToHglrc(context)) ? 1 : 0;
}

int PlatformDeleteContext(RenderContextHandle context) {
    return wglDeleteContext(ToHglrc(context)) ? 1 : 0;
}

int PlatformSwapBuffers(DeviceContextHandle dc) {
    return SwapBuffers(ToHdc(dc)) ? 1 : 0;
}
