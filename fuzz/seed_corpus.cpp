// Writes the fuzzers' seed corpus: one small file of every kind the reader
// accepts (each depth, both header kinds, with and without a file header,
// short tables, bit fields, top-down rows, run-length data with every escape)
// and a few it refuses, so that the search starts past the header checks.
//
// Usage: vup_bitmap_seeds DIR
#include <cstdio>
#include <string>
#include <vector>

#include "fakes/bmp_builder.h"

namespace {

struct Seed {
    std::string name;
    Bytes bytes;
};

// A w x h picture of distinct values (masked to the depth), rows bottom first.
std::vector<std::vector<uint32_t>> Pattern(int width, int height, uint16_t bitCount) {
    const uint32_t mask = bitCount >= 32 ? 0xFFFFFFFFu : (1u << bitCount) - 1u;
    std::vector<std::vector<uint32_t>> rows;
    for (int y = 0; y < height; ++y) {
        std::vector<uint32_t> row;
        for (int x = 0; x < width; ++x) {
            row.push_back((0x9E3779B1u * static_cast<uint32_t>(y * width + x + 1)) & mask);
        }
        rows.push_back(row);
    }
    return rows;
}

std::vector<uint32_t> Palette(size_t count) {
    std::vector<uint32_t> colours;
    for (size_t i = 0; i < count; ++i) {
        colours.push_back(static_cast<uint32_t>(i * 0x010305u) & 0xFFFFFFu);
    }
    return colours;
}

BmpDesc Plain(uint16_t bitCount, int width, int height, uint32_t headerSize) {
    BmpDesc desc;
    desc.headerSize = headerSize;
    desc.bitCount = bitCount;
    desc.width = width;
    desc.height = height;
    if (bitCount <= 8) {
        desc.colours = Palette(size_t{1} << bitCount);
    }
    desc.pixels = PackRows(bitCount, Pattern(width, height < 0 ? -height : height, bitCount));
    return desc;
}

void AddPlainSeeds(std::vector<Seed>* seeds) {
    for (uint16_t bits : {1, 4, 8, 16, 24, 32}) {
        for (int width : {1, 3, 4, 7}) {
            BmpDesc info = Plain(bits, width, 3, 40);
            seeds->push_back(
                {"info" + std::to_string(bits) + "_w" + std::to_string(width), BuildBmp(info)});
        }
        BmpDesc bare = Plain(bits, 5, 2, 40);
        bare.fileHeader = false;
        seeds->push_back({"bare_info" + std::to_string(bits), BuildBmp(bare)});
        BmpDesc topDown = Plain(bits, 3, -3, 40);
        seeds->push_back({"topdown" + std::to_string(bits), BuildBmp(topDown)});
        if (bits != 16 && bits != 32) {
            BmpDesc core = Plain(bits, 5, 3, 12);
            seeds->push_back({"core" + std::to_string(bits), BuildBmp(core)});
            core.fileHeader = false;
            seeds->push_back({"bare_core" + std::to_string(bits), BuildBmp(core)});
        }
    }
    BmpDesc shortTable = Plain(8, 4, 2, 40);
    shortTable.coloursUsed = 5;
    shortTable.colours = Palette(5);
    seeds->push_back({"colours_used5", BuildBmp(shortTable)});
    BmpDesc carried = Plain(24, 2, 2, 40);
    carried.coloursUsed = 3;
    carried.colours = Palette(3);
    carried.gapBeforePixels = 6;
    seeds->push_back({"truecolour_table_gap", BuildBmp(carried)});
    for (uint16_t bits : {16, 32}) {
        BmpDesc fields = Plain(bits, 3, 2, 40);
        fields.compression = 3;
        fields.masks = bits == 16 ? std::vector<uint32_t>{0xF800, 0x07E0, 0x001F}
                                  : std::vector<uint32_t>{0x3FF00000, 0x000FFC00, 0x000003FF};
        seeds->push_back({"bitfields" + std::to_string(bits), BuildBmp(fields)});
    }
}

void AddRunLengthSeeds(std::vector<Seed>* seeds) {
    BmpDesc rle8;
    rle8.bitCount = 8;
    rle8.compression = 1;
    rle8.width = 6;
    rle8.height = 4;
    rle8.colours = Palette(256);
    // A run, a literal of 3 (padded), end of line, a delta, a run, end of bitmap.
    rle8.pixels = {3, 7, 0, 3, 1, 2, 3, 0, 0, 0, 0, 2, 2, 1, 2, 9, 0, 1};
    seeds->push_back({"rle8", BuildBmp(rle8)});

    BmpDesc rle4 = rle8;
    rle4.bitCount = 4;
    rle4.compression = 2;
    rle4.colours = Palette(16);
    rle4.pixels = {5, 0x12, 0, 3, 0x34, 0x50, 0, 0, 0, 2, 1, 1, 2, 0x77, 0, 1};
    seeds->push_back({"rle4", BuildBmp(rle4)});

    BmpDesc unended = rle8;
    unended.pixels = {255, 1, 0, 255, 1, 2};
    seeds->push_back({"rle8_unended", BuildBmp(unended)});
}

void AddRefusedSeeds(std::vector<Seed>* seeds) {
    for (uint32_t size : {108u, 124u}) {
        seeds->push_back({"header" + std::to_string(size), BuildBmp(Plain(24, 2, 2, size))});
    }
    Bytes truncated = BuildBmp(Plain(24, 4, 4, 40));
    truncated.resize(truncated.size() - 5);
    seeds->push_back({"truncated24", truncated});
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    std::vector<Seed> seeds;
    AddPlainSeeds(&seeds);
    AddRunLengthSeeds(&seeds);
    AddRefusedSeeds(&seeds);
    for (const Seed& seed : seeds) {
        const std::string path = std::string(argv[1]) + "/" + seed.name + ".bmp";
        if (!WriteBytes(path, seed.bytes)) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], path.c_str());
            return 1;
        }
    }
    std::printf("%zu seeds in %s\n", seeds.size(), argv[1]);
    return 0;
}
