// Reader of Windows bitmap files (the show's only picture format).
#pragma once

#include <cstddef>
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

// Where the reader takes its memory blocks (malloc unless replaced, e.g. by a
// test that fails one allocation). Blocks handed out must be free()-able,
// since the caller frees the picture with free.
extern void* (*loaderAllocate)(size_t size);

// Both back to what a fresh process has: messages on, malloc.
void ResetBitmapReader();

// Reads one bitmap file; null on failure (after its message box).
RgbImage* ReadBitmapFile(const char* path);

// Everything the reader does after mapping the file, on bytes already in
// memory: the same checks, message boxes and result. The picture does not
// refer to the bytes, so they may go once this returns.
RgbImage* ReadBitmapBytes(const unsigned char* file, size_t size);

// Colour-table entries a core (12-byte) or info (40-byte) header implies.
uint16_t CountPaletteColors(const unsigned char* bitmapHeader);
