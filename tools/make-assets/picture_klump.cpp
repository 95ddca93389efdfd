// The "klump": a glossy lump of merged metaballs in bright colours on a dark
// marbled ground, drawn small behind the breathing solid.
#include <cmath>

#include "pictures.h"

namespace {

constexpr int kSize = 256;

struct Ball {
    double x;
    double y;
    double radius;
    uint32_t colour;
};

const Ball kBalls[] = {
    {120, 126, 36, 0xff3a7a}, {168, 92, 27, 0xffb02e}, {82, 76, 24, 0x3ad0ff},
    {178, 166, 30, 0x8a4dff}, {86, 178, 26, 0x2eff9a}, {136, 206, 17, 0xffe84a},
    {206, 122, 16, 0xff5ad2}, {124, 62, 15, 0x4a7dff},
};

// Sum of the balls' influences at a point, and their colours mixed by influence.
double Field(double x, double y, Colour* colour) {
    double total = 0.0;
    Colour mix{0, 0, 0};
    for (const Ball& ball : kBalls) {
        double dx = x - ball.x;
        double dy = y - ball.y;
        double influence = ball.radius * ball.radius / (dx * dx + dy * dy + 1.0);
        total += influence;
        double w = influence * influence;  // sharper colour zones than the field itself
        Colour c = FromHex(ball.colour);
        mix.r += c.r * w;
        mix.g += c.g * w;
        mix.b += c.b * w;
    }
    if (colour != nullptr) {
        double weight = 0.0;
        for (const Ball& ball : kBalls) {
            double dx = x - ball.x;
            double dy = y - ball.y;
            double influence = ball.radius * ball.radius / (dx * dx + dy * dy + 1.0);
            weight += influence * influence;
        }
        *colour = Scale(mix, 1.0 / weight);
    }
    return total;
}

Colour Marble(int x, int y) {
    double n = 0.0;
    double amplitude = 1.0;
    double frequency = 1.0 / 32.0;
    for (int octave = 0; octave < 4; ++octave) {
        n += amplitude * ValueNoise(x * frequency, y * frequency, 51 + octave);
        amplitude *= 0.5;
        frequency *= 2.0;
    }
    double veins = 0.5 + 0.5 * std::sin((x + y) * 0.05 + n * 6.0);
    return Mix(FromHex(0x0c0618), FromHex(0x2a1448), std::pow(veins, 3.0));
}

}  // namespace

Canvas DrawKlumpPicture() {
    Canvas canvas = MakeCanvas(kSize, kSize, {0, 0, 0});
    // Light from the upper left, slightly in front.
    const double lx = -0.45;
    const double ly = -0.6;
    const double lz = 0.66;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            double px = x + 0.5;
            double py = y + 0.5;
            Colour ground = Marble(x, y);
            Colour body;
            double f = Field(px, py, &body);
            // Glow of the lump on the ground.
            Colour pixel = Mix(ground, Scale(body, 0.5), Clamp01((f - 0.35) / 0.65) * 0.6);
            double cover = Clamp01((f - 1.0) / 0.06 + 0.5);
            if (cover > 0.0) {
                // Read as a height, the field gives the surface normal; for a
                // lone ball this height profile is exactly a sphere's.
                auto height = [](double field) {
                    return 34.0 * std::sqrt(1.0 - 1.0 / std::max(field, 1.0));
                };
                double h = height(f);
                double nx = -(height(Field(px + 1.0, py, nullptr)) - h);
                double ny = -(height(Field(px, py + 1.0, nullptr)) - h);
                double nz = 1.0;
                double length = std::sqrt(nx * nx + ny * ny + nz * nz);
                nx /= length;
                ny /= length;
                nz /= length;
                double diffuse = std::max(0.0, nx * lx + ny * ly + nz * lz);
                // Blinn highlight with the viewer straight ahead.
                double hxv = lx;
                double hyv = ly;
                double hzv = lz + 1.0;
                double hl = std::sqrt(hxv * hxv + hyv * hyv + hzv * hzv);
                double specular =
                    std::pow(std::max(0.0, (nx * hxv + ny * hyv + nz * hzv) / hl), 24.0);
                double rim = std::pow(1.0 - nz, 2.0);
                Colour lit = Scale(body, 0.25 + 0.85 * diffuse);
                lit = Mix(lit, FromHex(0xffffff), Clamp01(specular * 0.9));
                lit = Mix(lit, FromHex(0x9fe8ff), 0.35 * rim);
                pixel = Mix(pixel, lit, cover);
            }
            PixelAt(canvas, x, y) = pixel;
        }
    }
    return canvas;
}
