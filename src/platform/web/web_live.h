// The live page (index.html without ?still): the title picture under a start
// control, the show itself from a click (DemoMain, as on the desktop), and
// the page again once the show has ended, ready to play it again.
#pragma once

// From main: starts listening to the page, has the tune decoded, draws the
// title picture and shows the start control with it.
void WebLiveStart();

// Stops the tune and forgets the loaded song (music_webaudio.cpp).
void WebMusicStop();

extern "C" {

// Runs one show from its start, as a freshly started program would: the
// first display fullscreen (1) or in the page (0). Returns DemoMain's exit
// status once the show has ended, been ended or failed to open, with the
// tune stopped, fullscreen left and the title picture back on the canvas.
// Called by the page's start control; waits for the browser throughout.
int WebShowPlay(int fullscreen);

// Bytes of the heap in use, for the page's tests: playing again must not
// make it grow.
int WebHeapInUse();

}  // extern "C"
