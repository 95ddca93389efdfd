// Reader of Windows bitmap files (the show's only picture format).
#pragma once

#include <cstdint>

// A picture in memory: width x |height| pixels of red, green, blue bytes,
// bottom row first, rows without pad bytes. The record and the pixel buffer are
// separate malloc blocks; the receiver frees the pixels first, then the record.
struct RgbImage {
    int32_t width;
    int32_t height;
    unsigned char* pixels;
};

// While false, failures return null without a message box.
extern bool showLoaderErrors;

// Reads one bitmap file; null on failure (after its message box).
RgbImage* ReadBitmapFile(const char* path);

// Colour-table entries a core (12-byte) or info (40-byte) header implies.
uint16_t CountPaletteColors(const unsigned char* bitmapHeader);
