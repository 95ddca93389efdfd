// The context itself and the entry points that only set state: switches,
// clears, depth, viewport and scissor, light parameters, pixel storage and
// errors.
#include <cstring>

#include "platform/webgl/gl11_context.h"

Gl11Context gl11;

static Gl11MatrixStack FreshStack() {
    Gl11MatrixStack stack;
    stack.entries[0] = Gl11MatrixIdentity();
    stack.top = 0;
    return stack;
}

void Gl11ResetContext(int width, int height) {
    // The batch keeps its capacity, and starts with room for the show's
    // busiest frame (about 4,800 vertices along the Bezier path), so frames
    // draw without allocating.
    std::vector<Gl11Vertex> batch = std::move(gl11.batch);
    batch.clear();
    batch.reserve(8192);
    gl11 = Gl11Context{};
    gl11.batch = std::move(batch);
    gl11.ready = true;
    gl11.modelview = FreshStack();
    gl11.projection = FreshStack();
    gl11.matrixMode = GL_MODELVIEW;
    gl11.derivedStale = true;
    gl11.normal[2] = 1.0f;
    gl11.texCoord[0] = gl11.texCoord[1] = 0.0f;
    for (float& channel : gl11.color) {
        channel = 1.0f;
    }
    gl11.smoothShading = true;
    for (int index = 0; index < kGl11MaxLights; ++index) {
        gl11.lights[index] = Gl11LightDefault(index);
    }
    gl11.raster =
        Gl11RasterState{{0, 0, width, height}, {0, 0, width, height}, 0, 0, GL_LESS, 0, 0};
    gl11.clearDepth = 1.0;
    gl11.unpackAlignment = gl11.packAlignment = 4;
    gl11.textures[0] = Gl11TextureRecord{false, true};
    gl11.nextTextureName = 1;
    gl11.error = GL_NO_ERROR;
    Gl11BackendDeleteTextures();
}

void Gl11DropContext() {
    gl11.batch.clear();
    gl11.textures.clear();
    gl11.ready = false;
    Gl11BackendDeleteTextures();
}

void Gl11RecordError(GLenum error) {
    if (gl11.error == GL_NO_ERROR) {
        gl11.error = error;
    }
}

bool Gl11InsidePrimitive() {
    if (gl11.insidePrimitive) {
        Gl11RecordError(GL_INVALID_OPERATION);
    }
    return gl11.insidePrimitive;
}

bool Gl11ScissorEmpty() {
    return gl11.raster.scissorTest != 0 &&
           (gl11.raster.scissorBox[2] == 0 || gl11.raster.scissorBox[3] == 0);
}

void Gl11FlushDraws() {
    if (gl11.batch.empty()) {
        return;
    }
    Gl11BackendDrawTriangles(&gl11.batchState, gl11.batch.data(),
                             static_cast<int32_t>(gl11.batch.size()));
    ++gl11.drawsSinceColorClear;
    gl11.batch.clear();
}

int64_t Gl11DrawsSinceColorClear() {
    return gl11.drawsSinceColorClear;
}

int64_t Gl11PrimitivesSinceColorClear() {
    return gl11.primitivesSinceColorClear;
}

static float Clamp01(float value) {
    return value < 0.0f ? 0.0f : (value > 1.0f ? 1.0f : value);
}

static void SetCapability(GLenum cap, bool on) {
    if (Gl11InsidePrimitive()) {
        return;
    }
    if (cap >= GL_LIGHT0 && cap < GL_LIGHT0 + kGl11MaxLights) {
        gl11.lights[cap - GL_LIGHT0].enabled = on;
        return;
    }
    switch (cap) {
        case GL_LIGHTING:
            gl11.lighting = on;
            break;
        case GL_TEXTURE_2D:
            gl11.texture2D = on;
            break;
        case GL_DEPTH_TEST:
            gl11.raster.depthTest = on ? 1 : 0;
            break;
        case GL_SCISSOR_TEST:
            gl11.raster.scissorTest = on ? 1 : 0;
            break;
        default:
            Gl11RecordError(GL_INVALID_ENUM);
            break;
    }
}

extern "C" {

void APIENTRY glEnable(GLenum cap) {
    SetCapability(cap, true);
}

void APIENTRY glDisable(GLenum cap) {
    SetCapability(cap, false);
}

void APIENTRY glClear(GLbitfield mask) {
    if (Gl11InsidePrimitive()) {
        return;
    }
    constexpr GLbitfield kKnownBits =
        GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT | GL_ACCUM_BUFFER_BIT;
    if ((mask & ~kKnownBits) != 0) {
        Gl11RecordError(GL_INVALID_VALUE);
        return;
    }
    // There is no stencil or accumulation buffer to clear.
    mask &= GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT;
    if (!gl11.ready || mask == 0 || Gl11ScissorEmpty()) {
        return;
    }
    Gl11FlushDraws();
    Gl11BackendClear(&gl11.raster, mask, gl11.clearColor, gl11.clearDepth);
    if ((mask & GL_COLOR_BUFFER_BIT) != 0) {
        gl11.drawsSinceColorClear = 0;
        gl11.primitivesSinceColorClear = 0;
    }
}

void APIENTRY glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha) {
    if (Gl11InsidePrimitive()) {
        return;
    }
    gl11.clearColor[0] = Clamp01(red);
    gl11.clearColor[1] = Clamp01(green);
    gl11.clearColor[2] = Clamp01(blue);
    gl11.clearColor[3] = Clamp01(alpha);
}

void APIENTRY glClearDepth(GLclampd depth) {
    if (Gl11InsidePrimitive()) {
        return;
    }
    gl11.clearDepth = depth < 0.0 ? 0.0 : (depth > 1.0 ? 1.0 : depth);
}

void APIENTRY glDepthFunc(GLenum func) {
    if (Gl11InsidePrimitive()) {
        return;
    }
    if (func < GL_NEVER || func > GL_ALWAYS) {
        Gl11RecordError(GL_INVALID_ENUM);
        return;
    }
    gl11.raster.depthFunc = func;
}

void APIENTRY glShadeModel(GLenum mode) {
    if (Gl11InsidePrimitive()) {
        return;
    }
    if (mode != GL_SMOOTH && mode != GL_FLAT) {
        Gl11RecordError(GL_INVALID_ENUM);
        return;
    }
    gl11.smoothShading = mode == GL_SMOOTH;
}

// Hints leave the picture alone: interpolation is always perspective-correct.
void APIENTRY glHint(GLenum target, GLenum mode) {
    if (Gl11InsidePrimitive()) {
        return;
    }
    const bool knownTarget = target == GL_PERSPECTIVE_CORRECTION_HINT ||
                             target == GL_POINT_SMOOTH_HINT || target == GL_LINE_SMOOTH_HINT ||
                             target == GL_POLYGON_SMOOTH_HINT || target == GL_FOG_HINT;
    const bool knownMode = mode == GL_FASTEST || mode == GL_NICEST || mode == GL_DONT_CARE;
    if (!knownTarget || !knownMode) {
        Gl11RecordError(GL_INVALID_ENUM);
    }
}

static void SetBox(int32_t box[4], GLint x, GLint y, GLsizei width, GLsizei height) {
    if (Gl11InsidePrimitive()) {
        return;
    }
    if (width < 0 || height < 0) {
        Gl11RecordError(GL_INVALID_VALUE);
        return;
    }
    box[0] = x;
    box[1] = y;
    box[2] = width;
    box[3] = height;
}

void APIENTRY glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    SetBox(gl11.raster.viewport, x, y, width, height);
}

void APIENTRY glScissor(GLint x, GLint y, GLsizei width, GLsizei height) {
    SetBox(gl11.raster.scissorBox, x, y, width, height);
}

void APIENTRY glPixelStorei(GLenum pname, GLint param) {
    if (Gl11InsidePrimitive()) {
        return;
    }
    if (pname != GL_UNPACK_ALIGNMENT && pname != GL_PACK_ALIGNMENT) {
        Gl11RecordError(GL_INVALID_ENUM);
        return;
    }
    if (param != 1 && param != 2 && param != 4 && param != 8) {
        Gl11RecordError(GL_INVALID_VALUE);
        return;
    }
    (pname == GL_UNPACK_ALIGNMENT ? gl11.unpackAlignment : gl11.packAlignment) = param;
}

// Colours are kept as given; positions go through the modelview in force, so
// they are stored in eye coordinates. The specular colour is accepted but
// has no effect: the material's specular reflectance is zero.
void APIENTRY glLightfv(GLenum light, GLenum pname, const GLfloat* params) {
    if (Gl11InsidePrimitive()) {
        return;
    }
    if (light < GL_LIGHT0 || light >= GL_LIGHT0 + kGl11MaxLights) {
        Gl11RecordError(GL_INVALID_ENUM);
        return;
    }
    Gl11Light& target = gl11.lights[light - GL_LIGHT0];
    switch (pname) {
        case GL_AMBIENT:
            std::memcpy(target.ambient, params, sizeof target.ambient);
            break;
        case GL_DIFFUSE:
            std::memcpy(target.diffuse, params, sizeof target.diffuse);
            break;
        case GL_SPECULAR:
            break;
        case GL_POSITION:
            Gl11MatrixTransform(gl11.modelview.entries[gl11.modelview.top], params,
                                target.position);
            break;
        default:
            Gl11RecordError(GL_INVALID_ENUM);
            break;
    }
}

GLenum APIENTRY glGetError() {
    if (gl11.insidePrimitive) {
        Gl11RecordError(GL_INVALID_OPERATION);
        return 0;
    }
    const GLenum error = gl11.error != GL_NO_ERROR ? gl11.error : Gl11BackendError();
    gl11.error = GL_NO_ERROR;
    return error;
}

void APIENTRY glFlush() {
    if (!Gl11InsidePrimitive()) {
        Gl11FlushDraws();
    }
}

void APIENTRY glFinish() {
    glFlush();
}

}  // extern "C"
