// The viewport and projection the scenes draw into. Apart from the display so
// that drawing the show somewhere else (offscreen, in a test) links no window
// code.
#pragma once

// Viewport and projection for a client area; safe without a current context.
void ResizeViewport(int width, int height);
