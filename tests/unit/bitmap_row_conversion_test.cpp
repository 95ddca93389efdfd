// The reader's row conversions at the widths where their fast paths change:
// whole 8-pixel steps, the pixels left over, rows with and without pad
// bytes, both row orders, and a picture big enough for the huge-page hint.
#include <cstdint>
#include <vector>

#include "bitmap_test_support.h"

namespace {

// The same numbers on every run, different in every byte.
struct Noise {
    uint32_t state = 2463534242u;
    uint32_t Next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
};

struct Case {
    BmpDesc desc;
    Bytes expected;  // bottom row first, red, green, blue
};

// A picture of random colours (24-bit) or random indices (8-bit, with a
// table of `tableSize` entries, so indices past it must come out black).
Case MakeCase(uint16_t bitCount, int width, int height, bool topDown, Noise* noise,
              uint32_t tableSize = 5) {
    Case made;
    made.desc.width = width;
    made.desc.height = topDown ? -height : height;
    made.desc.bitCount = bitCount;
    std::vector<uint32_t> table;
    if (bitCount == 8) {
        for (uint32_t i = 0; i < tableSize; ++i) {
            table.push_back(noise->Next() & 0xFFFFFFu);
        }
        made.desc.colours = table;
        made.desc.coloursUsed = tableSize;
    }
    // Rows as the picture shows them, bottom first.
    std::vector<std::vector<uint32_t>> rows(height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t value =
                bitCount == 8 ? noise->Next() & 0xFFu : noise->Next() & 0xFFFFFFu;
            rows[y].push_back(value);
            const uint32_t colour = bitCount == 8 ? (value < tableSize ? table[value] : 0u) : value;
            const Bytes rgb = Rgb({colour});
            made.expected.insert(made.expected.end(), rgb.begin(), rgb.end());
        }
    }
    std::vector<std::vector<uint32_t>> stored(rows);
    if (topDown) {
        stored.assign(rows.rbegin(), rows.rend());
    }
    made.desc.pixels = PackRows(bitCount, stored);
    return made;
}

}  // namespace

TEST_F(BitmapReaderTest, TrueColourRowsOfEveryWidthAroundTheEightPixelSteps) {
    Noise noise;
    for (bool topDown : {false, true}) {
        for (int width = 1; width <= 41; ++width) {
            for (int height : {1, 3}) {
                SCOPED_TRACE(testing::Message() << "width " << width << " height " << height
                                                << (topDown ? " top-down" : " bottom-up"));
                const Case made = MakeCase(24, width, height, topDown, &noise);
                const Bytes file = BuildBmp(made.desc);
                const Picture picture = LoadFromMemory(file, file.size());
                ASSERT_TRUE(picture.loaded);
                EXPECT_EQ(picture.rgb, made.expected);
            }
        }
    }
}

TEST_F(BitmapReaderTest, IndexedRowsOfEveryWidthWithValuesPastAShortTable) {
    Noise noise;
    for (bool topDown : {false, true}) {
        for (int width : {1, 2, 3, 4, 5, 7, 8, 9, 31, 32, 33, 257}) {
            SCOPED_TRACE(testing::Message()
                         << "width " << width << (topDown ? " top-down" : " bottom-up"));
            // Most random indices lie past the 5 entries; a full table too.
            for (uint32_t tableSize : {5u, 256u}) {
                const Case made = MakeCase(8, width, 4, topDown, &noise, tableSize);
                const Bytes file = BuildBmp(made.desc);
                const Picture picture = LoadFromMemory(file, file.size());
                ASSERT_TRUE(picture.loaded);
                EXPECT_EQ(picture.rgb, made.expected);
            }
        }
    }
}

TEST_F(BitmapReaderTest, PicturesOfSeveralMegabytesComeOutWhole) {
    Noise noise;
    // 4.3 MB and 3.4 MB of output: past the size at which the reader asks
    // for huge pages, with and without row pad bytes.
    for (const auto& [bitCount, width, height] :
         {std::tuple<uint16_t, int, int>{24, 1200, 1200}, {24, 1023, 1100}, {8, 1201, 1000}}) {
        SCOPED_TRACE(testing::Message() << bitCount << " bits, " << width << " x " << height);
        const Case made = MakeCase(bitCount, width, height, false, &noise, 200);
        const Bytes file = BuildBmp(made.desc);
        const Picture picture = LoadFromMemory(file, file.size());
        ASSERT_TRUE(picture.loaded);
        ASSERT_EQ(picture.rgb.size(), made.expected.size());
        EXPECT_TRUE(picture.rgb == made.expected);
    }
}
