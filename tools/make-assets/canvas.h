// A floating-point RGB drawing surface and the colour helpers the pictures
// share. Rows run top to bottom here (the way the pictures are designed); the
// bitmap writer turns them bottom row first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct Colour {
    double r;
    double g;
    double b;
};

struct Canvas {
    int width;
    int height;
    std::vector<Colour> pixels;  // width * height, row-major, top row first
};

// 8-bit red, green, blue triples, rows top row first, no padding.
struct Rgb8Image {
    int width;
    int height;
    std::vector<uint8_t> rgb;
};

Canvas MakeCanvas(int width, int height, Colour fill);
Colour& PixelAt(Canvas& canvas, int x, int y);

// Mixes `colour` over the pixel with the given opacity (clamped to 0..1).
void BlendPixel(Canvas& canvas, int x, int y, Colour colour, double opacity);
// Adds light to the pixel (glows, stars); clamping happens at quantisation.
void AddPixel(Canvas& canvas, int x, int y, Colour colour, double amount);

Colour Mix(Colour a, Colour b, double t);
Colour Scale(Colour c, double factor);
// Piecewise-linear colour ramp through `count` evenly spaced stops, t in 0..1.
Colour Ramp(const Colour* stops, int count, double t);
Colour FromHex(uint32_t rgb);

double Clamp01(double v);
double SmoothStep(double edge0, double edge1, double v);

// Integer hash of a coordinate pair and seed: the pictures' only randomness, so
// every run draws the same picture.
uint32_t HashCoords(int32_t x, int32_t y, uint32_t seed);
double HashUnit(int32_t x, int32_t y, uint32_t seed);  // 0 <= value < 1
// Smooth value noise in 0..1 with unit cell size.
double ValueNoise(double x, double y, uint32_t seed);

// Rounds to 8 bits per channel with a small ordered dither so long gradients
// do not band.
Rgb8Image Quantise(const Canvas& canvas);
