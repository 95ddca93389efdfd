// What the GL 1.1 layer asks of the drawing side: clear, draw triangles that
// are already transformed, lit and clipped-to-be, and keep textures. In the
// browser these are WebGL calls (webgl_backend.js); a test links its own.
//
// Everything arrives as plain data with C linkage, so a JavaScript library
// can provide the functions directly.
#pragma once

#include <cstdint>

// One vertex ready for rasterisation: clip coordinates (the hardware does the
// clipping, perspective divide and perspective-correct interpolation), the
// final colour (lit or current, clamped) and the texture coordinate.
struct Gl11Vertex {
    float clip[4];
    float color[4];
    float texCoord[2];
};
static_assert(sizeof(Gl11Vertex) == 40, "vertices are ten packed floats");

// The fixed-function state a draw or clear happens under. Only these
// fields reach the rasteriser; lighting and transforms are done by then.
struct Gl11RasterState {
    int32_t viewport[4];    // x, y, width, height
    int32_t scissorBox[4];  // x, y, width, height
    int32_t scissorTest;    // 0 or 1
    int32_t depthTest;      // 0 or 1
    uint32_t depthFunc;     // GL_NEVER ... GL_ALWAYS
    int32_t textured;       // 1: modulate by the texture below; 0: colour alone
    uint32_t texture;       // a texture name (0 is GL's default texture)
};

extern "C" {

// Clears the buffers in mask (GL_COLOR_BUFFER_BIT, GL_DEPTH_BUFFER_BIT)
// inside the scissor box when the scissor test is on.
void Gl11BackendClear(const Gl11RasterState* state, uint32_t mask, const float* rgba, double depth);

// Independent triangles: count is a multiple of 3.
void Gl11BackendDrawTriangles(const Gl11RasterState* state, const Gl11Vertex* vertices,
                              int32_t count);

// The level-0 image of a texture; format GL_RGB or GL_RGBA, unsigned bytes,
// rows alignment-padded as the unpack alignment says. pixels may be null
// (contents undefined, as in GL).
void Gl11BackendTexImage(uint32_t texture, int32_t width, int32_t height, uint32_t format,
                         int32_t unpackAlignment, const void* pixels, int32_t byteCount);

// GL_TEXTURE_MIN_FILTER, GL_TEXTURE_MAG_FILTER, GL_TEXTURE_WRAP_S or _T.
void Gl11BackendTexParameter(uint32_t texture, uint32_t name, int32_t value);

// Drops every texture (the context they lived in has gone).
void Gl11BackendDeleteTextures();

// A pending error from the drawing side (such as GL_OUT_OF_MEMORY), or 0.
uint32_t Gl11BackendError();

}  // extern "C"
