#include "shape_paint.h"

#include <cmath>

void PaintShape(Canvas& canvas, const DistanceField& field, const ShapeStyle& style) {
    for (int y = 0; y < canvas.height; ++y) {
        for (int x = 0; x < canvas.width; ++x) {
            double d = DistanceAt(field, x, y);
            if (style.glowStrength > 0.0 && d > 0.0) {
                AddPixel(canvas, x, y, style.glow,
                         style.glowStrength * std::exp(-d / style.glowRadius));
            }
            if (style.shadowOpacity > 0.0) {
                double s = SampleDistance(field, x - style.shadowDx, y - style.shadowDy);
                double shade = Clamp01(0.5 - s / style.shadowSoftness);
                BlendPixel(canvas, x, y, style.shadow, shade * style.shadowOpacity);
            }
            if (style.outlineWidth > 0.0) {
                BlendPixel(canvas, x, y, style.outline, Coverage(d - style.outlineWidth));
            }
            double inside = Coverage(d);
            if (inside > 0.0) {
                BlendPixel(canvas, x, y, style.fill(x, y, d < 0.0 ? -d : 0.0), inside);
            }
        }
    }
}

std::function<Colour(int, int, double)> VerticalGradientFill(Colour top, Colour bottom, double y0,
                                                             double y1) {
    return
        [=](int, int y, double) { return Mix(top, bottom, Clamp01((y + 0.5 - y0) / (y1 - y0))); };
}
