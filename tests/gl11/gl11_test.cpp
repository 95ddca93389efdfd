// The web build's GL 1.1 layer, natively, against a drawing side that keeps
// what it is given. Expected values are worked out from OpenGL's and GLU's
// definitions by hand (the arithmetic is in the comments).
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/gl.h"
#include "platform/webgl/gl11.h"
#include "platform/webgl/gl11_backend.h"

struct Draw {
    Gl11RasterState state;
    std::vector<Gl11Vertex> vertices;
};
static std::vector<Draw> draws;
static int clears = 0;
static int32_t lastImageBytes = 0;

extern "C" {
void Gl11BackendClear(const Gl11RasterState*, uint32_t, const float*, double) {
    ++clears;
}
void Gl11BackendDrawTriangles(const Gl11RasterState* state, const Gl11Vertex* vertices,
                              int32_t count) {
    draws.push_back(Draw{*state, std::vector<Gl11Vertex>(vertices, vertices + count)});
}
void Gl11BackendTexImage(uint32_t, int32_t, int32_t, uint32_t, int32_t, const void*,
                         int32_t byteCount) {
    lastImageBytes = byteCount;
}
void Gl11BackendTexParameter(uint32_t, uint32_t, int32_t) {}
void Gl11BackendDeleteTextures() {}
uint32_t Gl11BackendError() {
    return 0;
}
}

class Gl11Test : public ::testing::Test {
protected:
    void SetUp() override {
        Gl11ResetContext(800, 600);
        draws.clear();
        clears = 0;
    }

    // The one vertex a lone triangle at p (with the current attributes)
    // comes out as.
    static Gl11Vertex Transformed(float x, float y, float z) {
        glBegin(GL_TRIANGLES);
        glVertex3f(x, y, z);
        glVertex3f(x, y, z);
        glVertex3f(x, y, z);
        glEnd();
        Gl11FlushDraws();
        return draws.back().vertices.front();
    }

    static void ExpectClip(const Gl11Vertex& v, double x, double y, double z, double w) {
        EXPECT_NEAR(v.clip[0], x, 1e-5);
        EXPECT_NEAR(v.clip[1], y, 1e-5);
        EXPECT_NEAR(v.clip[2], z, 1e-5);
        EXPECT_NEAR(v.clip[3], w, 1e-5);
    }

    // Grey level of a lit vertex at p with normal n.
    static float Lit(float px, float py, float pz, float nx, float ny, float nz) {
        glNormal3f(nx, ny, nz);
        const Gl11Vertex v = Transformed(px, py, pz);
        EXPECT_FLOAT_EQ(v.color[0], v.color[1]);
        EXPECT_FLOAT_EQ(v.color[0], v.color[2]);
        EXPECT_FLOAT_EQ(v.color[3], 1.0f);
        return v.color[0];
    }

    // Light 1 as the show sets it, lighting on.
    static void ShowLight(float x, float y, float z) {
        const float ambient[4] = {0.5f, 0.5f, 0.5f, 1.0f};
        const float diffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
        const float position[4] = {x, y, z, 1.0f};
        glLightfv(GL_LIGHT1, GL_AMBIENT, ambient);
        glLightfv(GL_LIGHT1, GL_DIFFUSE, diffuse);
        glLightfv(GL_LIGHT1, GL_POSITION, position);
        glEnable(GL_LIGHT1);
        glEnable(GL_LIGHTING);
    }
};

// f = cot(45 / 2) = 2.4142136, aspect 4/3, near = float 0.1, far 100:
// x' = f / aspect * x, y' = f * y, z' = (far + near) / (near - far) * z
// + 2 far near / (near - far), w' = -z. For (1, 2, -5) under a translation
// by (0, 0, -1) of (1, 2, -4):
TEST_F(Gl11Test, PerspectiveTimesModelviewGivesClipCoordinates) {
    glMatrixMode(GL_PROJECTION);
    gluPerspective(45.0, 800.0 / 600.0, static_cast<double>(0.1f), 100.0);
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(0.0f, 0.0f, -1.0f);
    ExpectClip(Transformed(1.0f, 2.0f, -4.0f), 1.8106602, 4.8284271, 4.8098098, 5.0);
}

// Rows s, u, -f with f the unit view direction, s = f x up normalised and
// u = s x f, then a translation by -eye.
TEST_F(Gl11Test, LookAtFollowsGluDefinition) {
    // Straight down -z from (1, 2, 3): only the translation.
    gluLookAt(1, 2, 3, 1, 2, -7, 0, 1, 0);
    ExpectClip(Transformed(1.0f, 2.0f, -7.0f), 0, 0, -10, 1);

    // Looking along (0, 1, 1) with up +y: f = (0, 1, 1)/sqrt 2,
    // f x up = (-1, 0, 0)/sqrt 2, normalised (-1, 0, 0); u = (0, 1, -1)/sqrt 2.
    // Without normalising s, x would shrink to 0.7071.
    glLoadIdentity();
    gluLookAt(0, 0, 0, 0, 1, 1, 0, 1, 0);
    ExpectClip(Transformed(1.0f, 0.0f, 0.0f), -1, 0, 0, 1);
    ExpectClip(Transformed(0.0f, 1.0f, 0.0f), 0, 0.70710678, -0.70710678, 1);
    ExpectClip(Transformed(0.0f, 1.0f, 1.0f), 0, 0, -1.41421356, 1);
}

// The axis is normalised, and the rotation happens before the translation
// that was called before it: (1, 0, 0) turns to (0, 1, 0), then + (1, 2, 3).
// 120 degrees about (1, 1, 1) cycles the axes x -> y -> z.
TEST_F(Gl11Test, RotationAboutUnnormalisedAxis) {
    glTranslatef(1.0f, 2.0f, 3.0f);
    glRotatef(90.0f, 0.0f, 0.0f, 2.0f);
    ExpectClip(Transformed(1.0f, 0.0f, 0.0f), 1, 3, 3, 1);

    glLoadIdentity();
    glRotatef(120.0f, 5.0f, 5.0f, 5.0f);
    ExpectClip(Transformed(0.0f, 1.0f, 0.0f), 0, 0, 1, 1);
}

// Default material (ambient 0.2, diffuse 0.8), light-model ambient 0.2 and
// light 1 with ambient 0.5 and diffuse 1:
// c = 0.2 * 0.2 + 0.2 * 0.5 + 0.8 * max(n . L, 0) = 0.14 + 0.8 max(n . L, 0),
// L the unit vector from the vertex to the light, n as given.
TEST_F(Gl11Test, LightingEquationForTheShowsLight) {
    ShowLight(0.0f, 0.0f, 10.0f);
    // Facing the light: 0.14 + 0.8.
    EXPECT_NEAR(Lit(0, 0, 0, 0, 0, 1), 0.94f, 1e-6);
    // Light behind the surface: ambient only.
    EXPECT_NEAR(Lit(0, 0, 0, 0, 0, -1), 0.14f, 1e-6);
    // At (3, 0, 0), L = (-3, 0, 10) / sqrt 109. A half-length normal halves
    // the diffuse term: n . L = 0.5 * 10 / sqrt 109 = 0.4789131.
    EXPECT_NEAR(Lit(3, 0, 0, 0, 0, 0.5f), 0.5231305f, 1e-6);
    // Five times as long: 0.14 + 0.8 * 4.789 saturates to 1.
    EXPECT_FLOAT_EQ(Lit(3, 0, 0, 0, 0, 5), 1.0f);
}

// The position goes through the modelview in force at glLightfv: a quarter
// turn about +y takes (0, 0, 10) to (10, 0, 0). Normals go through the
// modelview too (a rotation is its own inverse transpose), translations
// leave them alone.
TEST_F(Gl11Test, LightAndNormalsInEyeCoordinates) {
    glRotatef(90.0f, 0.0f, 1.0f, 0.0f);
    ShowLight(0.0f, 0.0f, 10.0f);
    glLoadIdentity();
    EXPECT_NEAR(Lit(0, 0, 0, 1, 0, 0), 0.94f, 1e-6);
    EXPECT_NEAR(Lit(0, 0, 0, 0, 0, 1), 0.14f, 1e-6);

    // Turned a quarter about +z then moved down: the normal (0, -1, 0) ends
    // up as (1, 0, 0), facing the light at (10, 0, 0) from (0, -5, 0) at
    // n . L = 10 / sqrt 125 = 0.8944272: 0.14 + 0.7155418.
    glTranslatef(0.0f, -5.0f, 0.0f);
    glRotatef(90.0f, 0.0f, 0.0f, 1.0f);
    EXPECT_NEAR(Lit(0, 0, 0, 0, -1, 0), 0.8555418f, 1e-6);
}

TEST_F(Gl11Test, UnlitVerticesTakeTheCurrentColourClamped) {
    EXPECT_EQ(Transformed(0, 0, 0).color[1], 1.0f);  // initial white
    glColor3f(0.25f, 2.0f, -1.0f);
    const Gl11Vertex v = Transformed(0, 0, 0);
    EXPECT_EQ(v.color[0], 0.25f);
    EXPECT_EQ(v.color[1], 1.0f);
    EXPECT_EQ(v.color[2], 0.0f);
}

// A quad is split 0-1-2, 0-2-3; the texture coordinate set before a vertex
// stays current for the following ones; a trailing incomplete quad is
// dropped.
TEST_F(Gl11Test, QuadsBecomeTrianglesWithCarriedAttributes) {
    glBegin(GL_QUADS);
    glTexCoord2f(0.5f, 0.25f);
    glVertex3f(0, 0, 0);
    glVertex3f(1, 0, 0);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(1, 1, 0);
    glVertex3f(0, 1, 0);
    glVertex3f(5, 5, 5);
    glEnd();
    Gl11FlushDraws();
    ASSERT_EQ(draws.size(), 1u);
    const std::vector<Gl11Vertex>& v = draws[0].vertices;
    ASSERT_EQ(v.size(), 6u);
    const float xs[6] = {0, 1, 1, 0, 1, 0};
    const float ys[6] = {0, 0, 1, 0, 1, 1};
    const float ss[6] = {0.5f, 0.5f, 1, 0.5f, 1, 1};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(v[i].clip[0], xs[i]) << i;
        EXPECT_EQ(v[i].clip[1], ys[i]) << i;
        EXPECT_EQ(v[i].texCoord[0], ss[i]) << i;
    }
}

// Primitives sharing their raster state go in one draw; a change of texture
// or a clear starts a new one; an empty scissor box draws and clears nothing.
TEST_F(Gl11Test, BatchesDrawsAndSkipsAnEmptyScissorBox) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glEnable(GL_TEXTURE_2D);
    for (int i = 0; i < 3; ++i) {
        Transformed(0, 0, 0);
    }
    // The texture has no image yet: drawn untextured, in one draw each time
    // (Transformed flushes), so three draws so far.
    ASSERT_EQ(draws.size(), 3u);
    EXPECT_EQ(draws[0].state.textured, 0);

    const unsigned char pixels[16] = {};
    glTexImage2D(GL_TEXTURE_2D, 0, 3, 2, 2, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    // Rows of 6 bytes padded to 8 by the default unpack alignment of 4.
    EXPECT_EQ(lastImageBytes, 14);
    // Its initial minifying filter wants mipmaps, which do not exist.
    Transformed(0, 0, 0);
    EXPECT_EQ(draws.back().state.textured, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);

    draws.clear();
    for (int i = 0; i < 3; ++i) {
        glBegin(GL_TRIANGLES);
        glVertex3f(0, 0, 0);
        glVertex3f(1, 0, 0);
        glVertex3f(0, 1, 0);
        glEnd();
    }
    glDisable(GL_TEXTURE_2D);
    Transformed(0, 0, 0);
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0].vertices.size(), 9u);
    EXPECT_EQ(draws[0].state.textured, 1);
    EXPECT_EQ(draws[0].state.texture, name);
    EXPECT_EQ(draws[1].state.textured, 0);

    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    Transformed(0, 0, 0);  // flushes nothing new
    EXPECT_EQ(clears, 0);
    EXPECT_EQ(draws.size(), 2u);
    EXPECT_EQ(Gl11DrawsSinceColorClear(), 6);
    glDisable(GL_SCISSOR_TEST);
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_EQ(clears, 1);
    EXPECT_EQ(Gl11DrawsSinceColorClear(), 0);
    EXPECT_EQ(Gl11PrimitivesSinceColorClear(), 0);

    // Primitives in one raster state share a draw; after a close
    // nothing more reaches the drawing side.
    for (int i = 0; i < 4; ++i) {
        glBegin(GL_TRIANGLES);
        glVertex3f(0, 0, 0);
        glVertex3f(1, 0, 0);
        glVertex3f(0, 1, 0);
        glEnd();
        if (i == 2) {
            Gl11FlushDraws();
        }
    }
    EXPECT_EQ(Gl11DrawsSinceColorClear(), 1);
    EXPECT_EQ(Gl11PrimitivesSinceColorClear(), 4);
    draws.clear();
    Gl11DropContext();
    Gl11FlushDraws();
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_TRUE(draws.empty());
    EXPECT_EQ(clears, 1);
}

TEST_F(Gl11Test, ErrorsAreKeptUntilRead) {
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    glPopMatrix();
    glEnable(GL_NORMALIZE);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_STACK_UNDERFLOW));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    glBegin(GL_QUADS);
    glTranslatef(5.0f, 0.0f, 0.0f);  // not allowed here: ignored
    glEnd();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_INVALID_OPERATION));
    ExpectClip(Transformed(1.0f, 0.0f, 0.0f), 1, 0, 0, 1);

    for (int i = 0; i < 31; ++i) {
        glPushMatrix();
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    glPushMatrix();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_STACK_OVERFLOW));
}
