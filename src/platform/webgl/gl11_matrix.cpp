#include "platform/webgl/gl11_matrix.h"

#include <cmath>

static float& At(Gl11Matrix& matrix, int row, int column) {
    return matrix.m[column * 4 + row];
}

Gl11Matrix Gl11MatrixIdentity() {
    Gl11Matrix identity = {};
    identity.m[0] = identity.m[5] = identity.m[10] = identity.m[15] = 1.0f;
    return identity;
}

Gl11Matrix Gl11MatrixMultiply(const Gl11Matrix& a, const Gl11Matrix& b) {
    Gl11Matrix product;
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) {
                sum += a.m[k * 4 + row] * b.m[column * 4 + k];
            }
            product.m[column * 4 + row] = sum;
        }
    }
    return product;
}

Gl11Matrix Gl11MatrixTranslation(float x, float y, float z) {
    Gl11Matrix translation = Gl11MatrixIdentity();
    translation.m[12] = x;
    translation.m[13] = y;
    translation.m[14] = z;
    return translation;
}

// R = u u^T + cos(a) (I - u u^T) + sin(a) S, with u the unit axis and S its
// cross-product matrix.
Gl11Matrix Gl11MatrixRotation(float degrees, float x, float y, float z) {
    Gl11Matrix rotation = Gl11MatrixIdentity();
    const double length = std::sqrt(static_cast<double>(x) * x + static_cast<double>(y) * y +
                                    static_cast<double>(z) * z);
    if (length == 0.0) {
        return rotation;
    }
    const double u[3] = {x / length, y / length, z / length};
    const double radians = degrees * 3.14159265358979323846 / 180.0;
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    const double cross[3][3] = {{0.0, -u[2], u[1]}, {u[2], 0.0, -u[0]}, {-u[1], u[0], 0.0}};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            const double outer = u[row] * u[column];
            const double identity = row == column ? 1.0 : 0.0;
            At(rotation, row, column) =
                static_cast<float>(outer + c * (identity - outer) + s * cross[row][column]);
        }
    }
    return rotation;
}

bool Gl11MatrixPerspective(double fovyDegrees, double aspect, double zNear, double zFar,
                           Gl11Matrix* out) {
    const double halfAngle = fovyDegrees / 2.0 * 3.14159265358979323846 / 180.0;
    const double depth = zFar - zNear;
    const double sine = std::sin(halfAngle);
    if (depth == 0.0 || sine == 0.0 || aspect == 0.0) {
        return false;
    }
    const double f = std::cos(halfAngle) / sine;
    Gl11Matrix projection = {};
    At(projection, 0, 0) = static_cast<float>(f / aspect);
    At(projection, 1, 1) = static_cast<float>(f);
    At(projection, 2, 2) = static_cast<float>((zFar + zNear) / (zNear - zFar));
    At(projection, 2, 3) = static_cast<float>(2.0 * zFar * zNear / (zNear - zFar));
    At(projection, 3, 2) = -1.0f;
    *out = projection;
    return true;
}

// A zero vector stays zero (no direction to keep).
static void Normalize(double v[3]) {
    const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (length != 0.0) {
        v[0] /= length;
        v[1] /= length;
        v[2] /= length;
    }
}

static void Cross(const double a[3], const double b[3], double out[3]) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

Gl11Matrix Gl11MatrixLookAt(double eyeX, double eyeY, double eyeZ, double centerX, double centerY,
                            double centerZ, double upX, double upY, double upZ) {
    double forward[3] = {centerX - eyeX, centerY - eyeY, centerZ - eyeZ};
    double up[3] = {upX, upY, upZ};
    Normalize(forward);
    Normalize(up);
    double side[3];
    Cross(forward, up, side);
    Normalize(side);
    double trueUp[3];
    Cross(side, forward, trueUp);

    Gl11Matrix view = Gl11MatrixIdentity();
    for (int column = 0; column < 3; ++column) {
        At(view, 0, column) = static_cast<float>(side[column]);
        At(view, 1, column) = static_cast<float>(trueUp[column]);
        At(view, 2, column) = static_cast<float>(-forward[column]);
    }
    return Gl11MatrixMultiply(
        view, Gl11MatrixTranslation(static_cast<float>(-eyeX), static_cast<float>(-eyeY),
                                    static_cast<float>(-eyeZ)));
}

void Gl11MatrixTransform(const Gl11Matrix& m, const float in[4], float out[4]) {
    float result[4];
    for (int row = 0; row < 4; ++row) {
        result[row] =
            m.m[row] * in[0] + m.m[4 + row] * in[1] + m.m[8 + row] * in[2] + m.m[12 + row] * in[3];
    }
    for (int row = 0; row < 4; ++row) {
        out[row] = result[row];
    }
}

// (A^-1)^T is the cofactor matrix of A divided by its determinant.
void Gl11MatrixNormal(const Gl11Matrix& modelview, float out[9]) {
    double a[3][3];
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            a[row][column] = modelview.m[column * 4 + row];
        }
    }
    double cofactor[3][3];
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            const int r0 = (row + 1) % 3;
            const int r1 = (row + 2) % 3;
            const int c0 = (column + 1) % 3;
            const int c1 = (column + 2) % 3;
            cofactor[row][column] = a[r0][c0] * a[r1][c1] - a[r0][c1] * a[r1][c0];
        }
    }
    const double determinant =
        a[0][0] * cofactor[0][0] + a[0][1] * cofactor[0][1] + a[0][2] * cofactor[0][2];
    for (int i = 0; i < 9; ++i) {
        out[i] =
            determinant == 0.0 ? 0.0f : static_cast<float>(cofactor[i / 3][i % 3] / determinant);
    }
}
