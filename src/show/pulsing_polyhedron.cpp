// A breathing star: a cube whose six faces each carry a four-sided pyramid,
// turning about a tilted axis, lit with one flat normal per triangle, and
// the slot-3 picture lying below and behind it. The tips breathe with the
// sine and the cube corners with the cosine of the same phase.
#include "assets/scene_resources.h"
#include "geometry/vector.h"
#include "platform/gl.h"
#include "show/scenes.h"

// Rotation (twice this, in degrees) and breathing phase (0.05 of this, in
// radians). Grows with the wall clock, never wrapped.
float polyhedronAngle = kPolyhedronAngleStart;

static constexpr int kVertexCount = 14;
static constexpr int kTriangleCount = 24;
// Degrees of angle per millisecond (70 per second).
static constexpr double kAngleRate = 0.07;
static constexpr float kBreathingRate = 0.05f;

// Tips 0..5 on the axes at distance 5, then the cube corners at +-1.8.
static const Vector3 kBasePositions[kVertexCount] = {
    {0.0f, 5.0f, 0.0f},    {0.0f, 0.0f, 5.0f},   {5.0f, 0.0f, 0.0f},   {0.0f, -5.0f, 0.0f},
    {0.0f, 0.0f, -5.0f},   {-5.0f, 0.0f, 0.0f},  {-1.8f, 1.8f, 1.8f},  {1.8f, 1.8f, 1.8f},
    {-1.8f, -1.8f, 1.8f},  {1.8f, -1.8f, 1.8f},  {-1.8f, 1.8f, -1.8f}, {1.8f, 1.8f, -1.8f},
    {-1.8f, -1.8f, -1.8f}, {1.8f, -1.8f, -1.8f},
};

// Drawn as first, tip, third; normal = (v[a] - tip) x (v[b] - tip). The
// windings and operand orders are mixed: eight of the normals point into
// the solid, so those faces show only the ambient light.
struct PolyhedronTriangle {
    int first;
    int tip;
    int third;
    int a;
    int b;
};

static const PolyhedronTriangle kTriangles[kTriangleCount] = {
    {10, 0, 11, 11, 10}, {11, 0, 7, 11, 7},   {7, 0, 6, 6, 7},     {6, 0, 10, 6, 10},
    {6, 1, 7, 7, 6},     {7, 1, 9, 9, 7},     {9, 1, 8, 8, 9},     {8, 1, 6, 6, 8},
    {11, 2, 7, 7, 11},   {13, 2, 11, 13, 11}, {9, 2, 13, 13, 9},   {7, 2, 9, 7, 9},
    {12, 3, 13, 12, 13}, {9, 3, 13, 9, 13},   {8, 3, 9, 9, 8},     {8, 3, 12, 12, 8},
    {11, 4, 10, 10, 11}, {13, 4, 11, 11, 13}, {13, 4, 12, 13, 12}, {10, 4, 12, 12, 10},
    {10, 5, 6, 10, 6},   {12, 5, 10, 10, 12}, {8, 5, 12, 8, 12},   {6, 5, 8, 8, 6},
};

// Moves each vertex in [begin, end) along its own position vector by the
// fraction `amount`.
static void Displace(Vector3* vertices, int begin, int end, float amount) {
    Vector3 offset;
    for (int i = begin; i < end; ++i) {
        VecAdd(vertices[i], vertices[i], VecScale(offset, vertices[i], amount));
    }
}

static void DrawSolid() {
    Vector3 vertices[kVertexCount];
    for (int i = 0; i < kVertexCount; ++i) {
        vertices[i] = kBasePositions[i];
    }
    const float phase = kBreathingRate * polyhedronAngle;
    Displace(vertices, 0, 6, static_cast<float>(0.5 * SinF(phase)));
    Displace(vertices, 6, kVertexCount, static_cast<float>(0.5 * CosF(phase)));

    glDisable(GL_TEXTURE_2D);
    glBegin(GL_TRIANGLES);
    Vector3 toA;
    Vector3 toB;
    Vector3 normal;
    for (const PolyhedronTriangle& triangle : kTriangles) {
        const Vector3& tip = vertices[triangle.tip];
        VecCross(normal, VecSub(toA, vertices[triangle.a], tip),
                 VecSub(toB, vertices[triangle.b], tip));
        glNormal3f(normal.x, normal.y, normal.z);
        glVertex3f(vertices[triangle.first].x, vertices[triangle.first].y,
                   vertices[triangle.first].z);
        glVertex3f(tip.x, tip.y, tip.z);
        glVertex3f(vertices[triangle.third].x, vertices[triangle.third].y,
                   vertices[triangle.third].z);
    }
    glEnd();
}

void AdvancePulsingPolyhedron(double frameMs) {
    polyhedronAngle = static_cast<float>(polyhedronAngle + kAngleRate * frameMs);
}

void DrawPulsingPolyhedron(double frameMs) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glEnable(GL_LIGHTING);
    glTranslatef(3.0f, 0.0f, -30.0f);
    glPushMatrix();
    glRotatef(2.0f * polyhedronAngle, 0.6f, 1.0f, 0.3f);
    DrawSolid();
    glPopMatrix();

    // The picture, 40 units in front of the viewer, below left of the solid.
    glTranslatef(0.0f, 0.0f, -10.0f);
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, textureNames[kSlotKlump]);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-16.0f, -16.0f, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(-5.0f, -16.0f, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(-5.0f, -5.0f, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-16.0f, -5.0f, 0.0f);
    glEnd();

    AdvancePulsingPolyhedron(frameMs);
}
