// gl11: OpenGL 1.1 and GLU fixed function for a drawing side that only draws
// triangles (WebGL in the browser).
//
// Linked in place of libGL and libGLU, it defines the GL and GLU entry points
// the show calls, with their OpenGL 1.1 meanings:
//   state     glEnable glDisable glClear glClearColor glClearDepth glDepthFunc
//             glShadeModel glHint glViewport glScissor glPixelStorei glGetError
//             glFlush glFinish glLightfv
//   matrices  glMatrixMode glLoadIdentity glPushMatrix glPopMatrix glTranslatef
//             glRotatef gluPerspective gluLookAt
//   vertices  glBegin glEnd glVertex3f glNormal3f glTexCoord2f glColor3f
//   textures  glGenTextures glBindTexture glTexImage2D glTexParameteri
//
// How: every vertex is transformed and lit on the CPU as it arrives (clip
// coordinates, the lighting equation of gl11_lighting.h, the current colour
// with lighting off), so the drawing side needs no more than a pass-through
// shader with a texture modulate. Triangles gather in one buffer and go to
// the drawing side in one call per run of primitives that share their
// raster state (texture, depth test, viewport, scissor): a frame of the show
// takes one draw per texture change, not one per glEnd.
//
// Limits:
// - Primitives: GL_TRIANGLES and GL_QUADS (split 0-1-2, 0-2-3); other modes
//   are refused with GL_INVALID_ENUM. Smooth or flat shading.
// - Lighting: see gl11_lighting.h (default material, no spot, no
//   attenuation, no specular). GL_NORMALIZE, culling, blending, fog, alpha
//   test and stencil are not available: enabling them is GL_INVALID_ENUM.
// - Textures: 2D, level 0 only, no border; internal formats 3 / GL_RGB and
//   4 / GL_RGBA from GL_RGB or GL_RGBA unsigned bytes; GL_MODULATE; a texture
//   with no image, or a mipmap minifying filter (there are no mipmaps), draws
//   as if texturing were off, as OpenGL 1.1 has it. Sizes need not be powers
//   of two: such textures are clamped to their edges instead of repeated
//   (WebGL cannot repeat them), and GL_CLAMP also clamps to the edge.
// - No display lists, vertex arrays, selection, feedback or pixel reads.
// - An empty scissor box (scissor test on) discards every vertex and clear
//   without work: a driver may run frames without drawing them.
//
// Depends on: an implementation of gl11_backend.h, <GL/gl.h> for the names
// and values, and the C++ standard library.
#pragma once

#include <cstdint>

// A fresh context for a drawable of width x height: every state at OpenGL's
// initial value (viewport and scissor box the whole drawable) and no
// textures, the drawing side's ones deleted. Call it whenever a context is
// made; before the first call no drawing reaches the drawing side.
void Gl11ResetContext(int width, int height);

// The context has gone (a display close): the drawing side's textures are
// deleted, gathered triangles dropped, and nothing reaches the drawing side
// until the next Gl11ResetContext.
void Gl11DropContext();

// Hands the gathered triangles to the drawing side. Call before a frame is
// presented; glFlush and glFinish do the same.
void Gl11FlushDraws();

// Draw calls made on the drawing side since the colour buffer was last
// cleared (or the context reset): what the frame on show took.
int64_t Gl11DrawsSinceColorClear();

// glBegin / glEnd pairs drawn since the colour buffer was last cleared: with
// the draws above, how well a frame batched.
int64_t Gl11PrimitivesSinceColorClear();
