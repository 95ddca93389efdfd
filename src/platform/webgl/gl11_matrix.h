// 4 x 4 matrices as OpenGL 1.1 keeps them: 32-bit floats in column-major
// order (element [column * 4 + row]), each new transform multiplied onto the
// right of the current matrix. The GLU matrices are formed in double
// precision and stored as float, as glMultMatrixd does with them.
#pragma once

struct Gl11Matrix {
    float m[16];
};

Gl11Matrix Gl11MatrixIdentity();

// a * b: b applies first to a vertex.
Gl11Matrix Gl11MatrixMultiply(const Gl11Matrix& a, const Gl11Matrix& b);

Gl11Matrix Gl11MatrixTranslation(float x, float y, float z);

// glRotatef: degrees counter-clockwise about the axis (x, y, z), which is
// normalised first. A zero axis has no direction; the identity comes back.
Gl11Matrix Gl11MatrixRotation(float degrees, float x, float y, float z);

// gluPerspective. False, with *out untouched, for a degenerate frustum (equal
// near and far, zero aspect or a field of view with no sine), where GLU
// leaves the matrix alone.
bool Gl11MatrixPerspective(double fovyDegrees, double aspect, double zNear, double zFar,
                           Gl11Matrix* out);

// gluLookAt: the eye moved to the origin looking down -z with up towards +y.
// The side vector is normalised before the true up is formed from it, so the
// rotation stays orthonormal whatever the angle between view and up.
Gl11Matrix Gl11MatrixLookAt(double eyeX, double eyeY, double eyeZ, double centerX, double centerY,
                            double centerZ, double upX, double upY, double upZ);

// out = m * in for a homogeneous point.
void Gl11MatrixTransform(const Gl11Matrix& m, const float in[4], float out[4]);

// The matrix that takes object normals to eye normals: the inverse of the
// upper-left 3 x 3 of the modelview, transposed (row-major 3 x 3 in out).
// A singular matrix gives zeros, so such normals light with ambient only.
void Gl11MatrixNormal(const Gl11Matrix& modelview, float out[9]);
