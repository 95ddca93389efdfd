#include "png_file.h"

#include <zlib.h>

#include "output_file.h"

static void PutBigEndian32(std::vector<uint8_t>* out, uint32_t value) {
    out->push_back(static_cast<uint8_t>(value >> 24));
    out->push_back(static_cast<uint8_t>(value >> 16));
    out->push_back(static_cast<uint8_t>(value >> 8));
    out->push_back(static_cast<uint8_t>(value));
}

// Length, type, data, and a CRC over type and data.
static void PutChunk(std::vector<uint8_t>* out, const char type[4], const uint8_t* data,
                     size_t size) {
    PutBigEndian32(out, static_cast<uint32_t>(size));
    const size_t typeAt = out->size();
    out->insert(out->end(), type, type + 4);
    if (size > 0) {
        out->insert(out->end(), data, data + size);
    }
    const uLong crc = crc32(0L, out->data() + typeAt, static_cast<uInt>(size + 4));
    PutBigEndian32(out, static_cast<uint32_t>(crc));
}

void EncodePngRgb(int width, int height, int bytesPerPixel, const uint8_t* pixels,
                  std::vector<uint8_t>* png) {
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    const size_t rowBytes = static_cast<size_t>(width) * 3;

    // Each row is its filter byte and the row with each byte minus the one
    // three to its left ("Sub"): cheap, and the show's smooth shading and
    // flat backgrounds then compress well.
    std::vector<uint8_t> filtered((rowBytes + 1) * static_cast<size_t>(height));
    uint8_t* out = filtered.data();
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = pixels + static_cast<size_t>(y) * width * bytesPerPixel;
        *out++ = 1;  // Sub
        uint8_t left[3] = {0, 0, 0};
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < 3; ++c) {
                const uint8_t value = in[x * bytesPerPixel + c];
                *out++ = static_cast<uint8_t>(value - left[c]);
                left[c] = value;
            }
        }
    }

    uLongf packedSize = compressBound(static_cast<uLong>(filtered.size()));
    std::vector<uint8_t> packed(packedSize);
    // Level 3 is about as small as the default on these pictures and several
    // times faster, which counts when writing a frame per 1/60 s of show.
    compress2(packed.data(), &packedSize, filtered.data(), static_cast<uLong>(filtered.size()), 3);
    packed.resize(packedSize);

    uint8_t header[13];
    for (int i = 0; i < 4; ++i) {
        header[i] = static_cast<uint8_t>(static_cast<uint32_t>(width) >> (24 - 8 * i));
        header[4 + i] = static_cast<uint8_t>(static_cast<uint32_t>(height) >> (24 - 8 * i));
    }
    header[8] = 8;   // bits per channel
    header[9] = 2;   // colour type: RGB
    header[10] = 0;  // deflate
    header[11] = 0;  // adaptive filtering
    header[12] = 0;  // not interlaced

    png->clear();
    png->reserve(packed.size() + 64);
    png->insert(png->end(), kSignature, kSignature + 8);
    PutChunk(png, "IHDR", header, sizeof(header));
    PutChunk(png, "IDAT", packed.data(), packed.size());
    PutChunk(png, "IEND", nullptr, 0);
}

int WritePngFile(const std::string& path, int width, int height, int bytesPerPixel,
                 const uint8_t* pixels, std::string* error) {
    std::vector<uint8_t> png;
    EncodePngRgb(width, height, bytesPerPixel, pixels, &png);
    return WriteFileAtomically(path, png.data(), png.size(), error);
}
