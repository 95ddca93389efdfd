// Where the parts of a bitmap file lie, checked against the file's length
// before anything is read: the reader's first stage, also used by the
// vup-assets tool to describe a picture.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;
// Largest width or height accepted; it keeps every size computation well
// inside 32 bits per row and 64 bits per picture.
constexpr int32_t kMaxBitmapSide = 32768;
// Largest decoded picture (width x rows x 3 bytes). Run-length data a few
// bytes long can declare a 32768 x 32768 picture; decoding it would fill 3 GB
// for a picture no OpenGL takes as a texture. Beyond this the reader reports
// a lack of memory, as the platform conversion would for want of a section.
constexpr size_t kMaxDecodedBytes = size_t{256} << 20;

constexpr uint32_t kCompressionNone = 0;
constexpr uint32_t kCompressionRle8 = 1;
constexpr uint32_t kCompressionRle4 = 2;
constexpr uint32_t kCompressionBitFields = 3;

// Field for field the 40-byte BITMAPINFOHEADER that either accepted header
// kind is normalised into.
struct BitmapInfoHeader {
    uint32_t size;
    int32_t width;
    int32_t height;
    uint16_t planes;
    uint16_t bitCount;
    uint32_t compression;
    uint32_t sizeImage;
    int32_t xPelsPerMeter;
    int32_t yPelsPerMeter;
    uint32_t clrUsed;
    uint32_t clrImportant;
};
static_assert(sizeof(BitmapInfoHeader) == 40, "the normalised header is 40 bytes");

struct BitmapLayout {
    bool hasFileHeader;
    uint32_t headerSize;  // as stored: 12 (core) or 40 (info)
    size_t headerOffset;  // 14 after a file header, else 0
    // Colour-table entries, their size in the file (3 core, 4 info) and place.
    uint16_t colourCount;
    size_t colourEntrySize;
    size_t colourTableOffset;
    size_t pixelOffset;
    // Bytes from the pixel offset to the end of the file.
    size_t pixelBytes;
    // The header normalised to the info form, image size and colours used
    // filled in when the file leaves them 0.
    BitmapInfoHeader header;
    // Red, green and blue masks for 16- and 32-bit pixels: from the file for
    // bit fields, the standard 5-5-5 and 8-8-8 layouts otherwise.
    uint32_t masks[3];
    int32_t rows;  // the positive row count
    bool topDown;  // rows stored top row first (negative height)
};

enum BitmapLayoutResult {
    kLayoutOk,
    kLayoutUnknownHeader,  // header size neither 12 nor 40
    kLayoutUnusable,       // too short, out of range or an unsupported encoding
};

// Little-endian fields at any byte alignment.
inline uint16_t ReadLe16(const unsigned char* bytes) {
    return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
}
inline uint32_t ReadLe32(const unsigned char* bytes) {
    return static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
           (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

// Checks every region the header declares against the file's size (header,
// masks, colour table, pixel rows) with overflow-safe arithmetic.
BitmapLayoutResult ReadBitmapLayout(const unsigned char* file, size_t size, BitmapLayout* layout);

// Bytes of one stored pixel row of an uncompressed picture: padded to 4.
uint64_t StoredRowBytes(uint32_t bitCount, uint32_t width);
