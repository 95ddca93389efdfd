// What the reader makes of valid pictures: every depth, both header kinds,
// with and without the file header, odd widths, top-down rows, run-length
// data and bit fields, checked pixel for pixel.
#include <gtest/gtest.h>

#include "bitmap_test_support.h"

namespace {

// A colour table whose entries all differ and none is black.
uint32_t TableColour(uint32_t index) {
    return ((index * 37 + 11) & 0xFF) << 16 | ((index * 91 + 7) & 0xFF) << 8 |
           ((255 - index) & 0xFF);
}

std::vector<uint32_t> Table(uint32_t count) {
    std::vector<uint32_t> colours;
    for (uint32_t i = 0; i < count; ++i) {
        colours.push_back(TableColour(i));
    }
    return colours;
}

uint8_t Widen5(uint32_t value) {
    return static_cast<uint8_t>((value << 3) | (value >> 2));
}

// A stored pixel value for (x, y) at the given depth, and the colour the
// reader must make of it.
struct SamplePixel {
    uint32_t stored;
    uint32_t colour;  // 0xRRGGBB
};

SamplePixel Sample(uint16_t bitCount, int x, int y) {
    const uint32_t seed = static_cast<uint32_t>(x * 7 + y * 13 + 3);
    switch (bitCount) {
        case 1:
        case 4:
        case 8: {
            const uint32_t index = seed % (1u << bitCount);
            return {index, TableColour(index)};
        }
        case 16: {
            const uint32_t r = seed % 32, g = (seed * 3) % 32, b = (seed * 5) % 32;
            // Bit 15 carries nothing.
            const uint32_t stored = (x % 2) << 15 | r << 10 | g << 5 | b;
            return {stored, uint32_t{Widen5(r)} << 16 | uint32_t{Widen5(g)} << 8 | Widen5(b)};
        }
        case 24: {
            const uint32_t colour = (seed * 0x3F1D27u) & 0xFFFFFF;
            return {colour, colour};
        }
        default: {
            const uint32_t colour = (seed * 0x3F1D27u) & 0xFFFFFF;
            // The fourth byte carries nothing.
            return {colour | 0xC3000000u, colour};
        }
    }
}

}  // namespace

TEST_F(BitmapReaderTest, EveryDepthHeaderKindAndOddWidthDecodesExactly) {
    for (uint32_t headerSize : {12u, 40u}) {
        for (bool fileHeader : {true, false}) {
            for (uint16_t bitCount : {1, 4, 8, 16, 24, 32}) {
                for (int width : {1, 2, 3, 5}) {
                    SCOPED_TRACE(testing::Message()
                                 << "header " << headerSize << " file header " << fileHeader
                                 << " depth " << bitCount << " width " << width);
                    const int height = 3;
                    std::vector<std::vector<uint32_t>> rows(height);
                    Bytes expected;
                    for (int y = 0; y < height; ++y) {
                        for (int x = 0; x < width; ++x) {
                            const SamplePixel pixel = Sample(bitCount, x, y);
                            rows[y].push_back(pixel.stored);
                            const Bytes rgb = Rgb({pixel.colour});
                            expected.insert(expected.end(), rgb.begin(), rgb.end());
                        }
                    }
                    BmpDesc desc;
                    desc.headerSize = headerSize;
                    desc.fileHeader = fileHeader;
                    desc.width = width;
                    desc.height = height;
                    desc.bitCount = bitCount;
                    if (bitCount <= 8) {
                        desc.colours = Table(1u << bitCount);
                    }
                    desc.pixels = PackRows(bitCount, rows);
                    FakePlatformReset();
                    const Bytes file = BuildBmp(desc);
                    const Picture picture = LoadFromMemory(file, file.size());
                    ASSERT_TRUE(picture.loaded);
                    EXPECT_EQ(picture.width, width);
                    EXPECT_EQ(picture.height, height);
                    EXPECT_EQ(picture.rgb, expected);
                    EXPECT_TRUE(FakePlatform().boxes.empty());
                }
            }
        }
    }
}

TEST_F(BitmapReaderTest, Width3SkipsThreePadBytesAndOutputsNineBytesPerRow) {
    BmpDesc desc;
    desc.width = 3;
    desc.height = 2;
    // Bottom row first in the file, blue green red per pixel, 3 pad bytes.
    desc.pixels = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0xAA, 0xAA, 0xAA,
                   0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0xBB, 0xBB, 0xBB};
    const Picture picture = Load(BuildBmp(desc));
    ASSERT_TRUE(picture.loaded);
    EXPECT_EQ(picture.rgb, (Bytes{0x03, 0x02, 0x01, 0x06, 0x05, 0x04, 0x09, 0x08, 0x07, 0x13, 0x12,
                                  0x11, 0x16, 0x15, 0x14, 0x19, 0x18, 0x17}));
}

TEST_F(BitmapReaderTest, Width4IsTheSourceWithBlueAndRedSwapped) {
    BmpDesc desc;
    desc.width = 4;
    desc.height = 2;
    for (int i = 0; i < 24; ++i) {
        desc.pixels.push_back(static_cast<uint8_t>(i * 11 + 1));
    }
    const Picture picture = Load(BuildBmp(desc));
    ASSERT_TRUE(picture.loaded);
    Bytes expected = desc.pixels;
    for (size_t i = 0; i < expected.size(); i += 3) {
        std::swap(expected[i], expected[i + 2]);
    }
    EXPECT_EQ(picture.rgb, expected);
}

TEST_F(BitmapReaderTest, TopDownRowsComeOutBottomRowFirstWithAPositiveHeight) {
    BmpDesc desc;
    desc.width = 2;
    desc.height = -3;
    desc.bitCount = 8;
    desc.coloursUsed = 3;
    desc.colours = {0xFF0000, 0x00FF00, 0x0000FF};
    // Top row first in the file.
    desc.pixels = PackRows(8, {{0, 0}, {1, 1}, {2, 0}});
    const Picture picture = Load(BuildBmp(desc));
    ASSERT_TRUE(picture.loaded);
    EXPECT_EQ(picture.height, 3);
    EXPECT_EQ(picture.rgb, Rgb({0x0000FF, 0xFF0000, 0x00FF00, 0x00FF00, 0xFF0000, 0xFF0000}));
}

TEST_F(BitmapReaderTest, ColoursUsedFiveGivesAFiveEntryTableAndBlackBeyondIt) {
    BmpDesc desc;
    desc.fileHeader = false;
    desc.width = 4;
    desc.bitCount = 8;
    desc.coloursUsed = 5;
    desc.colours = {0x010101, 0x020202, 0x030303, 0x040404, 0x050505};
    // Pixels begin 40 + 20 bytes after the header start; 5 and 255 lie
    // beyond the table.
    desc.pixels = {4, 5, 255, 0};
    const Bytes file = BuildBmp(desc);
    ASSERT_EQ(file.size(), 40u + 20u + 4u);
    const Picture picture = Load(file);
    ASSERT_TRUE(picture.loaded);
    EXPECT_EQ(picture.rgb, Rgb({0x050505, 0x000000, 0x000000, 0x010101}));
}

TEST_F(BitmapReaderTest, CoreHeaderCarriesAFull256EntryThreeByteTable) {
    BmpDesc desc;
    desc.fileHeader = false;
    desc.headerSize = 12;
    desc.width = 4;
    desc.bitCount = 8;
    desc.colours = Table(256);
    desc.pixels = {0, 255, 128, 7};
    const Bytes file = BuildBmp(desc);
    ASSERT_EQ(file.size(), 12u + 768u + 4u);
    const Picture picture = Load(file);
    ASSERT_TRUE(picture.loaded);
    EXPECT_EQ(picture.rgb,
              Rgb({TableColour(0), TableColour(255), TableColour(128), TableColour(7)}));
}

TEST_F(BitmapReaderTest, TheFileHeadersPixelOffsetIsHonoured) {
    BmpDesc desc;
    desc.width = 2;
    desc.bitCount = 4;
    desc.colours = Table(16);
    desc.gapBeforePixels = 10;  // filled with 0xEE, which would decode as 14, 14
    desc.pixels = {0x3C, 0, 0, 0};
    const Picture picture = Load(BuildBmp(desc));
    ASSERT_TRUE(picture.loaded);
    EXPECT_EQ(picture.rgb, Rgb({TableColour(3), TableColour(12)}));
}

TEST_F(BitmapReaderTest, TrueColourWithColoursUsedSkipsTheTableAndIsNotIndexed) {
    BmpDesc desc;
    desc.fileHeader = false;
    desc.width = 1;
    desc.coloursUsed = 3;
    desc.colours = {0x111111, 0x222222, 0x333333};
    desc.pixels = {0x02, 0x01, 0x00, 0x00};
    const Bytes file = BuildBmp(desc);
    ASSERT_EQ(file.size(), 40u + 12u + 4u);
    const Picture picture = Load(file);
    ASSERT_TRUE(picture.loaded);
    EXPECT_EQ(picture.rgb, Rgb({0x000102}));
}

TEST_F(BitmapReaderTest, SixteenBitChannelsWidenSoThatWhiteStaysWhite) {
    BmpDesc desc;
    desc.width = 6;
    desc.bitCount = 16;
    desc.pixels = PackRows(16, {{0x7FFF, 0xFFFF, 0x7C00, 0x03E0, 0x0001, 0x0421}});
    const Picture picture = Load(BuildBmp(desc));
    ASSERT_TRUE(picture.loaded);
    EXPECT_EQ(picture.rgb, Rgb({0xFFFFFF, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x000008, 0x080808}));
}

TEST_F(BitmapReaderTest, IndexedPixelsFillBytesFromTheHighBitsAndTheirTableCanBeShort) {
    BmpDesc desc;
    desc.width = 9;
    desc.bitCount = 1;
    desc.coloursUsed = 1;  // index 1 lies beyond the table
    desc.colours = {0xABCDEF};
    desc.pixels = {0b10100000, 0b00000000, 0, 0};
    const Picture picture = Load(BuildBmp(desc));
    ASSERT_TRUE(picture.loaded);
    EXPECT_EQ(picture.rgb,
              Rgb({0, 0xABCDEF, 0, 0xABCDEF, 0xABCDEF, 0xABCDEF, 0xABCDEF, 0xABCDEF, 0xABCDEF}));
}

TEST_F(BitmapReaderTest, BitFieldPicturesUseTheMasksAfterTheHeader) {
    BmpDesc desc565;
    desc565.width = 5;
    desc565.bitCount = 16;
    desc565.compression = 3;
    desc565.masks = {0xF800, 0x07E0, 0x001F};
    desc565.pixels = PackRows(16, {{0xFFFF, 0xF800, 0x07E0, 0x0020, 0x0001}});
    for (bool fileHeader : {true, false}) {
        desc565.fileHeader = fileHeader;
        const Picture picture = Load(BuildBmp(desc565));
        ASSERT_TRUE(picture.loaded);
        EXPECT_EQ(picture.rgb, Rgb({0xFFFFFF, 0xFF0000, 0x00FF00, 0x000400, 0x000008}));
    }

    BmpDesc desc32;
    desc32.width = 2;
    desc32.bitCount = 32;
    desc32.compression = 3;
    desc32.masks = {0xFF000000, 0x00FF0000, 0x0000FF00};
    desc32.pixels = PackRows(32, {{0x11223344, 0xFFEEDDCC}});
    const Picture picture = Load(BuildBmp(desc32));
    ASSERT_TRUE(picture.loaded);
    EXPECT_EQ(picture.rgb, Rgb({0x112233, 0xFFEEDD}));
}

TEST_F(BitmapReaderTest, Rle8RunsLiteralsDeltaAndEndCodes) {
    BmpDesc desc;
    desc.width = 6;
    desc.height = 3;
    desc.bitCount = 8;
    desc.compression = 1;
    desc.coloursUsed = 4;
    desc.colours = {0x111111, 0xFF0000, 0x00FF00, 0x0000FF};
    desc.pixels = {
        0x03, 0x01,                    // row 0: three of colour 1
        0x00, 0x03, 0x02, 0x03, 0x02,  // then a literal 2, 3, 2
        0x00,                          // and its pad byte
        0x00, 0x00,                    // end of line
        0x02, 0x03,                    // row 1: two of colour 3
        0x00, 0x02, 0x02, 0x01,        // delta: 2 right, 1 up, to (4, 2)
        0x01, 0x00,                    // one of colour 0
        0x05, 0x01,                    // five of colour 1, clipped at the edge
        0x00, 0x01,                    // end of bitmap
    };
    const Picture picture = Load(BuildBmp(desc));
    ASSERT_TRUE(picture.loaded);
    EXPECT_EQ(picture.rgb, Rgb({0xFF0000, 0xFF0000, 0xFF0000, 0x00FF00, 0x0000FF, 0x00FF00,  //
                                0x0000FF, 0x0000FF, 0, 0, 0, 0,                              //
                                0, 0, 0, 0, 0x111111, 0xFF0000}));
}

TEST_F(BitmapReaderTest, Rle4AlternatesNibblesAndPadsLiteralsToWords) {
    BmpDesc desc;
    desc.fileHeader = false;
    desc.width = 6;
    desc.height = 2;
    desc.bitCount = 4;
    desc.compression = 2;
    desc.colours = Table(16);
    desc.pixels = {
        0x00, 0x05, 0x31, 0x23, 0x10, 0x00,  // row 0: literal 3 1 2 3 1, three bytes + pad
        0x01, 0x20,                          // one pixel of the high nibble, 2
        0x00, 0x00,                          // end of line
        0x04, 0x12,                          // row 1: 1 2 1 2
        0x00, 0x01,                          // end of bitmap
    };
    const Picture picture = Load(BuildBmp(desc));
    ASSERT_TRUE(picture.loaded);
    const uint32_t c1 = TableColour(1), c2 = TableColour(2), c3 = TableColour(3);
    EXPECT_EQ(picture.rgb, Rgb({c3, c1, c2, c3, c1, c2, c1, c2, c1, c2, 0, 0}));
}

TEST_F(BitmapReaderTest, MalformedRunsStopAtThePicturesEdges) {
    BmpDesc desc;
    desc.fileHeader = false;
    desc.width = 3;
    desc.height = 2;
    desc.bitCount = 8;
    desc.compression = 1;
    desc.coloursUsed = 2;
    desc.colours = {0x0000FF, 0x00FF00};
    struct Case {
        const char* what;
        Bytes data;
        Bytes expected;
    };
    const Case cases[] = {
        {"a run far past the right edge does not wrap",
         {0xFF, 0x01, 0x00, 0x00, 0x01, 0x00},
         Rgb({0x00FF00, 0x00FF00, 0x00FF00, 0x0000FF, 0, 0})},
        {"a literal past the right edge is clipped and all its bytes skipped",
         {0x00, 0x05, 0x01, 0x01, 0x01, 0x01, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00},
         Rgb({0x00FF00, 0x00FF00, 0x00FF00, 0x0000FF, 0, 0})},
        {"a delta below the picture ends it",
         {0x01, 0x01, 0x00, 0x02, 0x00, 0x09, 0x03, 0x01},
         Rgb({0x00FF00, 0, 0, 0, 0, 0})},
        {"no end of bitmap: the rest stays black",
         {0x02, 0x01},
         Rgb({0x00FF00, 0x00FF00, 0, 0, 0, 0})},
        {"a literal cut short by the end of the data",
         {0x00, 0x00, 0x00, 0x06, 0x01, 0x00},
         Rgb({0, 0, 0, 0x00FF00, 0x0000FF, 0})},
        {"a lone byte at the end is ignored", {0x01, 0x01, 0x03}, Rgb({0x00FF00, 0, 0, 0, 0, 0})},
        {"end-of-line codes past the top end it",
         {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03, 0x01},
         Rgb({0, 0, 0, 0, 0, 0})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        desc.pixels = c.data;
        const Bytes file = BuildBmp(desc);
        const Picture picture = LoadFromMemory(file, file.size());
        ASSERT_TRUE(picture.loaded);
        EXPECT_EQ(picture.rgb, c.expected);
    }
}

TEST_F(BitmapReaderTest, LargestAcceptedWidthLoads) {
    BmpDesc desc;
    desc.width = 32768;
    desc.bitCount = 1;
    desc.colours = {0x000000, 0xFFFFFF};
    desc.pixels.assign(32768 / 8, 0xFF);
    const Picture picture = Load(BuildBmp(desc));
    ASSERT_TRUE(picture.loaded);
    EXPECT_EQ(picture.width, 32768);
    EXPECT_EQ(picture.rgb, Bytes(32768 * 3, 0xFF));
}

TEST(CountPaletteColors, FollowsTheHeaderKindColoursUsedAndDepth) {
    struct Case {
        uint32_t headerSize;
        uint16_t bitCount;
        uint32_t coloursUsed;
        uint16_t expected;
    };
    const Case cases[] = {
        {12, 1, 0, 2},  {12, 4, 0, 16},      {12, 8, 0, 256},  {12, 24, 0, 0},
        {40, 1, 0, 2},  {40, 4, 0, 16},      {40, 8, 0, 256},  {40, 16, 0, 0},
        {40, 24, 0, 0}, {40, 32, 0, 0},      {40, 2, 0, 0},    {40, 8, 5, 5},
        {40, 24, 3, 3}, {40, 8, 0x10005, 5}, {108, 8, 0, 256}, {124, 4, 7, 7},
    };
    for (const Case& c : cases) {
        BmpDesc desc;
        desc.fileHeader = false;
        desc.headerSize = c.headerSize;
        desc.bitCount = c.bitCount;
        desc.coloursUsed = c.coloursUsed;
        const Bytes header = BuildBmp(desc);
        EXPECT_EQ(CountPaletteColors(header.data()), c.expected)
            << "header " << c.headerSize << " depth " << c.bitCount << " used " << c.coloursUsed;
    }
}
