#include "geometry/primitives.h"

#include "platform/gl.h"

// The turned shapes' pi, for their angular step and the radians-to-degrees
// factor; the sphere uses the float nearest pi.
static constexpr float kTurnPi = 3.141593f;
static constexpr float kSpherePi = 3.1415927f;

static void EmitVertex(double x, double y, double z) {
    glVertex3f(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
}

void DrawCube(float x, float y, float z, float edge) {
    const float h = static_cast<float>(edge * 0.5);
    const double left = static_cast<double>(x) - h;
    const double right = static_cast<double>(x) + h;
    const double bottom = static_cast<double>(y) - h;
    const double top = static_cast<double>(y) + h;
    const double back = static_cast<double>(z) - h;
    const double front = static_cast<double>(z) + h;
    glBegin(GL_QUADS);
    glNormal3f(1.0f, 0.0f, 0.0f);
    EmitVertex(right, top, back);
    EmitVertex(right, top, front);
    EmitVertex(right, bottom, front);
    EmitVertex(right, bottom, back);
    glNormal3f(0.0f, 0.0f, 1.0f);
    EmitVertex(left, top, front);
    EmitVertex(right, top, front);
    EmitVertex(right, bottom, front);
    EmitVertex(left, bottom, front);
    glNormal3f(-1.0f, 0.0f, 0.0f);
    EmitVertex(left, top, back);
    EmitVertex(left, top, front);
    EmitVertex(left, bottom, front);
    EmitVertex(left, bottom, back);
    glNormal3f(0.0f, 0.0f, -1.0f);
    EmitVertex(left, top, back);
    EmitVertex(right, top, back);
    EmitVertex(right, bottom, back);
    EmitVertex(left, bottom, back);
    glNormal3f(0.0f, 1.0f, 0.0f);
    EmitVertex(left, top, front);
    EmitVertex(right, top, front);
    EmitVertex(right, top, back);
    EmitVertex(left, top, back);
    glNormal3f(0.0f, -1.0f, 0.0f);
    EmitVertex(left, bottom, front);
    EmitVertex(right, bottom, front);
    EmitVertex(right, bottom, back);
    EmitVertex(left, bottom, back);
    glEnd();
}

// Saves the matrix, moves to (x, y, z) and turns local +Z onto `direction`.
// A direction along the Z axis gives a zero rotation axis, for which GL's
// rotation is undefined; both turned shapes look the same under a half turn
// across Z, so they are simply drawn unturned then.
static void BeginTurnedShape(float x, float y, float z, Vector3 direction) {
    const Vector3 unitZ = {0.0f, 0.0f, 1.0f};
    Vector3 axis;
    VecCross(axis, unitZ, direction);
    const float angle = VecAngle(direction, unitZ);
    const float degrees = static_cast<float>(static_cast<double>(angle) * 180.0 / kTurnPi);
    glPushMatrix();
    glTranslatef(x, y, z);
    if (axis.x != 0.0f || axis.y != 0.0f || axis.z != 0.0f) {
        glRotatef(degrees, axis.x, axis.y, axis.z);
    }
}

void DrawOrientedCube(float x, float y, float z, float edge, Vector3 direction) {
    BeginTurnedShape(x, y, z, direction);
    const float h = static_cast<float>(edge * 0.5);
    const float n = -h;
    glBegin(GL_QUADS);
    glNormal3f(-1.0f, 0.0f, 0.0f);
    glVertex3f(h, h, n);
    glVertex3f(h, h, h);
    glVertex3f(h, n, h);
    glVertex3f(h, n, n);
    glNormal3f(1.0f, 0.0f, 0.0f);
    glVertex3f(n, h, n);
    glVertex3f(n, h, h);
    glVertex3f(n, n, h);
    glVertex3f(n, n, n);
    glNormal3f(0.0f, -1.0f, 0.0f);
    glVertex3f(n, h, h);
    glVertex3f(h, h, h);
    glVertex3f(h, h, n);
    glVertex3f(n, h, n);
    glNormal3f(0.0f, 1.0f, 0.0f);
    glVertex3f(n, n, h);
    glVertex3f(h, n, h);
    glVertex3f(h, n, n);
    glVertex3f(n, n, n);
    glEnd();
    glPopMatrix();
}

void DrawSphere(float radius, float divisions) {
    const double r = radius;
    const float step = static_cast<float>(kSpherePi / (2.0 * divisions));
    glBegin(GL_QUADS);
    for (float phi = 0.0f; phi <= 2.0 * kSpherePi; phi += step) {
        const double c0 = CosF(phi);
        const double c1 = CosF(phi + step);
        const double s0 = SinF(phi);
        const double s1 = SinF(phi + step);
        for (float theta = 0.0f; theta < kSpherePi; theta += step) {
            const double ct0 = CosF(theta);
            const double ct1 = CosF(theta + step);
            const double st0 = SinF(theta);
            const double st1 = SinF(theta + step);
            EmitVertex(r * c0 * st0, r * s0, r * c0 * ct0);
            EmitVertex(r * c1 * st0, r * s1, r * c1 * ct0);
            EmitVertex(r * c1 * st1, r * s1, r * c1 * ct1);
            EmitVertex(r * c0 * st1, r * s0, r * c0 * ct1);
        }
    }
    glEnd();
}

void DrawOrientedCylinder(float x, float y, float z, float radius, float halfLength,
                          float divisions, Vector3 direction) {
    BeginTurnedShape(x, y, z, direction);
    const double r = radius;
    const double length = halfLength;
    const float step = static_cast<float>(kTurnPi / (2.0 * divisions));
    glBegin(GL_QUADS);
    for (float a = 0.0f; a <= 2.0 * kTurnPi; a += step) {
        const double cosA = CosF(a);
        const double sinA = SinF(a);
        const double cosNext = CosF(a + step);
        const double sinNext = SinF(a + step);
        glNormal3f(static_cast<float>(-r * cosA / 2.0), static_cast<float>(-r * sinA / 2.0), 0.0f);
        EmitVertex(r * cosNext, r * sinNext, -length);
        EmitVertex(r * cosA, r * sinA, -length);
        EmitVertex(r * cosA, r * sinA, length);
        EmitVertex(r * cosNext, r * sinNext, length);
    }
    glEnd();
    glPopMatrix();
}
