// The pictures' own 5x7 capital-letter font, drawn into a distance field so
// text can be scaled up, outlined and shadowed.
#pragma once

#include <string_view>

#include "distance_field.h"

constexpr int kGlyphColumns = 5;
constexpr int kGlyphRows = 7;
constexpr int kGlyphAdvance = 6;  // columns from one letter to the next

// The 7 rows of a glyph as strings of '#' (ink) and '.'; lower case maps to
// upper case; characters the font lacks come back as null (drawn as blanks).
const char* const* GlyphRows(char c);

// Width in pixels of a line of text with square font cells of `cell` pixels.
double TextWidth(std::string_view text, double cell);

// Stamps a line of text with its top-left corner at (left, top).
void StampText(DistanceField& field, std::string_view text, double left, double top, double cell,
               double reach);
// Same, centred horizontally on `centreX`.
void StampTextCentred(DistanceField& field, std::string_view text, double centreX, double top,
                      double cell, double reach);
