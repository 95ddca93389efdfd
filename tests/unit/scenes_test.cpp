#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "assets/scene_resources.h"
#include "gl_call_log/gl_call_log.h"
#include "platform/gl.h"
#include "scene_state_guard.h"
#include "show/scenes.h"

// The scenes' persistent values are process-wide; every test sets the ones
// it relies on, and the guard puts them back afterwards.
class PictureScenes : public SceneStateGuard {};
class BezierPathScene : public SceneStateGuard {};
class PulsingPolyhedron : public SceneStateGuard {};
class CubeLattice : public SceneStateGuard {};

using Vec = std::array<double, 3>;

static Vec Args3(const GlCall& call) {
    return {call.args[0], call.args[1], call.args[2]};
}

static std::vector<std::string> CallNames(size_t first, size_t count) {
    std::vector<std::string> names;
    const std::vector<GlCall>& log = GlCallLog();
    for (size_t i = first; i < log.size() && names.size() < count; ++i) {
        names.push_back(log[i].name);
    }
    return names;
}

// Index of the first call named `name` at or after `from`; the log size if none.
static size_t FindCall(const std::string& name, size_t from = 0) {
    const std::vector<GlCall>& log = GlCallLog();
    for (size_t i = from; i < log.size(); ++i) {
        if (log[i].name == name) {
            return i;
        }
    }
    return log.size();
}

// Whether `cap` is switched on at call index `at`, judging by the last
// glEnable/glDisable of it before that index (-1: not touched).
static int CapStateAt(GLenum cap, size_t at) {
    int state = -1;
    const std::vector<GlCall>& log = GlCallLog();
    for (size_t i = 0; i < at && i < log.size(); ++i) {
        if ((log[i].name == "glEnable" || log[i].name == "glDisable") && log[i].args[0] == cap) {
            state = log[i].name == "glEnable" ? 1 : 0;
        }
    }
    return state;
}

static std::vector<Vec> Vertices() {
    std::vector<Vec> vertices;
    for (const GlCall& call : GlCallsNamed("glVertex3f")) {
        vertices.push_back(Args3(call));
    }
    return vertices;
}

static void SetDistinctTextureNames() {
    for (int slot = 0; slot < kTextureSlotCount; ++slot) {
        textureNames[slot] = 101 + static_cast<uint32_t>(slot);
    }
}

static void ExpectPictureFrameStart() {
    EXPECT_EQ(CallNames(0, 5), (std::vector<std::string>{"glClear", "glLoadIdentity", "glDisable",
                                                         "glEnable", "glTranslatef"}));
    EXPECT_EQ(GlCallLog()[0].args[0], GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    EXPECT_EQ(GlCallLog()[2].args[0], GL_LIGHTING);
    EXPECT_EQ(GlCallLog()[3].args[0], GL_TEXTURE_2D);
    EXPECT_EQ(Args3(GlCallLog()[4]), (Vec{0, 0, -20}));
}

// The quad's four corners from lower left, counter-clockwise, with
// texture coordinates (0,0), (1,0), (1,1), (0,1).
static void ExpectPictureQuad(double left, double bottom, double right, double top) {
    const std::vector<Vec> vertices = Vertices();
    ASSERT_EQ(vertices.size(), 4u);
    EXPECT_EQ(vertices[0], (Vec{left, bottom, 0}));
    EXPECT_EQ(vertices[1], (Vec{right, bottom, 0}));
    EXPECT_EQ(vertices[2], (Vec{right, top, 0}));
    EXPECT_EQ(vertices[3], (Vec{left, top, 0}));
    const std::vector<GlCall> texCoords = GlCallsNamed("glTexCoord2f");
    ASSERT_EQ(texCoords.size(), 4u);
    const double expected[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(texCoords[i].args, (std::vector<double>{expected[i][0], expected[i][1]}));
    }
    // Each texture coordinate comes just before its vertex.
    size_t at = 0;
    for (int i = 0; i < 4; ++i) {
        at = FindCall("glTexCoord2f", at);
        ASSERT_LT(at + 1, GlCallLog().size());
        EXPECT_EQ(GlCallLog()[at + 1].name, "glVertex3f");
        ++at;
    }
}

static double BoundTexture() {
    const std::vector<GlCall> binds = GlCallsNamed("glBindTexture");
    EXPECT_EQ(binds.size(), 1u);
    return binds.empty() ? -1 : binds[0].args[1];
}

TEST_F(PictureScenes, OpeningPictureIsTheMainPictureAndChangesNoState) {
    SetDistinctTextureNames();
    shrinkAccumulator = 5;
    for (int frame = 0; frame < 2; ++frame) {
        GlCallLogClear();
        DrawOpeningPicture(1000);
        ExpectPictureFrameStart();
        EXPECT_EQ(BoundTexture(), 102);
        ExpectPictureQuad(-7, -14, 13, 6);
    }
    EXPECT_EQ(shrinkAccumulator, 5);
}

TEST_F(PictureScenes, FirstShrinkingFrameLooksLikeTheOpeningPicture) {
    SetDistinctTextureNames();
    shrinkAccumulator = 1;
    GlCallLogClear();
    DrawShrinkingPicture(16);
    ExpectPictureFrameStart();
    EXPECT_EQ(BoundTexture(), 102);
    const float s = static_cast<float>(std::pow(static_cast<double>(1.001f), 1.0) - 1);
    EXPECT_NEAR(s, 0.001, 1e-6);
    ExpectPictureQuad(s - 7.0f, s - 14.0f, 13.0f - s, 6.0f - s);
    EXPECT_EQ(shrinkAccumulator, 17);
}

TEST_F(PictureScenes, FrameReaching2399StillShrinksAndTheNextShowsTheEndPicture) {
    SetDistinctTextureNames();
    shrinkAccumulator = 2398;
    GlCallLogClear();
    DrawShrinkingPicture(1);
    EXPECT_EQ(BoundTexture(), 102);
    const std::vector<Vec> square = Vertices();
    ASSERT_EQ(square.size(), 4u);
    EXPECT_NEAR(square[0][0] + 7, 9.989, 1e-3);
    EXPECT_NEAR(square[2][0], 13 - 9.989, 1e-3);
    EXPECT_EQ(shrinkAccumulator, 2399);

    for (int frame = 0; frame < 2; ++frame) {
        GlCallLogClear();
        DrawShrinkingPicture(16);
        ExpectPictureFrameStart();
        EXPECT_EQ(BoundTexture(), 103);
        ExpectPictureQuad(-7, -7, 7, 7);
        EXPECT_EQ(shrinkAccumulator, 2399);
    }
}

TEST_F(PictureScenes, LongStallJumpsStraightToTheEndPicture) {
    SetDistinctTextureNames();
    shrinkAccumulator = 1000;
    GlCallLogClear();
    DrawShrinkingPicture(4000);
    EXPECT_EQ(BoundTexture(), 102);
    EXPECT_NEAR(Vertices()[0][0] + 7, 1.717, 1e-3);
    EXPECT_EQ(shrinkAccumulator, 5000);
    GlCallLogClear();
    DrawShrinkingPicture(16);
    EXPECT_EQ(BoundTexture(), 103);
    EXPECT_EQ(shrinkAccumulator, 5000);
}

// The path's control points as the scene places them, and its points from
// the Bernstein form B(t) = u^3 P0 + 3tu^2 P1 + 3t^2u P2 + t^3 P3 (u = 1 - t),
// worked in double here rather than through the program's BezierPoint.
static const Vec kControlPoints[4] = {{0, 0, 0}, {5, 6.5, 40}, {-12, -2, 80}, {15, 4, 120}};

static Vec CurveAt(double t) {
    const double u = 1 - t;
    const double weights[4] = {u * u * u, 3 * t * u * u, 3 * t * t * u, t * t * t};
    Vec point = {0, 0, 0};
    for (int i = 0; i < 4; ++i) {
        for (int axis = 0; axis < 3; ++axis) {
            point[axis] += weights[i] * kControlPoints[i][axis];
        }
    }
    return point;
}

// The show computes in float: a point of the curve is good to about 1e-5.
static void ExpectNearAll(const std::vector<double>& actual, const std::vector<double>& expected,
                          double tolerance = 1e-5) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i) {
        EXPECT_NEAR(actual[i], expected[i], tolerance) << "value " << i;
    }
}

TEST_F(BezierPathScene, LightAtTheTargetSetBeforeTheCameraThenTheTrail) {
    pathParameter = 0;
    lightPosition[0] = lightPosition[1] = lightPosition[2] = lightPosition[3] = -9;
    GlCallLogClear();
    DrawBezierPath(50);

    EXPECT_EQ(CallNames(0, 6), (std::vector<std::string>{"glClear", "glLoadIdentity", "glEnable",
                                                         "glDisable", "glLightfv", "gluLookAt"}));
    EXPECT_EQ(GlCallLog()[2].args[0], GL_LIGHTING);
    EXPECT_EQ(GlCallLog()[3].args[0], GL_TEXTURE_2D);
    // The target B(0.01), worked by hand: weights 0.970299, 0.029403, 0.000297
    // and 0.000001.
    ExpectNearAll(GlCallLog()[4].args, {GL_LIGHT1, GL_POSITION, 0.143466, 0.1905295, 1.2, 1});
    ExpectNearAll({lightPosition[0], lightPosition[1], lightPosition[2], lightPosition[3]},
                  {0.143466, 0.1905295, 1.2, 1});
    ExpectNearAll(GlCallLog()[5].args, {0, 0, 0, 0.143466, 0.1905295, 1.2, 0, 1, 0});

    EXPECT_FLOAT_EQ(pathParameter, 0.001f);
}

TEST_F(BezierPathScene, TrailHas199TubesFromTheSecondSampleOn) {
    pathParameter = 0.3f;
    GlCallLogClear();
    DrawBezierPath(0);
    EXPECT_EQ(pathParameter, 0.3f);
    EXPECT_EQ(GlCallCount("glPushMatrix"), 199u);
    EXPECT_EQ(GlCallCount("glPopMatrix"), 199u);
    EXPECT_EQ(GlCallCount("glBegin"), 199u);
    EXPECT_EQ(GlCallCount("glVertex3f"), 199u * 16);

    // Tube i stands on sample i + 1 (s = 0.001 + 0.005 (i + 1), float sums).
    const std::vector<GlCall> centres = GlCallsNamed("glTranslatef");
    ASSERT_EQ(centres.size(), 199u);
    float s = 0.001f;
    for (size_t i = 0; i < centres.size(); ++i) {
        s = static_cast<float>(s + 0.005);
        const Vec expected = CurveAt(s);
        for (int axis = 0; axis < 3; ++axis) {
            ASSERT_NEAR(centres[i].args[axis], expected[axis], 1e-4) << "tube " << i;
        }
    }
    // Every tube has edge 0.1.
    for (const GlCall& vertex : GlCallsNamed("glVertex3f")) {
        for (double c : vertex.args) {
            EXPECT_NEAR(std::fabs(c), 0.05, 1e-7);
        }
    }
}

TEST_F(BezierPathScene, TubesFaceTheCurveAheadAndTheCameraFollowsTheParameter) {
    pathParameter = 0.5f;
    GlCallLogClear();
    DrawBezierPath(16);
    // The eye at B(0.5) = (P0 + 3 P1 + 3 P2 + P3) / 8 and the target at
    // B(0.51) (weights 0.117649, 0.367353, 0.382347, 0.132651), by hand.
    ExpectNearAll(GlCallsNamed("gluLookAt")[0].args,
                  {-0.75, 2.1875, 60, -0.761634, 2.1537045, 61.2, 0, 1, 0});
    EXPECT_NEAR(lightPosition[2], 61.2, 1e-5);

    // The first tube (s = 0.006) turns about (-dy, dx, 0) by the angle
    // between +Z and the direction d to the curve point 0.01 further on.
    const float here = static_cast<float>(0.001f + 0.005);
    const Vec from = CurveAt(here);
    const Vec to = CurveAt(static_cast<float>(here + 0.01));
    const Vec d = {to[0] - from[0], to[1] - from[1], to[2] - from[2]};
    const double degrees = std::acos(d[2] / std::hypot(d[0], d[1], d[2])) * 180 / M_PI;
    ExpectNearAll(GlCallsNamed("glRotatef")[0].args, {degrees, -d[1], d[0], 0}, 1e-4);
    EXPECT_FLOAT_EQ(pathParameter, static_cast<float>(0.5f + 16 * 0.00002));
}

TEST_F(PulsingPolyhedron, FirstFrameSolidThenPicture) {
    SetDistinctTextureNames();
    polyhedronAngle = 0;
    GlCallLogClear();
    DrawPulsingPolyhedron(16);

    EXPECT_EQ(CallNames(0, 8),
              (std::vector<std::string>{"glClear", "glLoadIdentity", "glEnable", "glTranslatef",
                                        "glPushMatrix", "glRotatef", "glDisable", "glBegin"}));
    EXPECT_EQ(Args3(GlCallLog()[3]), (Vec{3, 0, -30}));
    EXPECT_EQ(GlCallLog()[5].args, (std::vector<double>{0, 0.6f, 1, 0.3f}));
    EXPECT_EQ(GlCallLog()[7].args[0], GL_TRIANGLES);
    EXPECT_EQ(GlCallCount("glVertex3f"), 76u);
    EXPECT_EQ(GlCallCount("glNormal3f"), 24u);

    const size_t solid = FindCall("glBegin");
    const size_t picture = FindCall("glBegin", solid + 1);
    EXPECT_EQ(GlCallLog()[picture].args[0], GL_QUADS);
    EXPECT_EQ(CapStateAt(GL_LIGHTING, solid), 1);
    EXPECT_EQ(CapStateAt(GL_TEXTURE_2D, solid), 0);
    EXPECT_EQ(CapStateAt(GL_LIGHTING, picture), 0);
    EXPECT_EQ(CapStateAt(GL_TEXTURE_2D, picture), 1);
    const size_t pop = FindCall("glPopMatrix");
    EXPECT_LT(pop, picture);
    EXPECT_EQ(Args3(GlCallLog()[FindCall("glTranslatef", pop)]), (Vec{0, 0, -10}));
    EXPECT_EQ(BoundTexture(), 104);

    const std::vector<GlCall> normals = GlCallsNamed("glNormal3f");
    EXPECT_NEAR(normals[0].args[0], 0, 1e-5);
    EXPECT_NEAR(normals[0].args[1], 14.58, 1e-4);
    EXPECT_NEAR(normals[0].args[2], -12.42, 1e-4);
    EXPECT_NEAR(normals[1].args[0], -12.42, 1e-4);
    EXPECT_NEAR(normals[1].args[1], -14.58, 1e-4);
    EXPECT_NEAR(normals[1].args[2], 0, 1e-5);

    const std::vector<Vec> vertices = Vertices();
    // Tips at 5 (s = 0), corners at +-2.7 (c = 0.5); the tip is drawn second.
    for (int t = 0; t < 24; ++t) {
        const Vec& tip = vertices[t * 3 + 1];
        EXPECT_NEAR(std::hypot(tip[0], tip[1], tip[2]), 5, 1e-6) << "triangle " << t + 1;
        for (int corner : {0, 2}) {
            for (double c : vertices[t * 3 + corner]) {
                EXPECT_NEAR(std::fabs(c), 2.7, 1e-6) << "triangle " << t + 1;
            }
        }
    }
    const std::vector<Vec> pictureCorners(vertices.begin() + 72, vertices.end());
    EXPECT_EQ(pictureCorners,
              (std::vector<Vec>{{-16, -16, 0}, {-5, -16, 0}, {-5, -5, 0}, {-16, -5, 0}}));
    EXPECT_FLOAT_EQ(polyhedronAngle, 1.12f);
}

TEST_F(PulsingPolyhedron, EightNormalsPointIntoTheSolidAtEveryPhase) {
    const std::vector<int> inward = {2, 4, 9, 11, 14, 16, 21, 23};
    for (float angle : {0.0f, 13.0f, 31.416f, 62.832f, 94.248f, 1050.0f}) {
        polyhedronAngle = angle;
        GlCallLogClear();
        DrawPulsingPolyhedron(0);
        EXPECT_EQ(polyhedronAngle, angle);
        EXPECT_FLOAT_EQ(GlCallsNamed("glRotatef")[0].args[0], 2 * angle);
        const std::vector<Vec> vertices = Vertices();
        const std::vector<GlCall> normals = GlCallsNamed("glNormal3f");
        std::vector<int> pointingIn;
        for (int t = 0; t < 24; ++t) {
            double dot = 0;
            for (int axis = 0; axis < 3; ++axis) {
                const double centroid = (vertices[t * 3][axis] + vertices[t * 3 + 1][axis] +
                                         vertices[t * 3 + 2][axis]) /
                                        3;
                dot += centroid * normals[t].args[axis];
            }
            if (dot < 0) {
                pointingIn.push_back(t + 1);
            }
        }
        EXPECT_EQ(pointingIn, inward) << "angle " << angle;
    }
}

TEST_F(PulsingPolyhedron, SameAngleRedrawsTheSameSolid) {
    // The displacement never accumulates: the same angle gives the same frame.
    polyhedronAngle = 40;
    GlCallLogClear();
    DrawPulsingPolyhedron(0);
    const std::vector<Vec> first = Vertices();
    GlCallLogClear();
    DrawPulsingPolyhedron(0);
    EXPECT_EQ(Vertices(), first);
}

// A lattice cube's centre and edge from its logged +X and -X faces.
struct LoggedCube {
    Vec centre;
    double edge;
};

static std::vector<LoggedCube> LatticeCubes(const std::vector<Vec>& vertices) {
    std::vector<LoggedCube> cubes;
    for (size_t first = 0; first + 24 <= vertices.size(); first += 24) {
        const Vec& plusX = vertices[first];        // (x+h, y+h, z-h)
        const Vec& minusX = vertices[first + 10];  // (x-h, y-h, z+h)
        cubes.push_back(
            {{(plusX[0] + minusX[0]) / 2, (plusX[1] + minusX[1]) / 2, (plusX[2] + minusX[2]) / 2},
             plusX[0] - minusX[0]});
    }
    return cubes;
}

TEST_F(CubeLattice, DrawsTheLatticeZFastestThenTheFramedPicture) {
    SetDistinctTextureNames();
    latticeAngle = 10;
    GlCallLogClear();
    DrawCubeLattice(16);

    EXPECT_EQ(CallNames(0, 8),
              (std::vector<std::string>{"glClear", "glLoadIdentity", "glEnable", "glTranslatef",
                                        "glPushMatrix", "glRotatef", "glDisable", "glTranslatef"}));
    EXPECT_EQ(Args3(GlCallLog()[3]), (Vec{3, 0, -20}));
    EXPECT_EQ(GlCallLog()[5].args, (std::vector<double>{10, 0.7f, 0.3f, 0.1f}));
    EXPECT_EQ(Args3(GlCallLog()[7]), (Vec{1, 0, 0}));
    EXPECT_FLOAT_EQ(latticeAngle, 11.12f);

    const std::vector<Vec> vertices = Vertices();
    ASSERT_EQ(vertices.size(), 125u * 24 + 8);
    const std::vector<LoggedCube> cubes =
        LatticeCubes(std::vector<Vec>(vertices.begin(), vertices.begin() + 125 * 24));
    ASSERT_EQ(cubes.size(), 125u);
    for (size_t i = 0; i < cubes.size(); ++i) {
        const Vec expected = {static_cast<double>(i / 25) - 2, static_cast<double>(i / 5 % 5) - 2,
                              static_cast<double>(i % 5) - 2};
        for (int axis = 0; axis < 3; ++axis) {
            EXPECT_NEAR(cubes[i].centre[axis], expected[axis], 1e-6) << "cube " << i;
        }
        EXPECT_GE(cubes[i].edge, 0.2 - 1e-6);
        EXPECT_LE(cubes[i].edge, 0.8 + 1e-6);
    }
    EXPECT_NEAR(cubes[124].edge, 0.5631, 1e-4);         // (2, 2, 2)
    EXPECT_NEAR(cubes[62].edge, 0.2300, 1e-4);          // (0, 0, 0)
    EXPECT_NEAR(cubes[37].edge, cubes[62].edge, 1e-7);  // (-1, 0, 0)
    EXPECT_NEAR(cubes[0].edge, cubes[123].edge, 1e-6);  // sums -6 and 5 pulse in step

    // The frame: untextured, unlit, behind the picture.
    const size_t pop = FindCall("glPopMatrix");
    const size_t frame = FindCall("glBegin", pop);
    const size_t picture = FindCall("glBegin", frame + 1);
    EXPECT_EQ(CapStateAt(GL_LIGHTING, frame), 0);
    EXPECT_EQ(CapStateAt(GL_TEXTURE_2D, frame), 0);
    EXPECT_EQ(CapStateAt(GL_TEXTURE_2D, picture), 1);
    EXPECT_EQ(CapStateAt(GL_LIGHTING, FindCall("glBegin")), 1);
    EXPECT_EQ(std::vector<Vec>(vertices.end() - 8, vertices.end() - 4),
              (std::vector<Vec>{{-13, -7, -2}, {-5, -7, -2}, {-5, 7, -2}, {-13, 7, -2}}));
    EXPECT_EQ(std::vector<Vec>(vertices.end() - 4, vertices.end()),
              (std::vector<Vec>{{-11.5, -6, 0}, {-5.5, -6, 0}, {-5.5, 6, 0}, {-11.5, 6, 0}}));
    EXPECT_EQ(GlCallCount("glTexCoord2f"), 4u);
    EXPECT_EQ(BoundTexture(), 101);
}
