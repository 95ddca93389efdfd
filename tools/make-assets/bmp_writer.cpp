#include "bmp_writer.h"

#include <cstddef>

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

bool SizeFits(int width, int height, BmpHeaderKind kind) {
    if (width <= 0 || height <= 0) {
        return false;
    }
    // A core header stores width and height in 16 bits.
    return kind == BmpHeaderKind::Info || (width <= 0xFFFF && height <= 0xFFFF);
}

// File header plus bitmap header; the colour table and pixels follow.
void PutHeaders(std::vector<uint8_t>& out, int width, int height, int bitsPerPixel,
                BmpHeaderKind kind, uint32_t tableBytes, uint32_t tableEntries) {
    uint32_t headerSize = kind == BmpHeaderKind::Core ? kCoreHeaderSize : kInfoHeaderSize;
    uint32_t pixelOffset = kFileHeaderSize + headerSize + tableBytes;
    uint32_t pixelBytes = BmpRowStride(width, bitsPerPixel) * static_cast<uint32_t>(height);

    out.push_back('B');
    out.push_back('M');
    Put32(out, pixelOffset + pixelBytes);
    Put16(out, 0);
    Put16(out, 0);
    Put32(out, pixelOffset);

    Put32(out, headerSize);
    if (kind == BmpHeaderKind::Core) {
        Put16(out, static_cast<uint32_t>(width));
        Put16(out, static_cast<uint32_t>(height));
        Put16(out, 1);
        Put16(out, static_cast<uint32_t>(bitsPerPixel));
        return;
    }
    const uint32_t pixelsPerMetre = 2835;  // 72 dots per inch
    Put32(out, static_cast<uint32_t>(width));
    Put32(out, static_cast<uint32_t>(height));  // positive: bottom row first
    Put16(out, 1);
    Put16(out, static_cast<uint32_t>(bitsPerPixel));
    Put32(out, 0);  // uncompressed
    Put32(out, pixelBytes);
    Put32(out, pixelsPerMetre);
    Put32(out, pixelsPerMetre);
    Put32(out, tableEntries);
    Put32(out, 0);
}

void PadRow(std::vector<uint8_t>& out, uint32_t written, uint32_t stride) {
    for (; written < stride; ++written) {
        out.push_back(0);
    }
}

}  // namespace

uint32_t BmpRowStride(int width, int bitsPerPixel) {
    return ((static_cast<uint32_t>(bitsPerPixel) * static_cast<uint32_t>(width) + 31) / 32) * 4;
}

std::vector<uint8_t> EncodeBmp24(const Rgb8Image& image, BmpHeaderKind kind) {
    std::vector<uint8_t> out;
    if (!SizeFits(image.width, image.height, kind) ||
        image.rgb.size() != static_cast<size_t>(image.width) * image.height * 3) {
        return out;
    }
    uint32_t stride = BmpRowStride(image.width, 24);
    out.reserve(kFileHeaderSize + kInfoHeaderSize + stride * image.height);
    PutHeaders(out, image.width, image.height, 24, kind, 0, 0);
    for (int row = image.height - 1; row >= 0; --row) {
        const uint8_t* src = &image.rgb[static_cast<size_t>(row) * image.width * 3];
        for (int x = 0; x < image.width; ++x, src += 3) {
            out.push_back(src[2]);  // stored blue, green, red
            out.push_back(src[1]);
            out.push_back(src[0]);
        }
        PadRow(out, static_cast<uint32_t>(image.width) * 3, stride);
    }
    return out;
}

std::vector<uint8_t> EncodeBmp8(const IndexedImage& image, BmpHeaderKind kind) {
    std::vector<uint8_t> out;
    size_t colours = image.palette.size();
    if (!SizeFits(image.width, image.height, kind) || colours == 0 || colours > 256 ||
        image.indices.size() != static_cast<size_t>(image.width) * image.height) {
        return out;
    }
    for (uint8_t index : image.indices) {
        if (index >= colours) {
            return out;
        }
    }
    // A core header has no colour count: readers take the full 256 entries of
    // 3 bytes. An info header names its count, 4 bytes per entry.
    bool core = kind == BmpHeaderKind::Core;
    uint32_t entries = core ? 256 : static_cast<uint32_t>(colours);
    uint32_t tableBytes = entries * (core ? 3 : 4);
    uint32_t stride = BmpRowStride(image.width, 8);
    PutHeaders(out, image.width, image.height, 8, kind, tableBytes, core ? 0 : entries);
    for (uint32_t i = 0; i < entries; ++i) {
        PaletteEntry e = i < colours ? image.palette[i] : PaletteEntry{0, 0, 0};
        out.push_back(e.b);
        out.push_back(e.g);
        out.push_back(e.r);
        if (!core) {
            out.push_back(0);
        }
    }
    for (int row = image.height - 1; row >= 0; --row) {
        const uint8_t* src = &image.indices[static_cast<size_t>(row) * image.width];
        out.insert(out.end(), src, src + image.width);
        PadRow(out, static_cast<uint32_t>(image.width), stride);
    }
    return out;
}
