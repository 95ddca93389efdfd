// Builds bitmap files byte by byte for the reader's tests, so that every
// header field, table entry and pad byte is exactly what a test asks for.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "fakes/file_bytes.h"

struct BmpDesc {
    bool fileHeader = true;
    // 12 writes a core header, anything else an info header padded with zero
    // bytes up to this size (so 108 and 124 look like the larger kinds).
    uint32_t headerSize = 40;
    int32_t width = 1;
    int32_t height = 1;
    uint16_t planes = 1;
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    uint32_t imageSize = 0;
    uint32_t coloursUsed = 0;
    // Colours as 0xRRGGBB, written blue, green, red (and 0 for info headers).
    std::vector<uint32_t> colours;
    // Written right after the header when not empty (bit-field masks).
    std::vector<uint32_t> masks;
    // Bytes between the colour table and the pixels; the file header's pixel
    // offset points past them.
    uint32_t gapBeforePixels = 0;
    Bytes pixels;
};

Bytes BuildBmp(const BmpDesc& desc);

// Stored rows from pixel values, padded to 4 bytes each, in the order given.
// Indexed depths pack the leftmost pixel into the high bits; 16 and 32 bits
// are little-endian words; 24 bits takes 0xRRGGBB and stores blue first.
Bytes PackRows(uint16_t bitCount, const std::vector<std::vector<uint32_t>>& rows);

// A fresh directory under the system's temporary directory.
std::string MakeTempDir();
// Writes the bytes; false when the file cannot be written.
bool WriteBytes(const std::string& path, const Bytes& bytes);
// Removes a directory tree made by MakeTempDir.
void RemoveTree(const std::string& path);
