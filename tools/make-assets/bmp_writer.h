// Encodes pictures as Windows bitmap files: a 14-byte "BM" file header, then
// either the 12-byte core header or the 40-byte info header, the colour table
// for indexed pictures, and the pixel rows bottom row first, each padded to a
// multiple of 4 bytes.
#pragma once

#include <cstdint>
#include <vector>

#include "canvas.h"

enum class BmpHeaderKind { Core, Info };

struct PaletteEntry {
    uint8_t r;
    uint8_t g;
    uint8_t b;
};

// An 8-bit indexed picture, rows top row first.
struct IndexedImage {
    int width;
    int height;
    std::vector<uint8_t> indices;
    std::vector<PaletteEntry> palette;  // 1 to 256 entries
};

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;

// Bytes one stored row takes: whole 32-bit words.
uint32_t BmpRowStride(int width, int bitsPerPixel);

// Returns an empty vector when the picture cannot be stored in the chosen kind
// (a core header holds 16-bit sizes; an indexed picture needs 1 to 256 colours
// and indices inside its palette).
std::vector<uint8_t> EncodeBmp24(const Rgb8Image& image, BmpHeaderKind kind);
std::vector<uint8_t> EncodeBmp8(const IndexedImage& image, BmpHeaderKind kind);
