// The backend's state record, its one reset and the heap figure the page's
// tests read after it.
#include "platform/web/web_backend.h"

#include <emscripten/emscripten.h>
#include <malloc.h>

#include "platform/web/web_backend_state.h"

WebBackend webBackend;

void WebSetPagePhase(WebPagePhase phase) {
    webBackend.phase = phase;
}

void WebBackendReset() {
    WebMusicStop();
    // One canvas: one window at most.
    while (WindowHandle window = KitWindows()) {
        PlatformDestroyWindow(window);
    }
    if (webBackend.context.made) {
        PlatformDeleteContext(&webBackend.context);
    }
    PlatformRestoreDisplayMode();
    PlatformShowCursor(1);
    KitReset();
    webBackend = WebBackend{};
}

extern "C" EMSCRIPTEN_KEEPALIVE int WebHeapInUse() {
    return static_cast<int>(mallinfo().uordblks);
}
