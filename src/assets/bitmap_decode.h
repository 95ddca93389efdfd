// The reader's second stage: pixel data of any accepted depth and encoding
// to packed red, green, blue rows, bottom row first, width x rows x 3 bytes.
#pragma once

#include <cstdint>

#include "assets/bitmap_layout.h"

// colours: the normalised colour table, layout.colourCount entries of blue,
// green, red, 0. pixels: layout.pixelBytes bytes from the pixel offset.
// Every output pixel is written.
void DecodeUncompressed(const BitmapLayout& layout, const unsigned char* colours,
                        const unsigned char* pixels, unsigned char* out);

// Run-length data (8 or 4 bits). The output must arrive zero-filled: pixels
// that the runs skip or never reach stay black. Runs are clipped at the
// picture's edges and decoding stops where the data ends.
void DecodeRunLength(const BitmapLayout& layout, const unsigned char* colours,
                     const unsigned char* pixels, unsigned char* out);

// One indexed pixel; a value beyond the colour table is black.
inline void PutIndexedPixel(const unsigned char* colours, uint16_t colourCount, unsigned index,
                            unsigned char* out) {
    if (index >= colourCount) {
        out[0] = out[1] = out[2] = 0;
        return;
    }
    const unsigned char* entry = colours + 4 * static_cast<size_t>(index);
    out[0] = entry[2];
    out[1] = entry[1];
    out[2] = entry[0];
}
