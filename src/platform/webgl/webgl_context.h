// The WebGL context the GL 1.1 layer draws into: one per page, on a canvas
// element. Browser only (emscripten); the drawing side is webgl_backend.js.
#pragma once

// Makes the context on the canvas with that element id and resets the layer
// to OpenGL's initial state for the canvas size (textures of an earlier
// context are dropped, as a new GL context would have none). 1 on success;
// 0 when the browser gives no WebGL.
int WebglOpenContext(const char* canvasId);
