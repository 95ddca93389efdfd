// The page around the canvas (index.html), as the show's code sees it: the
// marks a test or a script reads off the body element, and messages shown in
// the page itself. Implemented in web_page.js.
#pragma once

// The canvas element the show draws into.
constexpr const char* kWebCanvasId = "canvas";

// What the page is doing; message boxes and the tune follow it.
enum WebPagePhase {
    kWebPageStill,   // index.html?still=S: one still, silent, no controls
    kWebPagePoster,  // the title picture under the start control: silent
    kWebPageShow,    // the show itself, from a click to its end
};
inline WebPagePhase webPagePhase = kWebPageStill;

extern "C" {

// The picture is complete: body data-ready="1", and data-draws the WebGL
// draw calls of the frame on show.
void WebPageMarkReady(int drawsInFrame);

// A message box's text as a line under the canvas and in the console.
void WebPageShowMessage(const char* caption, const char* text);

// The live page: starts decoding the rendering of the tune at midiPath
// (web_audio.js) and wires the start control.
void WebPageLivePrepare(const char* midiPath);

// The title picture is drawn: the start control appears, and the page is
// marked ready once it is on the screen (the tune may still be decoding).
void WebPageLiveReady();

// Something stopped the page: the message goes into the page under the
// canvas, into body data-error and to the console.
void WebPageFail(const char* message);

}  // extern "C"
