#include "fakes/bmp_builder.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

static Bytes BuildBitmapHeader(const BmpDesc& desc) {
    Bytes header;
    AppendLe32(&header, desc.headerSize);
    if (desc.headerSize == 12) {
        AppendLe16(&header, static_cast<uint32_t>(desc.width));
        AppendLe16(&header, static_cast<uint32_t>(desc.height));
        AppendLe16(&header, desc.planes);
        AppendLe16(&header, desc.bitCount);
        return header;
    }
    AppendLe32(&header, static_cast<uint32_t>(desc.width));
    AppendLe32(&header, static_cast<uint32_t>(desc.height));
    AppendLe16(&header, desc.planes);
    AppendLe16(&header, desc.bitCount);
    AppendLe32(&header, desc.compression);
    AppendLe32(&header, desc.imageSize);
    AppendLe32(&header, 2835);  // 72 dpi, ignored by the reader
    AppendLe32(&header, 2835);
    AppendLe32(&header, desc.coloursUsed);
    AppendLe32(&header, 0);
    header.resize(desc.headerSize > header.size() ? desc.headerSize : header.size(), 0);
    return header;
}

Bytes BuildBmp(const BmpDesc& desc) {
    Bytes body = BuildBitmapHeader(desc);
    for (uint32_t mask : desc.masks) {
        AppendLe32(&body, mask);
    }
    for (uint32_t colour : desc.colours) {
        body.push_back(static_cast<uint8_t>(colour));
        body.push_back(static_cast<uint8_t>(colour >> 8));
        body.push_back(static_cast<uint8_t>(colour >> 16));
        if (desc.headerSize != 12) {
            body.push_back(0);
        }
    }
    body.resize(body.size() + desc.gapBeforePixels, 0xEE);

    Bytes file;
    if (desc.fileHeader) {
        const uint32_t pixelOffset = static_cast<uint32_t>(14 + body.size());
        file.push_back('B');
        file.push_back('M');
        AppendLe32(&file, static_cast<uint32_t>(pixelOffset + desc.pixels.size()));
        AppendLe32(&file, 0);
        AppendLe32(&file, pixelOffset);
    }
    file.insert(file.end(), body.begin(), body.end());
    file.insert(file.end(), desc.pixels.begin(), desc.pixels.end());
    return file;
}

static void PackIndexedRow(uint16_t bitCount, const std::vector<uint32_t>& row, Bytes* out) {
    const size_t perByte = 8 / bitCount;
    for (size_t start = 0; start < row.size(); start += perByte) {
        uint32_t byte = 0;
        for (size_t i = 0; i < perByte; ++i) {
            const uint32_t value = start + i < row.size() ? row[start + i] : 0;
            byte |= value << (8 - bitCount * (i + 1));
        }
        out->push_back(static_cast<uint8_t>(byte));
    }
}

Bytes PackRows(uint16_t bitCount, const std::vector<std::vector<uint32_t>>& rows) {
    Bytes out;
    for (const std::vector<uint32_t>& row : rows) {
        const size_t rowStart = out.size();
        if (bitCount <= 8) {
            PackIndexedRow(bitCount, row, &out);
        } else {
            for (uint32_t value : row) {
                if (bitCount == 16) {
                    AppendLe16(&out, value);
                } else if (bitCount == 32) {
                    AppendLe32(&out, value);
                } else {
                    out.push_back(static_cast<uint8_t>(value));
                    out.push_back(static_cast<uint8_t>(value >> 8));
                    out.push_back(static_cast<uint8_t>(value >> 16));
                }
            }
        }
        while ((out.size() - rowStart) % 4 != 0) {
            out.push_back(0xA5);  // pad bytes the reader must skip
        }
    }
    return out;
}

std::string MakeTempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vup-bmp-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        return std::string();
    }
    return pattern;
}

bool WriteBytes(const std::string& path, const Bytes& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written =
        bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

void RemoveTree(const std::string& path) {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}
