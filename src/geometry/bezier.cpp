#include "geometry/bezier.h"

static float BlendComponent(float w0, float w1, float w2, float w3, float c0, float c1, float c2,
                            float c3) {
    const double sum = static_cast<double>(w0) * c0 + static_cast<double>(w1) * c1 +
                       static_cast<double>(w2) * c2 + static_cast<double>(w3) * c3;
    return static_cast<float>(sum);
}

Vector3& BezierPoint(Vector3& destination, float t, Vector3 p0, Vector3 p1, Vector3 p2,
                     Vector3 p3) {
    // Bernstein weights, each stored as a float.
    const float u = static_cast<float>(1.0 - t);
    const float w0 = static_cast<float>(static_cast<double>(u) * u * u);
    const float w1 = static_cast<float>(3.0 * t * u * u);
    const float w2 = static_cast<float>(3.0 * t * t * u);
    const float w3 = static_cast<float>(static_cast<double>(t) * t * t);
    destination = {BlendComponent(w0, w1, w2, w3, p0.x, p1.x, p2.x, p3.x),
                   BlendComponent(w0, w1, w2, w3, p0.y, p1.y, p2.y, p3.y),
                   BlendComponent(w0, w1, w2, w3, p0.z, p1.z, p2.z, p3.z)};
    return destination;
}

Vector3& BezierTangent(Vector3& destination, float t, Vector3 p0, Vector3 p1, Vector3 p2,
                       Vector3 p3) {
    Vector3 here;
    Vector3 ahead;
    BezierPoint(here, t, p0, p1, p2, p3);
    BezierPoint(ahead, static_cast<float>(t + 0.001), p0, p1, p2, p3);
    Vector3 step;
    return VecNormalize(destination, VecSub(step, ahead, here));
}
