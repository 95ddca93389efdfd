// The canvas as the one window, its GL context, fullscreen as the display
// mode, the cursor, and presenting frames.
#include "platform/web/web_backend.h"
#include "platform/web/web_backend_state.h"
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

void WebDisplayShowCanvas(bool visible) {
    VupDisplayCanvas(visible ? 1 : 0);
}

int PlatformRegisterClass(const WindowClassDesc* windowClass) {
    return WindowClassAdd(windowClass);
}

// The page shows the 800 x 600 canvas scaled to the whole screen, as a
// switched display mode would fill it, so any size and depth is accepted;
// what can refuse is the browser.
int32_t PlatformChangeDisplayMode(int /*width*/, int /*height*/, int /*bitsPerPixel*/) {
    if (!VupDisplayRequestFullscreen()) {
        return DISP_CHANGE_FAILED;
    }
    webBackend.fullscreenHeld = true;
    return DISP_CHANGE_SUCCESSFUL;
}

void PlatformRestoreDisplayMode() {
    // Cleared first, so that the page's fullscreen change is not taken for
    // the browser's own Escape.
    if (webBackend.fullscreenHeld) {
        webBackend.fullscreenHeld = false;
        VupDisplayExitFullscreen();
    }
}

void PlatformShowCursor(int show) {
    VupDisplayCursor(show);
}

// The canvas stands for the window, named by its element id.
WindowHandle PlatformCreateWindow(uint32_t /*extendedStyle*/, const char* className,
                                  const char* title, uint32_t /*style*/, int /*x*/, int /*y*/,
                                  int width, int height, InstanceHandle instance) {
    const WindowProcedure procedure = WindowClassProcedure(className, instance);
    if (procedure == nullptr || KitWindows() != nullptr || width <= 0 || height <= 0) {
        return nullptr;
    }
    WindowHandle window = KitWindowAdd(procedure, const_cast<char*>(kWebCanvasId));
    if (window != nullptr) {
        VupDisplayTitle(title);
    }
    return window;
}

int PlatformDestroyWindow(WindowHandle window) {
    if (!KitWindowIsLive(window)) {
        return 0;
    }
    VupDisplayCanvas(0);
    VupDisplayTitle(nullptr);
    return KitWindowRemove(window) ? 1 : 0;
}

// The window's title is the document's, shown above the canvas too.
int PlatformSetWindowTitle(WindowHandle window, const char* title) {
    if (!KitWindowIsLive(window) || title == nullptr) {
        return 0;
    }
    VupDisplayTitle(title);
    return 1;
}

void PlatformShowWindow(WindowHandle window, int /*showCommand*/) {
    if (KitWindowIsLive(window)) {
        VupDisplayCanvas(1);
    }
}

void PlatformSetForegroundWindow(WindowHandle /*window*/) {}

int PlatformChoosePixelFormat(DeviceContextHandle dc, const PixelFormatRequest* request) {
    // The canvas's WebGL context: RGBA, double-buffered by the browser, with
    // at least 16 depth bits (webgl_context.h).
    if (!KitPixelFormatUsable(dc, request)) {
        return 0;
    }
    return request->cDepthBits <= 24 && request->cStencilBits == 0 ? 1 : 0;
}

int PlatformSetPixelFormat(DeviceContextHandle dc, int format, const PixelFormatRequest*) {
    return KitSetPixelFormat(dc, format);
}

RenderContextHandle PlatformCreateContext(DeviceContextHandle dc) {
    if (dc == nullptr || dc->pixelFormat == 0 || webBackend.context.made ||
        !WebglOpenContext(kWebCanvasId)) {
        return nullptr;
    }
    webBackend.context.made = true;
    return &webBackend.context;
}

// The canvas's context is the only one, so making it current only checks.
int PlatformMakeCurrent(DeviceContextHandle dc, RenderContextHandle context) {
    if (context == nullptr) {
        return 1;
    }
    return dc != nullptr && dc->pixelFormat != 0 && context == &webBackend.context &&
           webBackend.context.made;
}

int PlatformDeleteContext(RenderContextHandle context) {
    if (context != &webBackend.context || !webBackend.context.made) {
        return 0;
    }
    webBackend.context.made = false;
    Gl11DropContext();
    return 1;
}

int PlatformSwapBuffers(DeviceContextHandle dc) {
    if (dc == nullptr || dc->pixelFormat == 0 || !webBackend.context.made) {
        return 0;
    }
    Gl11FlushDraws();
    WebKeysLookedAt();
    // The show time of the frame: the clock's reading on the drawing turn
    // that made it, less the show's time 0 as the tune was last told it
    // (platform/music.h), or where the clock stands while paused.
    const int showMs = webBackend.showPaused
                           ? webBackend.pausedShowMs
                           : static_cast<int>(webBackend.lastReading - webBackend.showStartReading);
    VupDisplayPresented(showMs, webBackend.lastReading,
                        static_cast<int>(Gl11DrawsSinceColorClear()),
                        static_cast<int>(Gl11PrimitivesSinceColorClear()));
    VupDisplayWaitFrame();
    return 1;
}
