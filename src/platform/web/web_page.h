// The page around the canvas (index.html), as the show's code sees it: the
// marks a test or a script reads off the body element, and messages shown in
// the page itself. Implemented in web_page.js, but for WebShowPlay, which
// the program's page entry defines for the page's start control.
#pragma once

// The canvas element the show draws into.
constexpr const char* kWebCanvasId = "canvas";

// What the program is doing in the page (WebSetPagePhase, web_backend.h);
// message boxes and the tune follow it. The page's own mark, body
// data-state (web_page.js), says what the viewer sees and is finer: the
// poster phase is "loading", "ready", "ended" or "failed" there, and the
// page leaves "playing" only once the title picture is back and the
// play-again control shown, after the show phase has ended.
enum WebPagePhase {
    kWebPageStill,   // index.html?still=S: one still, silent, no controls
    kWebPagePoster,  // the title picture under the start control: silent
    kWebPageShow,    // the show itself, from a click to its end
};

extern "C" {

// The picture is complete: body data-ready="1", and data-draws the WebGL
// draw calls of the frame on show.
void WebPageMarkReady(int drawsInFrame);

// A message box's text as a line under the canvas and in the console.
void WebPageShowMessage(const char* caption, const char* text);

// The live page: starts decoding the rendering of the tune at midiPath
// (web_audio_renderings.js) and wires the start control and the position
// bar, for a show of showLengthMs.
void WebPageLivePrepare(const char* midiPath, double showLengthMs);

// The title picture is drawn: the start control appears, and the page is
// marked ready once it is on the screen (the tune may still be decoding).
void WebPageLiveReady();

// A quiet line under the keys (the page's role="status" note).
void WebPageNote(const char* text);

// Something stopped the page: the message goes into the page under the
// canvas, into body data-error and to the console.
void WebPageFail(const char* message);

// Runs one show from its start, as a freshly started program would: the
// first display fullscreen (1) or in the page (0). Returns DemoMain's exit
// status once the show has ended, been ended or failed to open, with the
// tune stopped, fullscreen left and the title picture back on the canvas.
// Called by the start control; waits for the browser throughout.
int WebShowPlay(int fullscreen);

}  // extern "C"
