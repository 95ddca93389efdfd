// The show's projection: the viewport and perspective the scenes are drawn
// with. The display sets it on every resize, and the show when it is loaded
// at a size, so drawing the show somewhere else (offscreen, in a test) links
// no window code.
#pragma once

// Viewport and projection for a client area; safe without a current context.
void ResizeViewport(int width, int height);
