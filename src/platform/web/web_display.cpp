// Window classes, the canvas as the one window, its device and GL context,
// fullscreen as the display mode, and presenting frames.

#include "platform/common/window_classes.h"
#include "platform/web/web_page.h"
#include "platform/web/web_platform.h"
#include "platform/webgl/gl11.h"
#include "platform/webgl/webgl_context.h"

// web_display.js. The two marked "waits" return only when the browser has
// answered; the show's loop stays where it is meanwhile (ASYNCIFY).
extern "C" {
void VupDisplayCanvas(int visible);
void VupDisplayTitle(const char* title);  // null: the page's own title
int VupDisplayRequestFullscreen();        // waits; 1 granted, 0 refused
void VupDisplayExitFullscreen();
void VupDisplayCursor(int show);
void VupDisplayPresented(int showMs, double readingMs, int draws, int primitives);
void VupDisplayWaitFrame();  // waits for the next animation frame
}

bool webFullscreenHeld = false;

static PlatformWindowObject canvasWindow;
static bool canvasWindowLive = false;
static PlatformRenderContextObject canvasContext;

WindowHandle WebLiveWindow() {
    return canvasWindowLive ? &canvasWindow : nullptr;
}

void WebDisplayShowCanvas(bool visible) {
    VupDisplayCanvas(visible ? 1 : 0);
}

void WebDisplayReset() {
    WindowClassesClear();
    if (canvasWindowLive) {
        PlatformDestroyWindow(&canvasWindow);
    }
    if (canvasContext.made) {
        PlatformDeleteContext(&canvasContext);
    }
    PlatformRestoreDisplayMode();
    VupDisplayCursor(1);
}

InstanceHandle PlatformGetModuleHandle() {
    static char moduleTag;
    return reinterpret_cast<InstanceHandle>(&moduleTag);
}

int PlatformRegisterClass(const WindowClassDesc* windowClass) {
    return WindowClassAdd(windowClass);
}

int PlatformUnregisterClass(const char* className, InstanceHandle instance) {
    return WindowClassRemove(className, instance);
}

// The page shows the 800 x 600 canvas scaled to the whole screen, as a
// switched display mode would fill it, so any size and depth is accepted;
// what can refuse is the browser.
int32_t PlatformChangeDisplayMode(int /*width*/, int /*height*/, int /*bitsPerPixel*/) {
    if (!VupDisplayRequestFullscreen()) {
        return DISP_CHANGE_FAILED;
    }
    webFullscreenHeld = true;
    return DISP_CHANGE_SUCCESSFUL;
}

void PlatformRestoreDisplayMode() {
    // Cleared first, so that the page's fullscreen change is not taken for
    // the browser's own Escape.
    if (webFullscreenHeld) {
        webFullscreenHeld = false;
        VupDisplayExitFullscreen();
    }
}

void PlatformShowCursor(int show) {
    VupDisplayCursor(show);
}

void PlatformAdjustWindowRect(WindowRect* /*rect*/, uint32_t /*style*/,
                              uint32_t /*extendedStyle*/) {
    // The canvas has no frame: its size is the client size.
}

WindowHandle PlatformCreateWindow(uint32_t /*extendedStyle*/, const char* className,
                                  const char* title, uint32_t /*style*/, int /*x*/, int /*y*/,
                                  int width, int height, InstanceHandle instance) {
    const WindowProcedure procedure = WindowClassProcedure(className, instance);
    if (procedure == nullptr || canvasWindowLive || width <= 0 || height <= 0) {
        return nullptr;
    }
    canvasWindow = PlatformWindowObject{procedure, {0}};
    canvasWindowLive = true;
    VupDisplayTitle(title);
    return &canvasWindow;
}

int PlatformDestroyWindow(WindowHandle window) {
    if (window != &canvasWindow || !canvasWindowLive) {
        return 0;
    }
    canvasWindowLive = false;
    VupDisplayCanvas(0);
    VupDisplayTitle(nullptr);
    return 1;
}

void PlatformShowWindow(WindowHandle window, int /*showCommand*/) {
    if (window == WebLiveWindow()) {
        VupDisplayCanvas(1);
    }
}

void PlatformSetForegroundWindow(WindowHandle /*window*/) {}

static WindowHandle focusWindow = nullptr;

void PlatformSetFocus(WindowHandle window) {
    focusWindow = window;
}

WindowHandle PlatformGetFocus() {
    return focusWindow == WebLiveWindow() ? focusWindow : nullptr;
}

DeviceContextHandle PlatformGetDC(WindowHandle window) {
    return window == WebLiveWindow() && window != nullptr ? &window->dc : nullptr;
}

int PlatformReleaseDC(WindowHandle window, DeviceContextHandle dc) {
    // The class's own device context lives as long as its window.
    return window != nullptr && dc == &window->dc;
}

int PlatformChoosePixelFormat(DeviceContextHandle dc, const PixelFormatRequest* request) {
    // The canvas's WebGL context: RGBA, double-buffered by the browser, with
    // at least 16 depth bits (webgl_context.h).
    const uint32_t needed = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    if (dc == nullptr || request->nSize != sizeof(PixelFormatRequest) || request->nVersion != 1 ||
        (request->dwFlags & needed) != needed || request->iPixelType != PFD_TYPE_RGBA ||
        request->cDepthBits > 24 || request->cStencilBits != 0) {
        return 0;
    }
    return 1;
}

int PlatformSetPixelFormat(DeviceContextHandle dc, int format, const PixelFormatRequest*) {
    // As on Windows, a window's pixel format is set once.
    if (dc == nullptr || format != 1 || dc->pixelFormat != 0) {
        return 0;
    }
    dc->pixelFormat = format;
    return 1;
}

RenderContextHandle PlatformCreateContext(DeviceContextHandle dc) {
    if (dc == nullptr || dc->pixelFormat == 0 || canvasContext.made ||
        !WebglOpenContext(kWebCanvasId)) {
        return nullptr;
    }
    canvasContext.made = true;
    return &canvasContext;
}

// The canvas's context is the only one, so making it current only checks.
int PlatformMakeCurrent(DeviceContextHandle dc, RenderContextHandle context) {
    if (context == nullptr) {
        return 1;
    }
    return dc != nullptr && dc->pixelFormat != 0 && context == &canvasContext && canvasContext.made;
}

int PlatformDeleteContext(RenderContextHandle context) {
    if (context != &canvasContext || !canvasContext.made) {
        return 0;
    }
    canvasContext.made = false;
    Gl11DropContext();
    return 1;
}

int PlatformSwapBuffers(DeviceContextHandle dc) {
    if (dc == nullptr || dc->pixelFormat == 0 || !canvasContext.made) {
        return 0;
    }
    Gl11FlushDraws();
    VupDisplayPresented(static_cast<int>(WebShowTimeOfLastReading()), WebLastReading(),
                        static_cast<int>(Gl11DrawsSinceColorClear()),
                        static_cast<int>(Gl11PrimitivesSinceColorClear()));
    VupDisplayWaitFrame();
    return 1;
}
