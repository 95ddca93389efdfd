// Putting the process back: what a fresh process starts with, for drivers
// that run the show again in one process (the page's Play again) and for the
// tests. Every process-wide value of the program is put back by the one
// subsystem that owns it; this calls each of them.
//
// The platform layer's backend keeps its own state and its own reset (the
// page's WebBackendReset, the tests' doubles); callers put it back beside
// this.
#pragma once

// The show's values, light, textures and song; the picture reader's
// settings; the frame loop's keys and modes; the display's handles and pixel
// format; the frame counting.
void ResetProcessState();
