// Cubic Bezier curves given by four control points in curve order. The
// parameter is not clamped: values outside [0, 1] extrapolate the cubic.
#pragma once

#include "geometry/vector.h"

// The curve point at t.
Vector3& BezierPoint(Vector3& destination, float t, Vector3 p0, Vector3 p1, Vector3 p2, Vector3 p3);

// The unit direction of travel at t: a forward difference to the point 0.001
// further on, not the analytic derivative. Coinciding points give NaN.
Vector3& BezierTangent(Vector3& destination, float t, Vector3 p0, Vector3 p1, Vector3 p2,
                       Vector3 p3);
