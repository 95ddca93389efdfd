// A test-side bitmap reader that follows the show's loader rules (file header
// optional, core or info header, colour count from the header, rows bottom up
// padded to 4 bytes), used to read back what the writer produced.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct DecodedBmp {
    bool ok = false;
    uint32_t headerSize = 0;
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    uint32_t pixelOffset = 0;
    uint32_t paletteEntries = 0;
    std::vector<uint8_t> rgb;  // top row first, no padding
};

uint32_t ReadLe16(const std::vector<uint8_t>& bytes, size_t at);
uint32_t ReadLe32(const std::vector<uint8_t>& bytes, size_t at);

DecodedBmp DecodeBmp(const std::vector<uint8_t>& file);
