// Immediate-mode solids, each one batch of GL_QUADS between its own glBegin
// and glEnd. They set no colour, material, texture coordinate or render
// state; they draw with whatever the calling scene has set up. Call them
// outside any glBegin/glEnd pair with the modelview matrix current.
#pragma once

#include "geometry/vector.h"

// Axis-aligned cube of edge length `edge` centred on (x, y, z), outward
// normals, faces +X, +Z, -X, -Z, +Y, -Y. The matrix is untouched.
void DrawCube(float x, float y, float z, float edge);

// Square tube of side and length `edge` at (x, y, z), its open ends facing
// along `direction` (any non-zero length), normals pointing inward. The
// modelview matrix is saved and restored.
void DrawOrientedCube(float x, float y, float z, float edge, Vector3 direction);

// Sphere of radius r around the current origin, 4n by 2n quads, no normals.
// n must be positive.
void DrawSphere(float radius, float divisions);

// Open cylinder of radius r and length 2 * halfLength at (x, y, z), its axis
// along `direction`, 4n side quads with inward normals of length r / 2. The
// modelview matrix is saved and restored. n must be positive.
void DrawOrientedCylinder(float x, float y, float z, float radius, float halfLength,
                          float divisions, Vector3 direction);
