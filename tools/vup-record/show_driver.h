// Runs the show in an offscreen GL context on a virtual clock. Each call is
// one drawing turn of the live frame loop: the clock reads a whole number of
// milliseconds, the delta is the difference from the previous reading, and
// RunTimeline draws the scene for that time and advances its values.
#pragma once

#include <cstdint>
#include <string>

// Makes the offscreen context (width x height RGBA, 16-bit depth) current,
// sets the viewport and projection as a window of that size would get them,
// and loads the scene resources with InitScene. The virtual clock starts at
// 0. 1 on success; 0 with a one-line reason (nothing is left open then).
int OpenShow(int width, int height, std::string* error);

void CloseShow();

// One drawing turn at show time showMs (not before the previous turn's).
// With draw false the turn is only simulated: the scenes run and advance
// their values and the light, but no pixel is touched, which makes skipping
// ahead cheap. Returns RunTimeline's result: 0 once the show is over.
int RunShowTurn(int64_t showMs, bool draw);

// Waits until the driver has finished drawing the frame (for timing it).
void FinishShowFrame();

// The frame as the screen would show it: rows top first, RGBA bytes.
void ReadShowFrame(uint8_t* rgbaTopFirst);

int ShowWidth();
int ShowHeight();
