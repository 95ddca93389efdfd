// Uncompressed rows (1 to 32 bits per pixel, and 16/32-bit bit fields).
#include <cstddef>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>  // the byte shuffle, chosen at run time on CPUs that have it
#endif

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

// Every possible pixel value of an indexed picture (up to 8 bits) mapped to
// its output bytes red, green, blue and a fourth byte that the next pixel
// overwrites; values past the colour table are black. One load per pixel and
// no test.
struct IndexedColours {
    unsigned char rgbx[256][4];
};

static void BuildIndexedColours(const unsigned char* colours, uint16_t colourCount,
                                IndexedColours* table) {
    std::memset(table, 0, sizeof *table);
    const unsigned count = colourCount < 256 ? colourCount : 256;
    for (unsigned i = 0; i < count; ++i) {
        PutIndexedPixel(colours, colourCount, i, table->rgbx[i]);
    }
}

// Four bytes per pixel written, three bytes forward: the stray fourth byte
// lands where the next pixel goes. The last pixel of the row is written as
// three bytes, so nothing past the row is touched (rows may be written in
// any order).
static void DecodeIndexed8Row(const unsigned char* row, int32_t width, const IndexedColours& table,
                              unsigned char* out) {
    if (width <= 0) {
        return;
    }
    const int32_t last = width - 1;
    for (int32_t x = 0; x < last; ++x) {
        std::memcpy(out + 3 * static_cast<size_t>(x), table.rgbx[row[x]], 4);
    }
    std::memcpy(out + 3 * static_cast<size_t>(last), table.rgbx[row[last]], 3);
}

static void DecodeIndexedRow(const unsigned char* row, int32_t width, uint16_t bitCount,
                             const IndexedColours& table, unsigned char* out) {
    if (bitCount == 8) {
        DecodeIndexed8Row(row, width, table, out);
        return;
    }
    const unsigned perByte = 8u / bitCount;
    const unsigned valueMask = (1u << bitCount) - 1u;
    for (int32_t x = 0; x < width; ++x) {
        const unsigned byte = row[static_cast<unsigned>(x) / perByte];
        // The leftmost pixel holds the most significant bits.
        const unsigned slot = perByte - 1u - static_cast<unsigned>(x) % perByte;
        const unsigned index = (byte >> (slot * bitCount)) & valueMask;
        std::memcpy(out + 3 * static_cast<size_t>(x), table.rgbx[index], 3);
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

static void SwapRedBlueScalar(const unsigned char* source, size_t pixels, unsigned char* out) {
    for (size_t x = 0; x < pixels; ++x) {
        out[3 * x + 0] = source[3 * x + 2];
        out[3 * x + 1] = source[3 * x + 1];
        out[3 * x + 2] = source[3 * x + 0];
    }
}

#if defined(__x86_64__) || defined(__i386__)
// Eight pixels per step: two 16-byte loads 12 bytes apart fill the two
// halves of a register, each half swaps its first four pixels in one byte
// shuffle, and the halves' 12 bytes are packed together into 24. The 32-byte
// store's last 8 bytes are rewritten by the next step. Stops 32 bytes before
// the end, so it reads and writes nothing past either run; the scalar loop
// finishes the rest.
__attribute__((target("avx2"))) static void SwapRedBlueAvx2(const unsigned char* source,
                                                            size_t pixels, unsigned char* out) {
    const __m256i order = _mm256_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 12, 13, 14, 15, 2,
                                           1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 12, 13, 14, 15);
    const __m256i pack = _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 7, 7);
    const size_t bytes = 3 * pixels;
    size_t at = 0;
    for (; at + 32 <= bytes; at += 24) {
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + at));
        const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + at + 12));
        const __m256i bgr = _mm256_inserti128_si256(_mm256_castsi128_si256(low), high, 1);
        const __m256i rgb = _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(bgr, order), pack);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + at), rgb);
    }
    SwapRedBlueScalar(source + at, pixels - at / 3, out + at);
}

// A test of what libgcc read about the processor at start-up: no state here.
static bool CanShuffleWide() {
    return __builtin_cpu_supports("avx2");
}
#endif

// Blue, green, red to red, green, blue for a run of whole pixels.
static void SwapRedBlue(const unsigned char* source, size_t pixels, unsigned char* out) {
#if defined(__x86_64__) || defined(__i386__)
    if (CanShuffleWide()) {
        SwapRedBlueAvx2(source, pixels, out);
        return;
    }
#endif
    SwapRedBlueScalar(source, pixels, out);
}

void DecodeUncompressed(const BitmapLayout& layout, const unsigned char* colours,
                        const unsigned char* pixels, unsigned char* out) {
    const int32_t width = layout.header.width;
    const uint16_t bitCount = layout.header.bitCount;
    const size_t rowBytes = static_cast<size_t>(StoredRowBytes(bitCount, width));
    const size_t outRowBytes = 3 * static_cast<size_t>(width);
    if (bitCount == 24 && rowBytes == outRowBytes && !layout.topDown) {
        // No pad bytes and the same row order: the rows are one run.
        SwapRedBlue(pixels, static_cast<size_t>(width) * static_cast<size_t>(layout.rows), out);
        return;
    }
    IndexedColours table;
    if (bitCount <= 8) {
        BuildIndexedColours(colours, layout.colourCount, &table);
    }
    const ChannelField fields[3] = {DescribeChannel(layout.masks[0]),
                                    DescribeChannel(layout.masks[1]),
                                    DescribeChannel(layout.masks[2])};
    for (int32_t row = 0; row < layout.rows; ++row) {
        const unsigned char* source = pixels + rowBytes * static_cast<size_t>(row);
        const int32_t outRow = layout.topDown ? layout.rows - 1 - row : row;
        unsigned char* target = out + outRowBytes * static_cast<size_t>(outRow);
        if (bitCount <= 8) {
            DecodeIndexedRow(source, width, bitCount, table, target);
        } else if (bitCount == 24) {
            SwapRedBlue(source, static_cast<size_t>(width), target);
        } else {
            DecodeMaskedRow(source, width, bitCount, fields, target);
        }
    }
}
