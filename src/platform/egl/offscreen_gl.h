// An offscreen OpenGL context for rendering without a display: a desktop
// OpenGL compatibility context (fixed function available) on Mesa through
// EGL, drawing into an RGBA8 colour buffer with a depth buffer. One context
// per process; it is made current on the calling thread.
#pragma once

#include <cstdint>

// Creates the context and its width x height framebuffer and makes it
// current. 1 on success; 0 when no EGL display, config or context could be
// had (nothing is left behind then).
int OffscreenGlCreate(int width, int height);

// Finishes all drawing and copies the whole framebuffer into rgba: width x
// height x 4 bytes, red, green, blue, alpha, bottom row first (as glReadPixels
// delivers it). Does nothing when no context exists.
void OffscreenGlReadPixels(uint8_t* rgba);

int OffscreenGlWidth();
int OffscreenGlHeight();

// Releases the context and its surfaces; safe to call when none exists.
void OffscreenGlDestroy();
