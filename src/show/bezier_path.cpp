// The camera and light 1 fly along a cubic Bezier curve past a trail of
// small square tubes standing along the whole curve, each facing the
// curve's direction. The trail is rebuilt identically every frame; only the
// camera and the light move.
#include "assets/scene_resources.h"
#include "geometry/bezier.h"
#include "geometry/primitives.h"
#include "platform/gl.h"
#include "show/scenes.h"

// The camera's parameter on the curve; grows with the wall clock, unclamped.
float pathParameter = kPathParameterStart;

// Parameter per millisecond: about half the curve over the scene's 25 s.
static constexpr float kPathRate = 0.00002f;
static constexpr float kTubeEdge = 0.1f;
// A tube is placed once the curve has moved this far from the last one.
static constexpr double kTubeSpacing = 0.4;

static Vector3& PathPoint(Vector3& destination, float t) {
    // z evenly spaced: the curve advances along +z at 120 units per unit t.
    const Vector3 p0 = {0.0f, 0.0f, 0.0f};
    const Vector3 p1 = {5.0f, 6.5f, 40.0f};
    const Vector3 p2 = {-12.0f, -2.0f, 80.0f};
    const Vector3 p3 = {15.0f, 4.0f, 120.0f};
    return BezierPoint(destination, t, p0, p1, p2, p3);
}

static void DrawTrail() {
    Vector3 last;
    PathPoint(last, 0.0f);
    Vector3 current;
    Vector3 ahead;
    Vector3 difference;
    for (float s = 0.001f; s <= 1.0f; s = static_cast<float>(s + 0.005)) {
        PathPoint(current, s);
        if (VecLength(VecSub(difference, current, last)) >= kTubeSpacing) {
            PathPoint(ahead, static_cast<float>(s + 0.01));
            DrawOrientedCube(current.x, current.y, current.z, kTubeEdge,
                             VecSub(difference, ahead, current));
            last = current;
        }
    }
}

// Light 1 rides just ahead of the camera, where it looks: the position is
// kept, as later scenes and a re-opened display light with it.
static void PlaceLightAhead(Vector3* target) {
    PathPoint(*target, static_cast<float>(pathParameter + 0.01));
    lightPosition[0] = target->x;
    lightPosition[1] = target->y;
    lightPosition[2] = target->z;
    lightPosition[3] = 1.0f;
}

void DrawBezierPath(double frameMs) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glEnable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);

    Vector3 eye;
    Vector3 target;
    PathPoint(eye, pathParameter);
    PlaceLightAhead(&target);
    // Set while the matrix is still the identity, so GL takes the target's
    // world coordinates as an eye-space position.
    glLightfv(GL_LIGHT1, GL_POSITION, lightPosition);

    gluLookAt(eye.x, eye.y, eye.z, target.x, target.y, target.z, 0.0, 1.0, 0.0);
    DrawTrail();

    pathParameter = static_cast<float>(pathParameter + frameMs * static_cast<double>(kPathRate));
}

void AdvanceBezierPath(double frameMs) {
    Vector3 target;
    PlaceLightAhead(&target);
    pathParameter = static_cast<float>(pathParameter + frameMs * static_cast<double>(kPathRate));
}
