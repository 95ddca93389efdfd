// The page's backend of platform/platform.h, on the Win32 emulation kit
// (platform/common/win32_kit.h), which holds the Win32 behaviours; this
// backend adds what is native to the page:
//   web_display.cpp   the one window (the canvas on the page), its device
//                     and GL context, fullscreen as the display mode, the
//                     cursor, and SwapBuffers, which presents the frame and
//                     waits for the next animation frame (web_display.js)
//   web_messages.cpp  the page's keys, visibility and fullscreen changes as
//                     window messages, and the millisecond clock
//   web_message_box.cpp  message boxes as dialogs over the canvas
//   music_webaudio.cpp   the four music calls over WebAudio (web_audio.js)
//   web_backend.cpp   its state (web_backend_state.h) and its reset
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
//
// Below, what the program's page entry calls besides platform/platform.h.
#pragma once

#include "platform/web/web_page.h"

// Starts listening to the page's keys, visibility and fullscreen changes;
// once per page.
void WebListenToPage();

// The show has looked at its keys on this drawing turn: releases held back
// until it did are posted (web_messages.cpp). SwapBuffers calls it.
void WebKeysLookedAt();

// What the page is doing; message boxes and the tune follow it.
void WebSetPagePhase(WebPagePhase phase);

// Shows or hides the canvas (with no window, the title picture).
void WebDisplayShowCanvas(bool visible);

// Back to a fresh page's state, as a new process starts: the tune stopped
// and its song forgotten, no window or context, fullscreen left, the cursor
// shown, the kit's classes, waiting messages and posted quit gone, the
// clock's start read again, the still page's phase.
void WebBackendReset();

extern "C" {

// Bytes of the heap in use, for the page's tests: playing again must not
// make it grow.
int WebHeapInUse();

}  // extern "C"
