// Signed distances, in pixels, from each pixel centre to a shape built from
// strokes and boxes: negative inside, positive outside. Letters, outlines,
// drop shadows and glows are all read off one field, and anti-aliasing falls
// out of the distance for free.
#pragma once

#include <functional>
#include <vector>

struct DistanceField {
    int width;
    int height;
    std::vector<double> distance;  // row-major, top row first
};

// Far from every shape until something is stamped.
DistanceField MakeDistanceField(int width, int height);
double DistanceAt(const DistanceField& field, int x, int y);
// Bilinear read at a fractional position (used for offset drop shadows).
double SampleDistance(const DistanceField& field, double x, double y);

// A stroke of the given half-thickness from (ax, ay) to (bx, by). Only pixels
// within `reach` of the shape's edge are updated: keep reach at least as wide
// as the outline or glow that will be read off the field.
void StampCapsule(DistanceField& field, double ax, double ay, double bx, double by, double radius,
                  double reach);
// An axis-aligned box centred at (cx, cy).
void StampBox(DistanceField& field, double cx, double cy, double halfWidth, double halfHeight,
              double reach);

// Signed distance from (px, py) to an axis-aligned box centred at (cx, cy).
double BoxDistance(double px, double py, double cx, double cy, double halfWidth, double halfHeight);

// Stamps any shape given by its signed distance at a pixel centre, visiting
// only the pixels whose centres lie in [x0, x1] x [y0, y1].
void StampShape(DistanceField& field, double x0, double y0, double x1, double y1,
                const std::function<double(double px, double py)>& distance);

// Opacity of the shape's inside at a pixel with the given distance.
double Coverage(double distance);
