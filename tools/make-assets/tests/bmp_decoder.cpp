#include "bmp_decoder.h"

uint32_t ReadLe16(const std::vector<uint8_t>& bytes, size_t at) {
    return at + 2 > bytes.size() ? 0 : bytes[at] | (uint32_t{bytes[at + 1]} << 8);
}

uint32_t ReadLe32(const std::vector<uint8_t>& bytes, size_t at) {
    return ReadLe16(bytes, at) | (ReadLe16(bytes, at + 2) << 16);
}

DecodedBmp DecodeBmp(const std::vector<uint8_t>& file) {
    DecodedBmp out;
    if (file.size() < 14 + 12 || file[0] != 'B' || file[1] != 'M') {
        return out;
    }
    const size_t header = 14;
    out.pixelOffset = ReadLe32(file, 10);
    out.headerSize = ReadLe32(file, header);
    size_t entrySize = 0;
    if (out.headerSize == 12) {
        out.width = static_cast<int>(ReadLe16(file, header + 4));
        out.height = static_cast<int>(ReadLe16(file, header + 6));
        out.bitsPerPixel = static_cast<int>(ReadLe16(file, header + 10));
        out.paletteEntries = out.bitsPerPixel == 8 ? 256 : 0;
        entrySize = 3;
    } else if (out.headerSize == 40) {
        out.width = static_cast<int>(ReadLe32(file, header + 4));
        out.height = static_cast<int>(ReadLe32(file, header + 8));
        out.bitsPerPixel = static_cast<int>(ReadLe16(file, header + 14));
        uint32_t used = ReadLe32(file, header + 32);
        out.paletteEntries = used != 0 ? used : (out.bitsPerPixel == 8 ? 256 : 0);
        entrySize = 4;
    } else {
        return out;
    }
    if (out.width <= 0 || out.height <= 0 || (out.bitsPerPixel != 8 && out.bitsPerPixel != 24)) {
        return out;
    }
    size_t table = header + out.headerSize;
    size_t stride = ((static_cast<size_t>(out.bitsPerPixel) * out.width + 31) / 32) * 4;
    if (table + out.paletteEntries * entrySize > file.size() ||
        out.pixelOffset + stride * out.height > file.size()) {
        return out;
    }
    out.rgb.resize(static_cast<size_t>(out.width) * out.height * 3);
    for (int row = 0; row < out.height; ++row) {
        const uint8_t* src = &file[out.pixelOffset + stride * row];
        uint8_t* dst = &out.rgb[static_cast<size_t>(out.height - 1 - row) * out.width * 3];
        for (int x = 0; x < out.width; ++x, dst += 3) {
            if (out.bitsPerPixel == 24) {
                dst[0] = src[x * 3 + 2];
                dst[1] = src[x * 3 + 1];
                dst[2] = src[x * 3];
                continue;
            }
            uint8_t index = src[x];
            if (index >= out.paletteEntries) {
                return out;
            }
            const uint8_t* entry = &file[table + index * entrySize];
            dst[0] = entry[2];
            dst[1] = entry[1];
            dst[2] = entry[0];
        }
    }
    out.ok = true;
    return out;
}
