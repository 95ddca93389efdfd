// Uncompressed rows (1 to 32 bits per pixel, and 16/32-bit bit fields).
#include <cstddef>

#include "assets/bitmap_decode.h"

// Where one colour channel sits in a 16- or 32-bit pixel.
struct ChannelField {
    uint32_t mask;
    int shift;  // lowest set bit of the mask
    int bits;   // from the lowest to the highest set bit
};

static ChannelField DescribeChannel(uint32_t mask) {
    ChannelField field = {mask, 0, 0};
    if (mask == 0) {
        return field;
    }
    while (((mask >> field.shift) & 1u) == 0) {
        ++field.shift;
    }
    for (uint32_t rest = mask >> field.shift; rest != 0; rest >>= 1) {
        ++field.bits;
    }
    return field;
}

// Narrow channels widen by repeating their bits downwards, so that full scale
// stays full scale (5 bits: (v << 3) | (v >> 2), 31 -> 255); wide channels
// keep their top 8 bits.
static unsigned char ReadChannel(uint32_t pixel, const ChannelField& field) {
    if (field.bits == 0) {
        return 0;
    }
    const uint32_t value = (pixel & field.mask) >> field.shift;
    if (field.bits >= 8) {
        return static_cast<unsigned char>(value >> (field.bits - 8));
    }
    uint32_t widened = value << (8 - field.bits);
    for (int filled = field.bits; filled < 8; filled *= 2) {
        widened |= widened >> filled;
    }
    return static_cast<unsigned char>(widened);
}

static void DecodeIndexedRow(const unsigned char* row, int32_t width, uint16_t bitCount,
                             const unsigned char* colours, uint16_t colourCount,
                             unsigned char* out) {
    const unsigned perByte = 8u / bitCount;
    const unsigned valueMask = (1u << bitCount) - 1u;
    for (int32_t x = 0; x < width; ++x) {
        const unsigned byte = row[static_cast<unsigned>(x) / perByte];
        // The leftmost pixel holds the most significant bits.
        const unsigned slot = perByte - 1u - static_cast<unsigned>(x) % perByte;
        const unsigned index = (byte >> (slot * bitCount)) & valueMask;
        PutIndexedPixel(colours, colourCount, index, out + 3 * static_cast<size_t>(x));
    }
}

static void DecodeMaskedRow(const unsigned char* row, int32_t width, uint16_t bitCount,
                            const ChannelField fields[3], unsigned char* out) {
    const size_t stride = bitCount / 8u;
    for (int32_t x = 0; x < width; ++x) {
        const unsigned char* source = row + stride * static_cast<size_t>(x);
        const uint32_t pixel = bitCount == 16 ? ReadLe16(source) : ReadLe32(source);
        unsigned char* target = out + 3 * static_cast<size_t>(x);
        for (int channel = 0; channel < 3; ++channel) {
            target[channel] = ReadChannel(pixel, fields[channel]);
        }
    }
}

static void DecodeTrueColourRow(const unsigned char* row, int32_t width, unsigned char* out) {
    for (int32_t x = 0; x < width; ++x) {
        const unsigned char* source = row + 3 * static_cast<size_t>(x);
        unsigned char* target = out + 3 * static_cast<size_t>(x);
        target[0] = source[2];
        target[1] = source[1];
        target[2] = source[0];
    }
}

void DecodeUncompressed(const BitmapLayout& layout, const unsigned char* colours,
                        const unsigned char* pixels, unsigned char* out) {
    const int32_t width = layout.header.width;
    const uint16_t bitCount = layout.header.bitCount;
    const size_t rowBytes = static_cast<size_t>(StoredRowBytes(bitCount, width));
    const size_t outRowBytes = 3 * static_cast<size_t>(width);
    const ChannelField fields[3] = {DescribeChannel(layout.masks[0]),
                                    DescribeChannel(layout.masks[1]),
                                    DescribeChannel(layout.masks[2])};
    for (int32_t row = 0; row < layout.rows; ++row) {
        const unsigned char* source = pixels + rowBytes * static_cast<size_t>(row);
        const int32_t outRow = layout.topDown ? layout.rows - 1 - row : row;
        unsigned char* target = out + outRowBytes * static_cast<size_t>(outRow);
        if (bitCount <= 8) {
            DecodeIndexedRow(source, width, bitCount, colours, layout.colourCount, target);
        } else if (bitCount == 24) {
            DecodeTrueColourRow(source, width, target);
        } else {
            DecodeMaskedRow(source, width, bitCount, fields, target);
        }
    }
}
