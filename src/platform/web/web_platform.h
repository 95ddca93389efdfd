// The page's backend of platform/platform.h, for the live show (web_live.h):
//   web_display.cpp   window classes, the one window (the canvas on the
//                     page), its device and GL context, fullscreen as the
//                     display mode, the cursor, and SwapBuffers, which
//                     presents the frame and waits for the next animation
//                     frame (web_display.js)
//   web_messages.cpp  the page's keys, visibility and fullscreen changes as
//                     window messages, the queue, and the millisecond clock
//   web_message_box.cpp  message boxes as dialogs over the canvas
//   music_webaudio.cpp   the four music calls over WebAudio (web_audio.js)
//
// Limits against the desktop backends: one window and one GL context at a
// time (a page has one canvas); the canvas keeps its 800 x 600 drawing
// buffer and the page scales it, so no WM_SIZE is ever sent; fullscreen is
// the browser's Fullscreen API, which a browser grants only shortly after a
// click or a key press, and leaving it by the browser's own means (its
// Escape) reaches the show as an Escape key press. The window's close box is
// the browser's tab: the show gets no WM_CLOSE.
//
// Needs emscripten with ASYNCIFY: SwapBuffers, the fullscreen request and
// message boxes wait for the browser without leaving the frame loop.
#pragma once

#include "platform/platform.h"

struct PlatformDeviceContextObject {
    int pixelFormat;  // 0 until SetPixelFormat
};

struct PlatformWindowObject {
    WindowProcedure procedure;
    // The class keeps one device context per window for the window's life.
    PlatformDeviceContextObject dc;
};

struct PlatformRenderContextObject {
    bool made;
};

// The live window, or null: the page's events go to it.
WindowHandle WebLiveWindow();

// Appends a message for the next peeks.
void WebQueueMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// True while a message box waits for its answer: keys go to the box.
extern bool webMessageBoxOpen;

// True while the page is fullscreen because the show asked for it.
extern bool webFullscreenHeld;

// Starts listening to the page's keys, visibility and fullscreen changes;
// once per page.
void WebListenToPage();

// Shows or hides the canvas (with no window, the title picture).
void WebDisplayShowCanvas(bool visible);

// Back to a fresh page's state, as a new process starts: no classes,
// windows, contexts, queued messages or posted quit, fullscreen left.
void WebDisplayReset();
void WebMessagesReset();

// The show time of the frame last presented: the clock's reading on the
// drawing turn that made it, less the first reading after WebMessagesReset
// (the one DemoMain starts the show with).
uint32_t WebShowTimeOfLastReading();
// That reading itself, in performance.now() milliseconds.
uint32_t WebLastReading();

