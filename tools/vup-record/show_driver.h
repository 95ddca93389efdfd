// The show in an offscreen GL context: the recorder's window. The show is
// loaded and stepped through show/show.h; this adds the context and reads the
// frames back.
#pragma once

#include <cstdint>
#include <string>

// Makes the offscreen context (width x height RGBA, 16-bit depth) current and
// loads the show at that size, as a window of that size would get it. 1 on
// success; 0 with a one-line reason (nothing is left open then).
int OpenShow(int width, int height, std::string* error);

void CloseShow();

// Waits until the driver has finished drawing the frame (for timing it).
void FinishShowFrame();

// The frame as the screen would show it: rows top first, RGBA bytes.
void ReadShowFrame(uint8_t* rgbaTopFirst);
