// index.html?still=S: the frame at S seconds of show time (0 to 85), drawn as
// `vup-record --frame S` draws it, with no sound. The page is marked ready
// once the frame is on the canvas.
#pragma once

// 0 when the still is on show; 1 after a message in the page.
int WebStillRun(const char* secondsText);
