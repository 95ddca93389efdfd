// The end picture: "THE END" in gold under a northern-lights sky, between two
// rainbow raster bars, with a thank-you below.
#include <cmath>

#include "pictures.h"
#include "pixel_font.h"
#include "shape_paint.h"

namespace {

constexpr int kSize = 512;
constexpr double kCentreX = kSize / 2.0;

void PaintNightSky(Canvas& canvas) {
    const Colour sky[] = {FromHex(0x010816), FromHex(0x04203a), FromHex(0x06364a),
                          FromHex(0x021420), FromHex(0x01060c)};
    for (int y = 0; y < kSize; ++y) {
        Colour base = Ramp(sky, 5, y / double(kSize));
        for (int x = 0; x < kSize; ++x) {
            PixelAt(canvas, x, y) = base;
        }
    }
    // Aurora: soft curtains whose bottom edge waves across the sky.
    const Colour green = FromHex(0x3dffb0);
    const Colour violet = FromHex(0x9a5cff);
    for (int x = 0; x < kSize; ++x) {
        double u = x / double(kSize);
        for (int band = 0; band < 3; ++band) {
            double edge = 150.0 + 60.0 * band + 28.0 * std::sin(u * 9.0 + band * 1.7) +
                          14.0 * std::sin(u * 23.0 - band * 0.9);
            double strength = 0.5 - 0.13 * band;
            for (int y = 0; y < kSize; ++y) {
                double above = edge - (y + 0.5);
                if (above < -4.0 || above > 220.0) {
                    continue;
                }
                double curtain = above < 0.0 ? SmoothStep(-4.0, 0.0, above)
                                             : std::exp(-above / (45.0 + 25.0 * band));
                double rays = 0.65 + 0.35 * ValueNoise(x / 6.0, band * 10.0, 31 + band);
                Colour c = Mix(green, violet, Clamp01(above / 140.0));
                AddPixel(canvas, x, y, c, strength * curtain * rays);
            }
        }
    }
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            double h = HashUnit(x, y, 41);
            if (h < 0.0025) {
                AddPixel(canvas, x, y, FromHex(0xe8f4ff), 0.3 + 0.7 * HashUnit(x, y, 42));
            }
        }
    }
}

// A horizontal copper bar: a rainbow that brightens toward its middle row.
void PaintRasterBar(Canvas& canvas, double centreY, double halfHeight) {
    const Colour rainbow[] = {FromHex(0xff3060), FromHex(0xffa030), FromHex(0xfff050),
                              FromHex(0x40ff90), FromHex(0x30c0ff), FromHex(0xa060ff),
                              FromHex(0xff3060)};
    for (int y = static_cast<int>(centreY - halfHeight); y <= centreY + halfHeight; ++y) {
        double v = std::fabs(y + 0.5 - centreY) / halfHeight;
        if (v > 1.0) {
            continue;
        }
        double shine = std::pow(1.0 - v * v, 1.5);
        for (int x = 0; x < kSize; ++x) {
            double fade = SmoothStep(0.0, 60.0, x) * SmoothStep(0.0, 60.0, kSize - x);
            Colour c = Ramp(rainbow, 7, x / double(kSize));
            c = Mix(Scale(c, 0.35), Mix(c, FromHex(0xffffff), 0.45), shine);
            BlendPixel(canvas, x, y, c, fade * (0.25 + 0.75 * shine));
        }
    }
}

void PaintText(Canvas& canvas, const char* text, double top, double cell, Colour light, Colour dark,
               Colour glow, double glowStrength) {
    DistanceField field = MakeDistanceField(kSize, kSize);
    StampTextCentred(field, text, kCentreX, top, cell, 3.0 * cell);
    ShapeStyle style;
    const double bottom = top + 7.0 * cell;
    style.fill = [=](int, int y, double depth) {
        double t = Clamp01((y + 0.5 - top) / (bottom - top));
        Colour c = Mix(light, dark, t);
        // A lit upper bevel: pixels close to the edge catch more light.
        return Mix(c, FromHex(0xffffff), 0.35 * Clamp01(1.0 - depth / (cell * 0.3)) * (1.0 - t));
    };
    style.outline = FromHex(0x010a14);
    style.outlineWidth = std::max(1.5, cell * 0.35);
    style.shadow = FromHex(0x000000);
    style.shadowOpacity = 0.6;
    style.shadowDx = cell * 0.4;
    style.shadowDy = cell * 0.5;
    style.shadowSoftness = cell * 0.6;
    style.glow = glow;
    style.glowStrength = glowStrength;
    style.glowRadius = cell * 1.5;
    PaintShape(canvas, field, style);
}

}  // namespace

Canvas DrawEndPicture() {
    Canvas canvas = MakeCanvas(kSize, kSize, {0, 0, 0});
    PaintNightSky(canvas);
    PaintRasterBar(canvas, 150.0, 9.0);
    PaintRasterBar(canvas, 300.0, 9.0);
    PaintText(canvas, "THE END", 187.0, 11.0, FromHex(0xfff6c0), FromHex(0xe0601c),
              FromHex(0xffb040), 0.45);
    PaintText(canvas, "THANKS FOR WATCHING", 340.0, 4.0, FromHex(0xe8fcff), FromHex(0x58c8ff),
              FromHex(0x30a0ff), 0.3);
    PaintText(canvas, "SEE YOU AT THE NEXT PARTY!", 420.0, 2.5, FromHex(0xc8ffe8),
              FromHex(0x40d0a0), FromHex(0x20ff90), 0.2);
    return canvas;
}
