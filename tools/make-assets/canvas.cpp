#include "canvas.h"

#include <cmath>

Canvas MakeCanvas(int width, int height, Colour fill) {
    Canvas canvas{width, height, {}};
    canvas.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), fill);
    return canvas;
}

Colour& PixelAt(Canvas& canvas, int x, int y) {
    return canvas.pixels[static_cast<size_t>(y) * static_cast<size_t>(canvas.width) +
                         static_cast<size_t>(x)];
}

static bool Inside(const Canvas& canvas, int x, int y) {
    return x >= 0 && y >= 0 && x < canvas.width && y < canvas.height;
}

void BlendPixel(Canvas& canvas, int x, int y, Colour colour, double opacity) {
    if (!Inside(canvas, x, y)) {
        return;
    }
    Colour& p = PixelAt(canvas, x, y);
    p = Mix(p, colour, Clamp01(opacity));
}

void AddPixel(Canvas& canvas, int x, int y, Colour colour, double amount) {
    if (!Inside(canvas, x, y)) {
        return;
    }
    Colour& p = PixelAt(canvas, x, y);
    p.r += colour.r * amount;
    p.g += colour.g * amount;
    p.b += colour.b * amount;
}

Colour Mix(Colour a, Colour b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Colour Scale(Colour c, double factor) {
    return {c.r * factor, c.g * factor, c.b * factor};
}

Colour Ramp(const Colour* stops, int count, double t) {
    if (count < 2) {
        return stops[0];
    }
    double pos = Clamp01(t) * (count - 1);
    int index = static_cast<int>(pos);
    if (index >= count - 1) {
        return stops[count - 1];
    }
    return Mix(stops[index], stops[index + 1], pos - index);
}

Colour FromHex(uint32_t rgb) {
    return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0};
}

double Clamp01(double v) {
    return v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v);
}

double SmoothStep(double edge0, double edge1, double v) {
    double t = Clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3.0 - 2.0 * t);
}

uint32_t HashCoords(int32_t x, int32_t y, uint32_t seed) {
    uint32_t h = seed * 0x9E3779B9u;
    h ^= static_cast<uint32_t>(x) * 0x85EBCA6Bu;
    h = (h << 13) | (h >> 19);
    h ^= static_cast<uint32_t>(y) * 0xC2B2AE35u;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

double HashUnit(int32_t x, int32_t y, uint32_t seed) {
    return (HashCoords(x, y, seed) >> 8) / 16777216.0;
}

double ValueNoise(double x, double y, uint32_t seed) {
    double fx = std::floor(x);
    double fy = std::floor(y);
    int32_t ix = static_cast<int32_t>(fx);
    int32_t iy = static_cast<int32_t>(fy);
    double tx = SmoothStep(0.0, 1.0, x - fx);
    double ty = SmoothStep(0.0, 1.0, y - fy);
    double a = HashUnit(ix, iy, seed);
    double b = HashUnit(ix + 1, iy, seed);
    double c = HashUnit(ix, iy + 1, seed);
    double d = HashUnit(ix + 1, iy + 1, seed);
    double top = a + (b - a) * tx;
    double bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

static uint8_t ToByte(double v, double dither) {
    double scaled = std::floor(Clamp01(v) * 255.0 + dither);
    if (scaled < 0.0) {
        return 0;
    }
    return scaled > 255.0 ? 255 : static_cast<uint8_t>(scaled);
}

Rgb8Image Quantise(const Canvas& canvas) {
    // 4x4 Bayer thresholds in (0, 1): rounding with a position-dependent offset.
    static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    Rgb8Image out{canvas.width, canvas.height, {}};
    out.rgb.resize(canvas.pixels.size() * 3);
    size_t i = 0;
    for (int y = 0; y < canvas.height; ++y) {
        for (int x = 0; x < canvas.width; ++x) {
            double dither = (bayer[y & 3][x & 3] + 0.5) / 16.0;
            const Colour& c =
                canvas.pixels[static_cast<size_t>(y) * static_cast<size_t>(canvas.width) +
                              static_cast<size_t>(x)];
            out.rgb[i++] = ToByte(c.r, dither);
            out.rgb[i++] = ToByte(c.g, dither);
            out.rgb[i++] = ToByte(c.b, dither);
        }
    }
    return out;
}
