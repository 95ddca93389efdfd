// Run-length encoded pixels (RLE8 and RLE4) as the bitmap format defines
// them: pairs of bytes, either a run (count, value) or an escape (0, code)
// for end of line (0), end of bitmap (1), a delta move (2, dx, dy) or an
// absolute run of `code` literal pixels padded to a 16-bit boundary.
#include <cstddef>

#include "assets/bitmap_decode.h"

namespace {

// The pen: where the next pixel goes, in stored row order (bottom row first).
struct RunPen {
    const BitmapLayout* layout;
    const unsigned char* colours;
    unsigned char* out;
    int64_t x;
    int64_t y;
};

}  // namespace

// Pixels that fall right of the picture are dropped rather than wrapped.
static void PutRunPixel(RunPen* pen, unsigned index) {
    if (pen->x < pen->layout->header.width && pen->y < pen->layout->rows) {
        const size_t offset =
            (static_cast<size_t>(pen->y) * static_cast<size_t>(pen->layout->header.width) +
             static_cast<size_t>(pen->x)) *
            3;
        PutIndexedPixel(pen->colours, pen->layout->colourCount, index, pen->out + offset);
    }
    ++pen->x;
}

// The n-th pixel of an encoded run: the byte itself for RLE8; for RLE4 its
// high and low nibbles alternate, high first.
static unsigned EncodedRunValue(unsigned byte, unsigned n, bool fourBit) {
    if (!fourBit) {
        return byte;
    }
    return (n % 2 == 0) ? (byte >> 4) : (byte & 0x0F);
}

// The n-th pixel of a literal run: one byte each for RLE8, nibbles high
// first for RLE4.
static unsigned LiteralRunValue(const unsigned char* bytes, unsigned n, bool fourBit) {
    return fourBit ? EncodedRunValue(bytes[n / 2], n, true) : bytes[n];
}

void DecodeRunLength(const BitmapLayout& layout, const unsigned char* colours,
                     const unsigned char* pixels, unsigned char* out) {
    const bool fourBit = layout.header.compression == kCompressionRle4;
    const size_t length = layout.pixelBytes;
    RunPen pen = {&layout, colours, out, 0, 0};
    size_t position = 0;
    while (pen.y < layout.rows && length - position >= 2) {
        const unsigned count = pixels[position];
        // The run's value, or after a count of 0 the escape code.
        const unsigned code = pixels[position + 1];
        position += 2;
        if (count != 0) {
            // Encoded run: the value byte repeats (RLE4: its two nibbles alternate).
            for (unsigned n = 0; n < count && pen.x < layout.header.width; ++n) {
                PutRunPixel(&pen, EncodedRunValue(code, n, fourBit));
            }
            continue;
        }
        if (code == 0) {
            pen.x = 0;
            ++pen.y;
        } else if (code == 1) {
            return;
        } else if (code == 2) {
            if (length - position < 2) {
                return;
            }
            pen.x += pixels[position];
            pen.y += pixels[position + 1];
            position += 2;
        } else {
            const size_t literalBytes = fourBit ? (code + 1) / 2 : code;
            const size_t available = length - position;
            const size_t usable = literalBytes < available ? literalBytes : available;
            const unsigned usablePixels =
                fourBit ? static_cast<unsigned>(usable * 2 < code ? usable * 2 : code)
                        : static_cast<unsigned>(usable);
            for (unsigned n = 0; n < usablePixels && pen.x < layout.header.width; ++n) {
                PutRunPixel(&pen, LiteralRunValue(pixels + position, n, fourBit));
            }
            if (usable < literalBytes) {
                return;  // the data ends inside the literal run
            }
            // Literal runs keep the data aligned to 16 bits.
            position += literalBytes + (literalBytes & 1u);
            if (position > length) {
                return;
            }
        }
    }
}
