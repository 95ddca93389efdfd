// The title picture: "VUP" in chrome letters over a synthwave sunset.
#include <cmath>
#include <vector>

#include "pictures.h"
#include "pixel_font.h"
#include "shape_paint.h"

namespace {

constexpr int kSize = 512;
constexpr double kPi = 3.14159265358979323846;
// Column of the vanishing point and the title's centre: the middle of the part
// of the picture that is on screen in the opening scene.
constexpr double kCentreX = 236.0;
constexpr double kHorizonY = 272.0;

struct Point {
    double x;
    double y;
};

void PaintSky(Canvas& canvas) {
    const Colour sky[] = {FromHex(0x070320), FromHex(0x1c0a44), FromHex(0x4a1066),
                          FromHex(0x9c2577), FromHex(0xf0604a), FromHex(0xffb056)};
    for (int y = 0; y < kHorizonY; ++y) {
        Colour c = Ramp(sky, 6, std::pow(y / kHorizonY, 1.35));
        for (int x = 0; x < kSize; ++x) {
            PixelAt(canvas, x, y) = c;
        }
    }
    // Stars thin out toward the bright horizon.
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < kSize; ++x) {
            double h = HashUnit(x, y, 11);
            double fade = 1.0 - y / 200.0;
            if (h < 0.0035 * fade) {
                double brightness = 0.4 + 0.6 * HashUnit(x, y, 12);
                AddPixel(canvas, x, y, FromHex(0xfff4e0), brightness * fade);
                if (brightness > 0.85) {  // the brightest get a small cross
                    for (int k = -2; k <= 2; ++k) {
                        if (k != 0) {
                            double a = 0.35 * brightness * fade / std::abs(k);
                            AddPixel(canvas, x + k, y, FromHex(0xffd8f0), a);
                            AddPixel(canvas, x, y + k, FromHex(0xffd8f0), a);
                        }
                    }
                }
            }
        }
    }
}

void PaintSun(Canvas& canvas) {
    const double cx = kCentreX;
    const double cy = kHorizonY - 64.0;
    const double radius = 112.0;
    const Colour sunTop = FromHex(0xfff17a);
    const Colour sunBottom = FromHex(0xff2d78);
    for (int y = 0; y < kHorizonY; ++y) {
        for (int x = 0; x < kSize; ++x) {
            double dx = x + 0.5 - cx;
            double dy = y + 0.5 - cy;
            double r = std::sqrt(dx * dx + dy * dy);
            AddPixel(canvas, x, y, FromHex(0xff5a6e),
                     0.55 * std::exp(-(r - radius) / 60.0) * (r > radius ? 1.0 : 0.0));
            double cover = Clamp01(radius - r + 0.5);
            if (cover <= 0.0) {
                continue;
            }
            // Horizontal slits across the lower half, widening toward the bottom.
            double t = (y + 0.5 - (cy - radius)) / (2.0 * radius);
            if (t > 0.42) {
                double band = (t - 0.42) * 11.0;
                double phase = band - std::floor(band);
                double gap = 0.1 + 0.9 * (t - 0.42);
                cover *= SmoothStep(gap - 0.06, gap, phase);
            }
            BlendPixel(canvas, x, y, Mix(sunTop, sunBottom, SmoothStep(0.1, 0.95, t)), cover);
        }
    }
}

void PaintMountains(Canvas& canvas) {
    const Colour far = FromHex(0x3a1458);
    const Colour near = FromHex(0x160726);
    for (int x = 0; x < kSize; ++x) {
        double u = x / 64.0;
        double ridgeFar = 34.0 * ValueNoise(u * 1.3, 0.0, 21) + 14.0 * ValueNoise(u * 4.0, 3.0, 22);
        double ridgeNear = 22.0 * ValueNoise(u * 2.1, 7.0, 23) + 8.0 * ValueNoise(u * 7.0, 9.0, 24);
        // Keep the middle low so the sun rises out of a valley.
        double valley = 1.0 - 0.85 * std::exp(-std::pow((x - kCentreX) / 90.0, 2.0));
        double topFar = kHorizonY - ridgeFar * valley - 4.0;
        double topNear = kHorizonY - ridgeNear * valley;
        for (int y = static_cast<int>(topFar) - 1; y < kHorizonY; ++y) {
            BlendPixel(canvas, x, y, far, Clamp01(y + 0.5 - topFar) * 0.9);
            BlendPixel(canvas, x, y, near, Clamp01(y + 0.5 - topNear));
        }
    }
}

void PaintFloor(Canvas& canvas) {
    const Colour deep = FromHex(0x12031f);
    const Colour haze = FromHex(0x5a1660);
    const Colour line = FromHex(0xff3fc8);
    const Colour lineFar = FromHex(0xffa060);
    const double cameraHeight = 60.0;  // scales how fast the rows close up
    for (int y = static_cast<int>(kHorizonY); y < kSize; ++y) {
        double below = y + 0.5 - kHorizonY;
        double depth = cameraHeight / below;  // distance of this row on the ground
        Colour ground = Mix(haze, deep, Clamp01(below / 70.0));
        double fog = std::exp(-below / 18.0);
        for (int x = 0; x < kSize; ++x) {
            double worldX = (x + 0.5 - kCentreX) * depth / 24.0;
            double worldZ = depth * 4.0;
            // Line widths in world units grow with distance so lines stay about
            // a pixel wide on screen; antialiased by the slope of the distance.
            double pixelWorldX = depth / 24.0;
            double pixelWorldZ = worldZ / below;
            double gx = std::fabs(worldX - std::round(worldX)) / pixelWorldX;
            double gz = std::fabs(worldZ - std::round(worldZ)) / pixelWorldZ;
            double grid = std::max(Clamp01(1.2 - gx), Clamp01(1.2 - gz));
            Colour c = ground;
            c = Mix(c, Mix(line, lineFar, fog), grid * (0.35 + 0.65 * Clamp01(below / 40.0)));
            PixelAt(canvas, x, y) = c;
            AddPixel(canvas, x, y, line, 0.35 * grid * Clamp01(below / 60.0));
        }
        // A bright seam right at the horizon.
        for (int x = 0; x < kSize; ++x) {
            AddPixel(canvas, x, y, FromHex(0xff8a5a), 0.9 * std::exp(-below / 3.0));
        }
    }
}

// One letter as strokes in a unit box (x right, y down), slanted and scaled
// into the box whose top-left is (left, top).
void StampLetter(DistanceField& field, const std::vector<std::vector<Point>>& strokes, double left,
                 double top, double width, double height, double radius, double reach) {
    const double slant = 0.22;
    for (const auto& stroke : strokes) {
        for (size_t i = 1; i < stroke.size(); ++i) {
            auto place = [&](Point p) {
                return Point{left + p.x * width + (1.0 - p.y) * slant * height, top + p.y * height};
            };
            Point a = place(stroke[i - 1]);
            Point b = place(stroke[i]);
            StampCapsule(field, a.x, a.y, b.x, b.y, radius, reach);
        }
    }
}

std::vector<Point> Arc(double cx, double cy, double rx, double ry, double from, double to) {
    std::vector<Point> points;
    const int steps = 24;
    for (int i = 0; i <= steps; ++i) {
        double a = from + (to - from) * i / steps;
        points.push_back({cx + rx * std::cos(a), cy + ry * std::sin(a)});
    }
    return points;
}

void PaintTitle(Canvas& canvas) {
    const double width = 86.0;
    const double height = 128.0;
    const double gap = 42.0;
    const double radius = 17.0;
    const double reach = 40.0;
    const double top = 66.0;
    const double slantShift = 0.22 * height * 0.5;  // centre the slanted letters
    double left = kCentreX - (3.0 * width + 2.0 * gap) * 0.5 - slantShift;

    // Each letter is one stroke path in a unit box, y downward.
    const std::vector<Point> v = {{0.0, 0.0}, {0.5, 1.0}, {1.0, 0.0}};
    std::vector<Point> u = {{0.0, 0.0}, {0.0, 0.6}};  // down, round the bowl, up
    for (Point q : Arc(0.5, 0.6, 0.5, 0.4, kPi, 0.0)) {
        u.push_back(q);
    }
    u.push_back({1.0, 0.0});
    std::vector<Point> p = {{0.0, 1.0}, {0.0, 0.0}, {0.5, 0.0}};  // stem, then the bowl
    for (Point q : Arc(0.5, 0.28, 0.5, 0.28, -kPi / 2.0, kPi / 2.0)) {
        p.push_back(q);
    }
    p.push_back({0.0, 0.56});

    DistanceField field = MakeDistanceField(kSize, kSize);
    StampLetter(field, {v}, left, top, width, height, radius, reach);
    StampLetter(field, {u}, left + width + gap, top, width, height, radius, reach);
    StampLetter(field, {p}, left + 2.0 * (width + gap), top, width, height, radius, reach);

    // Classic chrome: a cold sky reflection above a sharp horizon, warm ground
    // reflection below it, and a bright rim just inside the edge.
    const double y0 = top - radius;
    const double y1 = top + height + radius;
    const Colour upper[] = {FromHex(0x1b2f7a), FromHex(0x6fb8ff), FromHex(0xf4fbff)};
    const Colour lower[] = {FromHex(0x2a0e06), FromHex(0xa8401a), FromHex(0xffc46a),
                            FromHex(0xfff2c8)};
    ShapeStyle style;
    style.fill = [&](int, int y, double depth) {
        double t = (y + 0.5 - y0) / (y1 - y0);
        Colour c = t < 0.52 ? Ramp(upper, 3, t / 0.52) : Ramp(lower, 4, (t - 0.52) / 0.48);
        double rim = Clamp01(1.0 - std::fabs(depth - 3.0) / 2.0);
        return Mix(c, FromHex(0xffffff), 0.55 * rim);
    };
    style.outline = FromHex(0x14021e);
    style.outlineWidth = 4.5;
    style.shadow = FromHex(0x05000c);
    style.shadowOpacity = 0.7;
    style.shadowDx = 7.0;
    style.shadowDy = 9.0;
    style.shadowSoftness = 6.0;
    style.glow = FromHex(0xff3aa8);
    style.glowStrength = 0.55;
    style.glowRadius = 14.0;
    PaintShape(canvas, field, style);
}

void PaintTagline(Canvas& canvas) {
    const double cell = 3.5;
    DistanceField field = MakeDistanceField(kSize, kSize);
    StampTextCentred(field, "85 SECONDS OF VUP", kCentreX, kHorizonY + 26.0, cell, 12.0);
    ShapeStyle style;
    style.fill = VerticalGradientFill(FromHex(0xbff6ff), FromHex(0x36c8ff), kHorizonY + 26.0,
                                      kHorizonY + 26.0 + 7.0 * cell);
    style.outline = FromHex(0x10021c);
    style.outlineWidth = 2.0;
    style.glow = FromHex(0x2ab8ff);
    style.glowStrength = 0.35;
    style.glowRadius = 5.0;
    PaintShape(canvas, field, style);
}

}  // namespace

Canvas DrawTitlePicture() {
    Canvas canvas = MakeCanvas(kSize, kSize, {0, 0, 0});
    PaintSky(canvas);
    PaintSun(canvas);
    PaintMountains(canvas);
    PaintFloor(canvas);
    PaintTitle(canvas);
    PaintTagline(canvas);
    return canvas;
}
