// glBegin / glEnd: each vertex is transformed and lit as it arrives, with
// the current normal, texture coordinate and colour, and each completed
// triangle or quad goes into the batch.
#include <cstddef>

#include "platform/webgl/gl11_context.h"

static void RefreshDerivedMatrices() {
    if (!gl11.derivedStale) {
        return;
    }
    const Gl11Matrix& modelview = gl11.modelview.entries[gl11.modelview.top];
    gl11.modelviewProjection =
        Gl11MatrixMultiply(gl11.projection.entries[gl11.projection.top], modelview);
    Gl11MatrixNormal(modelview, gl11.normalMatrix);
    gl11.derivedStale = false;
}

static bool SameRasterState(const Gl11RasterState& a, const Gl11RasterState& b) {
    for (int i = 0; i < 4; ++i) {
        if (a.viewport[i] != b.viewport[i] || a.scissorBox[i] != b.scissorBox[i]) {
            return false;
        }
    }
    return a.scissorTest == b.scissorTest && a.depthTest == b.depthTest &&
           a.depthFunc == b.depthFunc && a.textured == b.textured && a.texture == b.texture;
}

static float Clamp01(float value) {
    return value < 0.0f ? 0.0f : (value > 1.0f ? 1.0f : value);
}

static void VertexColor(const float object[4], float rgba[4]) {
    if (!gl11.lighting) {
        for (int i = 0; i < 4; ++i) {
            rgba[i] = Clamp01(gl11.color[i]);
        }
        return;
    }
    float eyePosition[4];
    Gl11MatrixTransform(gl11.modelview.entries[gl11.modelview.top], object, eyePosition);
    const float* n = gl11.normalMatrix;
    const float eyeNormal[3] = {
        n[0] * gl11.normal[0] + n[1] * gl11.normal[1] + n[2] * gl11.normal[2],
        n[3] * gl11.normal[0] + n[4] * gl11.normal[1] + n[5] * gl11.normal[2],
        n[6] * gl11.normal[0] + n[7] * gl11.normal[1] + n[8] * gl11.normal[2],
    };
    Gl11LightVertex(gl11.lights, eyePosition, eyeNormal, rgba);
}

// Flat shading colours a whole primitive with its last vertex.
static void EmitTriangle(const Gl11Vertex& a, const Gl11Vertex& b, const Gl11Vertex& c,
                         const float* flatColor) {
    const std::size_t first = gl11.batch.size();
    gl11.batch.push_back(a);
    gl11.batch.push_back(b);
    gl11.batch.push_back(c);
    if (flatColor != nullptr) {
        for (std::size_t v = first; v < first + 3; ++v) {
            for (int i = 0; i < 4; ++i) {
                gl11.batch[v].color[i] = flatColor[i];
            }
        }
    }
}

static void EmitCompletedPrimitive() {
    const Gl11Vertex* v = gl11.primitiveVertices;
    const int last = gl11.primitiveCount - 1;
    const float* flatColor = gl11.smoothShading ? nullptr : v[last].color;
    EmitTriangle(v[0], v[1], v[2], flatColor);
    if (gl11.primitive == GL_QUADS) {
        EmitTriangle(v[0], v[2], v[3], flatColor);
    }
    gl11.primitiveCount = 0;
}

extern "C" {

void APIENTRY glBegin(GLenum mode) {
    if (Gl11InsidePrimitive()) {
        return;
    }
    if (mode != GL_TRIANGLES && mode != GL_QUADS) {
        Gl11RecordError(GL_INVALID_ENUM);
        return;
    }
    gl11.insidePrimitive = true;
    gl11.primitive = mode;
    gl11.primitiveCount = 0;
    gl11.discardPrimitive = !gl11.ready || Gl11ScissorEmpty();
    if (gl11.discardPrimitive) {
        return;
    }
    RefreshDerivedMatrices();
    gl11.raster.textured = Gl11TexturingActive() ? 1 : 0;
    gl11.raster.texture = gl11.raster.textured != 0 ? gl11.boundTexture : 0;
    if (!gl11.batch.empty() && !SameRasterState(gl11.batchState, gl11.raster)) {
        Gl11FlushDraws();
    }
    gl11.batchState = gl11.raster;
}

// The vertices of an incomplete last primitive are dropped.
void APIENTRY glEnd() {
    if (!gl11.insidePrimitive) {
        Gl11RecordError(GL_INVALID_OPERATION);
        return;
    }
    gl11.insidePrimitive = false;
    gl11.primitiveCount = 0;
    if (!gl11.discardPrimitive) {
        ++gl11.primitivesSinceColorClear;
    }
}

void APIENTRY glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    if (!gl11.insidePrimitive || gl11.discardPrimitive) {
        return;
    }
    const float object[4] = {x, y, z, 1.0f};
    Gl11Vertex& vertex = gl11.primitiveVertices[gl11.primitiveCount++];
    Gl11MatrixTransform(gl11.modelviewProjection, object, vertex.clip);
    VertexColor(object, vertex.color);
    vertex.texCoord[0] = gl11.texCoord[0];
    vertex.texCoord[1] = gl11.texCoord[1];
    if (gl11.primitiveCount == (gl11.primitive == GL_QUADS ? 4 : 3)) {
        EmitCompletedPrimitive();
    }
}

void APIENTRY glNormal3f(GLfloat x, GLfloat y, GLfloat z) {
    gl11.normal[0] = x;
    gl11.normal[1] = y;
    gl11.normal[2] = z;
}

void APIENTRY glTexCoord2f(GLfloat s, GLfloat t) {
    gl11.texCoord[0] = s;
    gl11.texCoord[1] = t;
}

void APIENTRY glColor3f(GLfloat red, GLfloat green, GLfloat blue) {
    gl11.color[0] = red;
    gl11.color[1] = green;
    gl11.color[2] = blue;
    gl11.color[3] = 1.0f;
}

}  // extern "C"
