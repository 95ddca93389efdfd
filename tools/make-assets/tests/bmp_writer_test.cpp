#include "bmp_writer.h"

#include <gtest/gtest.h>

#include "bmp_decoder.h"
#include "palette_quantiser.h"

namespace {

// A small picture whose every pixel differs, so row order, channel order and
// padding mistakes all show.
Rgb8Image Gradient(int width, int height) {
    Rgb8Image image{width, height, {}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.rgb.push_back(static_cast<uint8_t>(x * 40 + 1));
            image.rgb.push_back(static_cast<uint8_t>(y * 50 + 2));
            image.rgb.push_back(static_cast<uint8_t>(x * 7 + y * 13 + 3));
        }
    }
    return image;
}

IndexedImage FiveColours(int width, int height) {
    IndexedImage image{width, height, {}, {}};
    image.palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {10, 20, 30}, {200, 100, 50}};
    for (int i = 0; i < width * height; ++i) {
        image.indices.push_back(static_cast<uint8_t>((i * 3) % 5));
    }
    return image;
}

std::vector<uint8_t> Expand(const IndexedImage& image) {
    std::vector<uint8_t> rgb;
    for (uint8_t index : image.indices) {
        rgb.push_back(image.palette[index].r);
        rgb.push_back(image.palette[index].g);
        rgb.push_back(image.palette[index].b);
    }
    return rgb;
}

TEST(BmpWriter, TrueColourInfoHeaderIsWellFormedAndPadsRows) {
    Rgb8Image image = Gradient(3, 2);  // 9 pixel bytes + 3 pad bytes per row
    std::vector<uint8_t> file = EncodeBmp24(image, BmpHeaderKind::Info);
    ASSERT_EQ(file.size(), 14u + 40u + 2u * 12u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(ReadLe32(file, 2), file.size());
    EXPECT_EQ(ReadLe32(file, 10), 54u);  // no colour table
    EXPECT_EQ(ReadLe32(file, 14), 40u);
    EXPECT_EQ(ReadLe32(file, 18), 3u);
    EXPECT_EQ(ReadLe32(file, 22), 2u);  // positive: bottom row first
    EXPECT_EQ(ReadLe16(file, 26), 1u);
    EXPECT_EQ(ReadLe16(file, 28), 24u);
    EXPECT_EQ(ReadLe32(file, 30), 0u);  // uncompressed
    EXPECT_EQ(ReadLe32(file, 34), 24u);
    EXPECT_EQ(ReadLe32(file, 46), 0u);  // colours used
    // First stored row is the bottom row, blue first; then three pad bytes.
    const uint8_t* bottomLeft = &image.rgb[3 * 3];
    EXPECT_EQ(file[54], bottomLeft[2]);
    EXPECT_EQ(file[55], bottomLeft[1]);
    EXPECT_EQ(file[56], bottomLeft[0]);
    EXPECT_EQ(file[63], 0);
    EXPECT_EQ(file[64], 0);
    EXPECT_EQ(file[65], 0);
}

TEST(BmpWriter, CoreHeaderHoldsSixteenBitFieldsAndPixelsFollowIt) {
    std::vector<uint8_t> file = EncodeBmp24(Gradient(4, 3), BmpHeaderKind::Core);
    ASSERT_EQ(file.size(), 14u + 12u + 3u * 12u);
    EXPECT_EQ(ReadLe32(file, 10), 26u);
    EXPECT_EQ(ReadLe32(file, 14), 12u);
    EXPECT_EQ(ReadLe16(file, 18), 4u);
    EXPECT_EQ(ReadLe16(file, 20), 3u);
    EXPECT_EQ(ReadLe16(file, 22), 1u);
    EXPECT_EQ(ReadLe16(file, 24), 24u);
    EXPECT_TRUE(EncodeBmp24(Gradient(1, 1), BmpHeaderKind::Core).size() > 0);
    Rgb8Image tooWide{70000, 1, std::vector<uint8_t>(70000 * 3, 0)};
    EXPECT_TRUE(EncodeBmp24(tooWide, BmpHeaderKind::Core).empty());
    EXPECT_FALSE(EncodeBmp24(tooWide, BmpHeaderKind::Info).empty());
}

TEST(BmpWriter, IndexedInfoHeaderCarriesItsOwnColourCount) {
    std::vector<uint8_t> file = EncodeBmp8(FiveColours(3, 2), BmpHeaderKind::Info);
    const uint32_t offset = 14 + 40 + 5 * 4;
    ASSERT_EQ(file.size(), offset + 2u * 4u);  // 3 index bytes + 1 pad per row
    EXPECT_EQ(ReadLe32(file, 10), offset);
    EXPECT_EQ(ReadLe16(file, 28), 8u);
    EXPECT_EQ(ReadLe32(file, 46), 5u);
    // Entries are blue, green, red, reserved.
    EXPECT_EQ(file[54], 0);
    EXPECT_EQ(file[55], 0);
    EXPECT_EQ(file[56], 255);
    EXPECT_EQ(file[57], 0);
    EXPECT_EQ(file[54 + 4 * 4], 50);
}

TEST(BmpWriter, IndexedCoreHeaderAlwaysStoresTheFullTable) {
    std::vector<uint8_t> file = EncodeBmp8(FiveColours(5, 2), BmpHeaderKind::Core);
    const uint32_t offset = 14 + 12 + 256 * 3;
    ASSERT_EQ(file.size(), offset + 2u * 8u);
    EXPECT_EQ(ReadLe32(file, 10), offset);
    EXPECT_EQ(ReadLe16(file, 24), 8u);
    EXPECT_EQ(file[26 + 2], 255);    // entry 0 red, stored blue-green-red
    EXPECT_EQ(file[26 + 5 * 3], 0);  // unused entries are black
}

TEST(BmpWriter, EveryKindReadsBackToThePicture) {
    for (int width : {1, 2, 3, 4, 5, 7}) {
        Rgb8Image image = Gradient(width, 3);
        for (BmpHeaderKind kind : {BmpHeaderKind::Info, BmpHeaderKind::Core}) {
            DecodedBmp back = DecodeBmp(EncodeBmp24(image, kind));
            ASSERT_TRUE(back.ok) << width;
            EXPECT_EQ(back.rgb, image.rgb) << "24-bit, width " << width;

            IndexedImage indexed = FiveColours(width, 3);
            DecodedBmp backIndexed = DecodeBmp(EncodeBmp8(indexed, kind));
            ASSERT_TRUE(backIndexed.ok) << width;
            EXPECT_EQ(backIndexed.rgb, Expand(indexed)) << "8-bit, width " << width;
        }
    }
}

TEST(BmpWriter, RefusesPicturesItCannotStore) {
    IndexedImage badIndex = FiveColours(2, 2);
    badIndex.indices[3] = 5;
    EXPECT_TRUE(EncodeBmp8(badIndex, BmpHeaderKind::Info).empty());
    IndexedImage noPalette = FiveColours(2, 2);
    noPalette.palette.clear();
    EXPECT_TRUE(EncodeBmp8(noPalette, BmpHeaderKind::Info).empty());
    Rgb8Image shortBuffer{4, 4, std::vector<uint8_t>(10, 0)};
    EXPECT_TRUE(EncodeBmp24(shortBuffer, BmpHeaderKind::Info).empty());
    EXPECT_TRUE(EncodeBmp24(Rgb8Image{0, 0, {}}, BmpHeaderKind::Info).empty());
}

TEST(PaletteQuantiser, KeepsFewColoursExactAndBoundsManyColours) {
    Rgb8Image few = Gradient(3, 2);  // 6 distinct colours
    IndexedImage exact = ReduceToPalette(few, 256);
    EXPECT_EQ(exact.palette.size(), 6u);
    EXPECT_EQ(Expand(exact), few.rgb);

    Rgb8Image many = Gradient(6, 5);  // 30 distinct colours into 8
    IndexedImage reduced = ReduceToPalette(many, 8);
    EXPECT_EQ(reduced.palette.size(), 8u);
    std::vector<uint8_t> approx = Expand(reduced);
    ASSERT_EQ(approx.size(), many.rgb.size());
    int worst = 0;
    for (size_t i = 0; i < approx.size(); ++i) {
        worst = std::max(worst, std::abs(approx[i] - many.rgb[i]));
    }
    EXPECT_LT(worst, 64);  // each colour lands near its own, not on a far entry
}

}  // namespace
