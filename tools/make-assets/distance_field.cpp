#include "distance_field.h"

#include <algorithm>
#include <cmath>

static constexpr double kFar = 1.0e9;

DistanceField MakeDistanceField(int width, int height) {
    DistanceField field{width, height, {}};
    field.distance.assign(static_cast<size_t>(width) * static_cast<size_t>(height), kFar);
    return field;
}

double DistanceAt(const DistanceField& field, int x, int y) {
    if (x < 0 || y < 0 || x >= field.width || y >= field.height) {
        return kFar;
    }
    return field.distance[static_cast<size_t>(y) * static_cast<size_t>(field.width) +
                          static_cast<size_t>(x)];
}

double SampleDistance(const DistanceField& field, double x, double y) {
    double fx = std::floor(x);
    double fy = std::floor(y);
    int ix = static_cast<int>(fx);
    int iy = static_cast<int>(fy);
    double tx = x - fx;
    double ty = y - fy;
    double a = DistanceAt(field, ix, iy);
    double b = DistanceAt(field, ix + 1, iy);
    double c = DistanceAt(field, ix, iy + 1);
    double d = DistanceAt(field, ix + 1, iy + 1);
    if (std::max({a, b, c, d}) >= kFar) {
        return std::min({a, b, c, d});  // off the stamped region: no blending with "far"
    }
    double top = a + (b - a) * tx;
    double bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

void StampShape(DistanceField& field, double x0, double y0, double x1, double y1,
                const std::function<double(double px, double py)>& shape) {
    int left = std::max(0, static_cast<int>(std::floor(x0)));
    int top = std::max(0, static_cast<int>(std::floor(y0)));
    int right = std::min(field.width - 1, static_cast<int>(std::ceil(x1)));
    int bottom = std::min(field.height - 1, static_cast<int>(std::ceil(y1)));
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
            double& stored = field.distance[static_cast<size_t>(y) * field.width + x];
            stored = std::min(stored, shape(x + 0.5, y + 0.5));
        }
    }
}

void StampCapsule(DistanceField& field, double ax, double ay, double bx, double by, double radius,
                  double reach) {
    double margin = radius + reach;
    double dx = bx - ax;
    double dy = by - ay;
    double lengthSquared = dx * dx + dy * dy;
    StampShape(field, std::min(ax, bx) - margin, std::min(ay, by) - margin,
               std::max(ax, bx) + margin, std::max(ay, by) + margin, [&](double px, double py) {
                   double t = 0.0;
                   if (lengthSquared > 0.0) {
                       t = std::clamp(((px - ax) * dx + (py - ay) * dy) / lengthSquared, 0.0, 1.0);
                   }
                   double ex = px - (ax + dx * t);
                   double ey = py - (ay + dy * t);
                   return std::sqrt(ex * ex + ey * ey) - radius;
               });
}

void StampBox(DistanceField& field, double cx, double cy, double halfWidth, double halfHeight,
              double reach) {
    StampShape(field, cx - halfWidth - reach, cy - halfHeight - reach, cx + halfWidth + reach,
               cy + halfHeight + reach, [&](double px, double py) {
                   return BoxDistance(px, py, cx, cy, halfWidth, halfHeight);
               });
}

double BoxDistance(double px, double py, double cx, double cy, double halfWidth,
                   double halfHeight) {
    double qx = std::fabs(px - cx) - halfWidth;
    double qy = std::fabs(py - cy) - halfHeight;
    double ox = std::max(qx, 0.0);
    double oy = std::max(qy, 0.0);
    return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0);
}

double Coverage(double distance) {
    return std::clamp(0.5 - distance, 0.0, 1.0);
}
