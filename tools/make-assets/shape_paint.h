// Paints a shape held in a distance field onto a canvas with the layers that
// make text stand out on a busy background: a soft glow, a drop shadow, an
// outline and a fill whose colour may vary across the shape.
#pragma once

#include <functional>

#include "canvas.h"
#include "distance_field.h"

struct ShapeStyle {
    // Fill colour per pixel; `depth` is how far inside the edge it lies (>= 0).
    std::function<Colour(int x, int y, double depth)> fill;
    Colour outline{0, 0, 0};
    double outlineWidth = 0.0;  // pixels around the edge; 0: none
    Colour shadow{0, 0, 0};
    double shadowOpacity = 0.0;  // 0: no shadow
    double shadowDx = 0.0;
    double shadowDy = 0.0;
    double shadowSoftness = 1.0;  // pixels over which the shadow fades out
    Colour glow{0, 0, 0};
    double glowStrength = 0.0;  // 0: no glow
    double glowRadius = 1.0;    // pixels for the glow to fall to 1/e
};

void PaintShape(Canvas& canvas, const DistanceField& field, const ShapeStyle& style);

// A fill that runs from `top` colour at row `y0` to `bottom` colour at row `y1`.
std::function<Colour(int, int, double)> VerticalGradientFill(Colour top, Colour bottom, double y0,
                                                             double y1);
