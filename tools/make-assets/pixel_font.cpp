#include "pixel_font.h"

#include <algorithm>
#include <cmath>

namespace {

struct Glyph {
    char character;
    const char* rows[kGlyphRows];
};

// clang-format off
const Glyph kGlyphs[] = {
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'B', {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}},
    {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
    {'D', {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'F', {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},
    {'G', {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"}},
    {'H', {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'I', {".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'J', {"..###", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##.."}},
    {'K', {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}},
    {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
    {'M', {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}},
    {'N', {"#...#", "#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
    {'Q', {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
    {'W', {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "#.#.#", ".#.#."}},
    {'X', {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}},
    {'Y', {"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."}},
    {'Z', {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"}},
    {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
    {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
    {'3', {"#####", "...#.", "..#..", "...#.", "....#", "#...#", ".###."}},
    {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
    {'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
    {'6', {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."}},
    {'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
    {'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
    {'9', {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."}},
    {'.', {".....", ".....", ".....", ".....", ".....", ".##..", ".##.."}},
    {',', {".....", ".....", ".....", ".....", ".##..", "..#..", ".#..."}},
    {'!', {"..#..", "..#..", "..#..", "..#..", "..#..", ".....", "..#.."}},
    {'?', {".###.", "#...#", "....#", "...#.", "..#..", ".....", "..#.."}},
    {'-', {".....", ".....", ".....", ".###.", ".....", ".....", "....."}},
    {':', {".....", ".##..", ".##..", ".....", ".##..", ".##..", "....."}},
    {'/', {".....", "....#", "...#.", "..#..", ".#...", "#....", "....."}},
    {'\'', {"..#..", "..#..", ".#...", ".....", ".....", ".....", "....."}},
    {'&', {".##..", "#..#.", "#.#..", ".#...", "#.#.#", "#..#.", ".##.#"}},
    {'+', {".....", "..#..", "..#..", "#####", "..#..", "..#..", "....."}},
    {'*', {".....", "#.#.#", ".###.", "#####", ".###.", "#.#.#", "....."}},
    {'(', {"...#.", "..#..", ".#...", ".#...", ".#...", "..#..", "...#."}},
    {')', {".#...", "..#..", "...#.", "...#.", "...#.", "..#..", ".#..."}},
    {'@', {".....", ".#.#.", "#####", "#####", ".###.", "..#..", "....."}},  // a heart
};
// clang-format on

}  // namespace

const char* const* GlyphRows(char c) {
    if (c >= 'a' && c <= 'z') {
        c = static_cast<char>(c - 'a' + 'A');
    }
    for (const Glyph& glyph : kGlyphs) {
        if (glyph.character == c) {
            return glyph.rows;
        }
    }
    return nullptr;
}

double TextWidth(std::string_view text, double cell) {
    if (text.empty()) {
        return 0.0;
    }
    return (static_cast<double>(text.size()) * kGlyphAdvance - 1.0) * cell;
}

// Ink of a glyph cell; cells beyond the 5x7 grid are blank.
static bool Inked(const char* const* rows, int column, int row) {
    return column >= 0 && row >= 0 && column < kGlyphColumns && row < kGlyphRows &&
           rows[row][column] == '#';
}

// The exact signed distance to the union of a glyph's inked cells: outside,
// the distance to the nearest inked cell; inside, minus the distance to the
// nearest blank cell, so bevels and gradients see the letter's true edge and
// not the seams between its cells.
static double GlyphDistance(const char* const* rows, double left, double top, double cell,
                            double px, double py) {
    int column = static_cast<int>(std::floor((px - left) / cell));
    int row = static_cast<int>(std::floor((py - top) / cell));
    bool inside = Inked(rows, column, row);
    double best = 1.0e9;
    for (int r = -1; r <= kGlyphRows; ++r) {
        for (int c = -1; c <= kGlyphColumns; ++c) {
            if (Inked(rows, c, r) == inside) {
                continue;
            }
            double half = cell * 0.5;
            best = std::min(best, BoxDistance(px, py, left + (c + 0.5) * cell,
                                              top + (r + 0.5) * cell, half, half));
        }
    }
    return inside ? -best : best;
}

void StampText(DistanceField& field, std::string_view text, double left, double top, double cell,
               double reach) {
    for (size_t i = 0; i < text.size(); ++i) {
        const char* const* rows = GlyphRows(text[i]);
        if (rows == nullptr) {
            continue;
        }
        double glyphLeft = left + static_cast<double>(i) * kGlyphAdvance * cell;
        StampShape(field, glyphLeft - reach, top - reach, glyphLeft + kGlyphColumns * cell + reach,
                   top + kGlyphRows * cell + reach, [&](double px, double py) {
                       return GlyphDistance(rows, glyphLeft, top, cell, px, py);
                   });
    }
}

void StampTextCentred(DistanceField& field, std::string_view text, double centreX, double top,
                      double cell, double reach) {
    StampText(field, text, centreX - TextWidth(text, cell) * 0.5, top, cell, reach);
}
