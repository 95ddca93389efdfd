// Three-component float vectors and float math wrappers. Vector-valued
// operations write into a caller-supplied destination (first parameter),
// compute every component before writing any, and return the destination,
// so the destination may also be an input. Arithmetic runs in double and is
// stored as float; degenerate input gives infinities or NaN, never a trap.
#pragma once

#include <cmath>

struct Vector3 {
    float x;
    float y;
    float z;
};

inline float SinF(float angle) {
    return static_cast<float>(std::sin(static_cast<double>(angle)));
}
inline float CosF(float angle) {
    return static_cast<float>(std::cos(static_cast<double>(angle)));
}
inline float PowF(float base, float exponent) {
    return static_cast<float>(std::pow(static_cast<double>(base), static_cast<double>(exponent)));
}
inline float AcosF(float value) {
    return static_cast<float>(std::acos(static_cast<double>(value)));
}
inline float SqrtF(float value) {
    return static_cast<float>(std::sqrt(static_cast<double>(value)));
}

inline Vector3& VecAdd(Vector3& destination, const Vector3& a, const Vector3& b) {
    const double x = static_cast<double>(a.x) + b.x;
    const double y = static_cast<double>(a.y) + b.y;
    const double z = static_cast<double>(a.z) + b.z;
    destination = {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
    return destination;
}

inline Vector3& VecSub(Vector3& destination, const Vector3& a, const Vector3& b) {
    const double x = static_cast<double>(a.x) - b.x;
    const double y = static_cast<double>(a.y) - b.y;
    const double z = static_cast<double>(a.z) - b.z;
    destination = {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
    return destination;
}

// Three divisions rather than one reciprocal, so each component is the
// correctly rounded quotient.
inline Vector3& VecDivScalar(Vector3& destination, const Vector3& v, const float& s) {
    const double x = static_cast<double>(v.x) / s;
    const double y = static_cast<double>(v.y) / s;
    const double z = static_cast<double>(v.z) / s;
    destination = {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
    return destination;
}

inline Vector3& VecDivComponents(Vector3& destination, const Vector3& a, const Vector3& b) {
    const double x = static_cast<double>(a.x) / b.x;
    const double y = static_cast<double>(a.y) / b.y;
    const double z = static_cast<double>(a.z) / b.z;
    destination = {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
    return destination;
}

inline Vector3& VecScale(Vector3& destination, const Vector3& v, const float& s) {
    const double x = static_cast<double>(v.x) * s;
    const double y = static_cast<double>(v.y) * s;
    const double z = static_cast<double>(v.z) * s;
    destination = {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
    return destination;
}

inline float VecDot(const Vector3& a, const Vector3& b) {
    const double sum = static_cast<double>(a.x) * b.x + static_cast<double>(a.y) * b.y +
                       static_cast<double>(a.z) * b.z;
    return static_cast<float>(sum);
}

inline float VecLength(Vector3 v) {
    const double squares = static_cast<double>(v.x) * v.x + static_cast<double>(v.y) * v.y +
                           static_cast<double>(v.z) * v.z;
    return SqrtF(static_cast<float>(squares));
}

// No zero-length test: the zero vector gives NaN components.
inline Vector3& VecNormalize(Vector3& destination, Vector3 v) {
    const float length = VecLength(v);
    return VecDivScalar(destination, v, length);
}

// The cosine is not clamped to [-1, 1]; a zero-length input gives NaN.
inline float VecAngle(Vector3 a, Vector3 b) {
    const float dot = VecDot(a, b);
    const float lengthA = VecLength(a);
    const float lengthB = VecLength(b);
    return AcosF(static_cast<float>(dot / (static_cast<double>(lengthB) * lengthA)));
}

// Right-handed: VecCross((0, 0, 1), d) is (-d.y, d.x, 0).
inline Vector3& VecCross(Vector3& destination, Vector3 a, Vector3 b) {
    const double x = static_cast<double>(a.y) * b.z - static_cast<double>(a.z) * b.y;
    const double y = static_cast<double>(a.z) * b.x - static_cast<double>(a.x) * b.z;
    const double z = static_cast<double>(a.x) * b.y - static_cast<double>(a.y) * b.x;
    destination = {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
    return destination;
}
