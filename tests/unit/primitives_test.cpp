#include "geometry/primitives.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "gl_call_log/gl_call_log.h"
#include "platform/gl.h"

using Vec = std::array<double, 3>;

static Vec Args3(const GlCall& call, size_t first = 0) {
    return {call.args[first], call.args[first + 1], call.args[first + 2]};
}

// Rotates v by `degrees` about `axis` (normalised here, as GL does).
static Vec Rotate(const Vec& v, double degrees, Vec axis) {
    const double length = std::sqrt(axis[0] * axis[0] + axis[1] * axis[1] + axis[2] * axis[2]);
    for (double& c : axis) {
        c /= length;
    }
    const double angle = degrees * M_PI / 180.0;
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    const double dot = axis[0] * v[0] + axis[1] * v[1] + axis[2] * v[2];
    const Vec cross = {axis[1] * v[2] - axis[2] * v[1], axis[2] * v[0] - axis[0] * v[2],
                       axis[0] * v[1] - axis[1] * v[0]};
    Vec out;
    for (int i = 0; i < 3; ++i) {
        out[i] = v[i] * c + cross[i] * s + axis[i] * dot * (1 - c);
    }
    return out;
}

struct Quad {
    Vec normal;
    std::array<Vec, 4> vertices;
};

// The quads of one glBegin(GL_QUADS)/glEnd batch, each with the normal
// current at its first vertex.
static std::vector<Quad> LoggedQuads() {
    std::vector<Quad> quads;
    Vec normal = {0, 0, 0};
    int inQuad = 0;
    for (const GlCall& call : GlCallLog()) {
        if (call.name == "glNormal3f") {
            normal = Args3(call);
        } else if (call.name == "glVertex3f") {
            if (inQuad == 0) {
                quads.push_back(Quad{normal, {}});
            }
            quads.back().vertices[inQuad] = Args3(call);
            inQuad = (inQuad + 1) % 4;
        }
    }
    return quads;
}

TEST(DrawCube, SixOutwardFacesInFixedOrderAroundTheCentre) {
    GlCallLogClear();
    DrawCube(0, 0, 0, 2);
    ASSERT_EQ(GlCallCount("glNormal3f"), 6u);
    ASSERT_EQ(GlCallCount("glVertex3f"), 24u);
    ASSERT_EQ(GlCallLog().front().name, "glBegin");
    EXPECT_EQ(GlCallLog().front().args[0], GL_QUADS);
    EXPECT_EQ(GlCallLog().back().name, "glEnd");
    EXPECT_EQ(GlCallCount("glPushMatrix") + GlCallCount("glTranslatef"), 0u);

    const Vec faceNormals[6] = {{1, 0, 0},  {0, 0, 1}, {-1, 0, 0},
                                {0, 0, -1}, {0, 1, 0}, {0, -1, 0}};
    const std::vector<Quad> quads = LoggedQuads();
    ASSERT_EQ(quads.size(), 6u);
    for (int f = 0; f < 6; ++f) {
        EXPECT_EQ(quads[f].normal, faceNormals[f]) << "face " << f;
        for (const Vec& v : quads[f].vertices) {
            for (int axis = 0; axis < 3; ++axis) {
                EXPECT_EQ(std::fabs(v[axis]), 1.0) << "face " << f;
                // The face lies in the plane its normal points out of.
                if (faceNormals[f][axis] != 0) {
                    EXPECT_EQ(v[axis], faceNormals[f][axis]) << "face " << f;
                }
            }
        }
    }
}

TEST(DrawCube, VertexOrderFollowsTheFaceTableAndAddsTheCentre) {
    GlCallLogClear();
    DrawCube(1, 2, 3, 0.5f);
    const std::vector<Quad> quads = LoggedQuads();
    ASSERT_EQ(quads.size(), 6u);
    const double l = 0.75, r = 1.25, b = 1.75, t = 2.25, k = 2.75, f = 3.25;
    const std::array<Vec, 4> expected[6] = {
        {{{r, t, k}, {r, t, f}, {r, b, f}, {r, b, k}}},
        {{{l, t, f}, {r, t, f}, {r, b, f}, {l, b, f}}},
        {{{l, t, k}, {l, t, f}, {l, b, f}, {l, b, k}}},
        {{{l, t, k}, {r, t, k}, {r, b, k}, {l, b, k}}},
        {{{l, t, f}, {r, t, f}, {r, t, k}, {l, t, k}}},
        {{{l, b, f}, {r, b, f}, {r, b, k}, {l, b, k}}},
    };
    for (int face = 0; face < 6; ++face) {
        EXPECT_EQ(quads[face].vertices, expected[face]) << "face " << face;
    }
}

// The logged turn applied to +Z must give the direction; returns the turn.
static GlCall ExpectTurnOnto(const Vec& direction) {
    const std::vector<GlCall> rotations = GlCallsNamed("glRotatef");
    EXPECT_EQ(rotations.size(), 1u);
    if (rotations.size() != 1) {
        return {};
    }
    const GlCall& turn = rotations[0];
    const Vec turned = Rotate({0, 0, 1}, turn.args[0], Args3(turn, 1));
    const double length = std::sqrt(direction[0] * direction[0] + direction[1] * direction[1] +
                                    direction[2] * direction[2]);
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(turned[i], direction[i] / length, 1e-5) << "component " << i;
    }
    return turn;
}

TEST(DrawOrientedCube, TurnsTowardXAboutYAndRestoresTheMatrix) {
    GlCallLogClear();
    DrawOrientedCube(0, 0, 0, 2, {1, 0, 0});
    const std::vector<GlCall>& log = GlCallLog();
    ASSERT_GE(log.size(), 5u);
    EXPECT_EQ(log[0].name, "glPushMatrix");
    EXPECT_EQ(log[1].name, "glTranslatef");
    EXPECT_EQ(log[2].name, "glRotatef");
    EXPECT_EQ(log[3].name, "glBegin");
    EXPECT_EQ(log.back().name, "glPopMatrix");
    EXPECT_EQ(GlCallCount("glPushMatrix"), 1u);
    EXPECT_EQ(GlCallCount("glPopMatrix"), 1u);
    const GlCall turn = ExpectTurnOnto({1, 0, 0});
    EXPECT_NEAR(turn.args[0], 90.0, 1e-4);
    EXPECT_EQ(Args3(turn, 1), (Vec{0, 1, 0}));

    // Turned, the four sides lie in y = +-1 and z = +-1 with inward
    // normals; the open ends face x = +-1.
    const std::vector<Quad> quads = LoggedQuads();
    ASSERT_EQ(quads.size(), 4u);
    for (const Quad& quad : quads) {
        const Vec normal = Rotate(quad.normal, turn.args[0], Args3(turn, 1));
        const Vec corner = Rotate(quad.vertices[0], turn.args[0], Args3(turn, 1));
        EXPECT_NEAR(std::fabs(normal[0]), 0, 1e-6);
        EXPECT_NEAR(normal[1] * corner[1] + normal[2] * corner[2], -1, 1e-5);
        int inPlane = 0;
        for (const Vec& local : quad.vertices) {
            const Vec v = Rotate(local, turn.args[0], Args3(turn, 1));
            EXPECT_NEAR(std::fabs(v[0]), 1, 1e-5);
            inPlane += (std::fabs(std::fabs(v[1]) - 1) < 1e-5 && std::fabs(normal[1]) > 0.5) ||
                       (std::fabs(std::fabs(v[2]) - 1) < 1e-5 && std::fabs(normal[2]) > 0.5);
        }
        EXPECT_EQ(inPlane, 4);
    }
}

TEST(DrawOrientedCube, OnlyTheDirectionsOrientationMatters) {
    GlCallLogClear();
    DrawOrientedCube(1, 2, 3, 0.1f, {0, 0.5f, 0});
    const GlCall half = ExpectTurnOnto({0, 1, 0});
    EXPECT_EQ(GlCallsNamed("glTranslatef")[0].args, (std::vector<double>{1, 2, 3}));
    GlCallLogClear();
    DrawOrientedCube(1, 2, 3, 0.1f, {0, 7, 0});
    const GlCall seven = ExpectTurnOnto({0, 1, 0});
    EXPECT_EQ(half.args[0], seven.args[0]);
    for (const Vec& direction : {Vec{1, 2, 3}, Vec{-1, -1, 0.2}, Vec{0.3, -4, -2}}) {
        GlCallLogClear();
        DrawOrientedCube(0, 0, 0, 1,
                         {static_cast<float>(direction[0]), static_cast<float>(direction[1]),
                          static_cast<float>(direction[2])});
        ExpectTurnOnto(direction);
    }
}

TEST(DrawOrientedCube, DirectionAlongZDrawsUnturned) {
    for (float z : {1.0f, -3.0f}) {
        GlCallLogClear();
        DrawOrientedCube(4, 5, 6, 2, {0, 0, z});
        EXPECT_EQ(GlCallCount("glRotatef"), 0u) << "z " << z;
        const std::vector<GlCall>& log = GlCallLog();
        EXPECT_EQ(log[0].name, "glPushMatrix");
        EXPECT_EQ(log[1].name, "glTranslatef");
        EXPECT_EQ(log[2].name, "glBegin");
        EXPECT_EQ(log.back().name, "glPopMatrix");
        EXPECT_EQ(GlCallCount("glVertex3f"), 16u);
    }
}

TEST(DrawOrientedCylinder, OpenTubeOfRadiusAndLengthWithInwardHalfRadiusNormals) {
    GlCallLogClear();
    const float r = 2, halfLength = 3, n = 3;
    DrawOrientedCylinder(0, 0, 0, r, halfLength, n, {1, 0, 0});
    ExpectTurnOnto({1, 0, 0});
    EXPECT_EQ(GlCallLog().back().name, "glPopMatrix");
    const std::vector<Quad> quads = LoggedQuads();
    // 4n quads, plus one over the first where the float sum stays in bound.
    EXPECT_GE(quads.size(), 4 * n);
    EXPECT_LE(quads.size(), 4 * n + 1);
    for (const Quad& quad : quads) {
        EXPECT_NEAR(std::hypot(quad.normal[0], quad.normal[1]), r / 2, 1e-5);
        EXPECT_EQ(quad.normal[2], 0);
        for (const Vec& v : quad.vertices) {
            EXPECT_NEAR(std::hypot(v[0], v[1]), r, 1e-5);
            EXPECT_EQ(std::fabs(v[2]), halfLength);
            EXPECT_LT(quad.normal[0] * v[0] + quad.normal[1] * v[1], 0);
        }
    }
}

TEST(DrawSphere, QuadsCoverTheSphereWithoutNormalsOrMatrixChanges) {
    GlCallLogClear();
    const float r = 1.5f, n = 4;
    DrawSphere(r, n);
    EXPECT_EQ(GlCallCount("glNormal3f"), 0u);
    EXPECT_EQ(GlCallCount("glPushMatrix") + GlCallCount("glRotatef"), 0u);
    const std::vector<Quad> quads = LoggedQuads();
    EXPECT_GE(quads.size(), 4 * n * 2 * n);
    EXPECT_LE(quads.size(), (4 * n + 1) * (2 * n + 1));
    bool reachedPole = false;
    for (const Quad& quad : quads) {
        for (const Vec& v : quad.vertices) {
            EXPECT_NEAR(std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]), r, 1e-5);
            reachedPole = reachedPole || std::fabs(v[1] - r) < 1e-5;
        }
    }
    EXPECT_TRUE(reachedPole);
}
