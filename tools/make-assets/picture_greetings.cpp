// The greetings panel: a header, hellos to befriended groups and the credits,
// in pixel letters large enough to read at about 217x434 screen pixels.
#include <cmath>

#include "pictures.h"
#include "pixel_font.h"
#include "shape_paint.h"

namespace {

constexpr int kWidth = 256;
constexpr int kHeight = 512;
constexpr double kCentreX = kWidth / 2.0;

const char* const kGroups[] = {
    "NOVA FLUX",    "PIXEL PASTRY", "SINE LORDS",  "RASTER OWLS", "BYTE BADGERS",
    "COPPER MOTHS", "VOXEL TEMPLE", "PLASMA PIGS", "HEX NOMADS",  "ZERO PAGE CLUB",
};

struct Credit {
    const char* role;
    const char* name;
};
const Credit kCredits[] = {{"CODE", "PLOMVIX"}, {"MUSIC", "TULMOR"}, {"GFX", "KLUMP"}};

void PaintBackground(Canvas& canvas) {
    const Colour top = FromHex(0x1a0838);
    const Colour middle = FromHex(0x0a1440);
    const Colour bottom = FromHex(0x04040e);
    for (int y = 0; y < kHeight; ++y) {
        double t = y / double(kHeight);
        Colour base = t < 0.5 ? Mix(top, middle, t * 2.0) : Mix(middle, bottom, t * 2.0 - 1.0);
        for (int x = 0; x < kWidth; ++x) {
            // A faint diagonal check pattern gives the plain panel some texture.
            bool check = (((x + y) / 16) + ((x - y + 1024) / 16)) % 2 == 0;
            PixelAt(canvas, x, y) = Scale(base, check ? 1.12 : 0.92);
        }
    }
}

void PaintDivider(Canvas& canvas, double centreY, Colour colour) {
    for (int y = static_cast<int>(centreY) - 3; y <= centreY + 3; ++y) {
        double v = std::fabs(y + 0.5 - centreY) / 3.0;
        for (int x = 0; x < kWidth; ++x) {
            double fade = SmoothStep(6.0, 50.0, x) * SmoothStep(6.0, 50.0, kWidth - x);
            BlendPixel(canvas, x, y, Mix(colour, FromHex(0xffffff), 0.5 * (1.0 - v)),
                       fade * Clamp01(1.0 - v));
        }
    }
}

void PaintLine(Canvas& canvas, const char* text, double top, double cell, Colour light, Colour dark,
               Colour glow) {
    DistanceField field = MakeDistanceField(kWidth, kHeight);
    StampTextCentred(field, text, kCentreX, top, cell, 3.0 * cell);
    ShapeStyle style;
    style.fill = VerticalGradientFill(light, dark, top, top + 7.0 * cell);
    style.outline = FromHex(0x05020c);
    style.outlineWidth = std::max(1.2, cell * 0.45);
    style.shadow = FromHex(0x000000);
    style.shadowOpacity = 0.55;
    style.shadowDx = cell * 0.6;
    style.shadowDy = cell * 0.6;
    style.shadowSoftness = 1.0;
    style.glow = glow;
    style.glowStrength = 0.22;
    style.glowRadius = cell * 1.8;
    PaintShape(canvas, field, style);
}

}  // namespace

Canvas DrawGreetingsPicture() {
    Canvas canvas = MakeCanvas(kWidth, kHeight, {0, 0, 0});
    PaintBackground(canvas);

    PaintLine(canvas, "GREETINGS", 14.0, 4.0, FromHex(0xfff27a), FromHex(0xff6a2a),
              FromHex(0xff8a30));
    PaintDivider(canvas, 52.0, FromHex(0xff5ab0));
    double y = 64.0;
    for (size_t i = 0; i < sizeof(kGroups) / sizeof(kGroups[0]); ++i) {
        bool even = i % 2 == 0;
        PaintLine(canvas, kGroups[i], y, 2.0, even ? FromHex(0xd8fbff) : FromHex(0xe0ffd8),
                  even ? FromHex(0x38b8ff) : FromHex(0x38e090), FromHex(0x2090ff));
        y += 22.0;
    }
    PaintDivider(canvas, y + 6.0, FromHex(0x5ab0ff));
    PaintLine(canvas, "CREDITS", y + 20.0, 3.0, FromHex(0xfff27a), FromHex(0xff6a2a),
              FromHex(0xff8a30));
    y += 54.0;
    for (const Credit& credit : kCredits) {
        PaintLine(canvas, credit.role, y, 2.0, FromHex(0xffc0e8), FromHex(0xff4aa0),
                  FromHex(0xff3090));
        PaintLine(canvas, credit.name, y + 18.0, 2.0, FromHex(0xffffff), FromHex(0xb8c8ff),
                  FromHex(0x6080ff));
        y += 44.0;
    }
    PaintLine(canvas, "@ VUP @", y + 4.0, 2.0, FromHex(0xff9ac8), FromHex(0xff3060),
              FromHex(0xff3060));
    return canvas;
}
