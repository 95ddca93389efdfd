// The page around the canvas (index.html), as the show's code sees it: the
// marks a test or a script reads off the body element, and messages shown in
// the page itself. Implemented in web_page.js.
#pragma once

// The canvas element the show draws into.
constexpr const char* kWebCanvasId = "canvas";

extern "C" {

// The picture is complete: body data-ready="1", and data-draws the WebGL
// draw calls of the frame on show.
void WebPageMarkReady(int drawsInFrame);

// A message box's text as a line under the canvas and in the console.
void WebPageShowMessage(const char* caption, const char* text);

// Something stopped the page: the message goes into the page under the
// canvas, into body data-error and to the console.
void WebPageFail(const char* message);

}  // extern "C"
