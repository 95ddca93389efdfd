// The GL 1.1 layer's state, shared by the files that implement its entry
// points. One context per process, like the show's one display.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "platform/gl.h"
#include "platform/webgl/gl11.h"
#include "platform/webgl/gl11_backend.h"
#include "platform/webgl/gl11_lighting.h"
#include "platform/webgl/gl11_matrix.h"

constexpr int kGl11StackDepth = 32;

struct Gl11MatrixStack {
    Gl11Matrix entries[kGl11StackDepth];
    int top;  // index of the current matrix
};

struct Gl11TextureRecord {
    bool hasImage;
    bool mipmapFilter;  // a minifying filter that needs mipmaps
};

struct Gl11Context {
    bool ready;  // Gl11ResetContext has run

    Gl11MatrixStack modelview;
    Gl11MatrixStack projection;
    GLenum matrixMode;
    bool derivedStale;  // the two below need recomputing
    Gl11Matrix modelviewProjection;
    float normalMatrix[9];

    // Current vertex attributes.
    float normal[3];
    float texCoord[2];
    float color[4];

    bool lighting;
    bool texture2D;
    bool smoothShading;
    Gl11Light lights[kGl11MaxLights];

    Gl11RasterState raster;  // its texture is worked out at each glBegin
    float clearColor[4];
    double clearDepth;
    int32_t unpackAlignment;
    int32_t packAlignment;

    GLuint boundTexture;
    std::map<GLuint, Gl11TextureRecord> textures;
    GLuint nextTextureName;

    GLenum error;

    bool insidePrimitive;
    GLenum primitive;
    bool discardPrimitive;  // empty scissor box: drop the vertices unseen
    Gl11Vertex primitiveVertices[4];
    int primitiveCount;

    std::vector<Gl11Vertex> batch;
    Gl11RasterState batchState;
    int64_t drawsSinceColorClear;
    int64_t primitivesSinceColorClear;
};

extern Gl11Context gl11;

// Keeps the first error until glGetError reads it, as GL does.
void Gl11RecordError(GLenum error);

// True between glBegin and glEnd, where only vertex calls are allowed: the
// caller then ignores the call, and GL_INVALID_OPERATION is recorded.
bool Gl11InsidePrimitive();

// True while the scissor test is on with a box of no area.
bool Gl11ScissorEmpty();

// Whether a primitive begun now would be textured (with the bound texture).
bool Gl11TexturingActive();
