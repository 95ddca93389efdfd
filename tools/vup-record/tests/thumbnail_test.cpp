#include <gtest/gtest.h>

#include <vector>

#include "thumbnail.h"

// A 16 x 8 RGBA picture: black, with one lit 4 x 4 square at (x, y).
static std::vector<uint8_t> Square(int x, int y, uint8_t level) {
    std::vector<uint8_t> rgba(16 * 8 * 4, 0);
    for (int row = y; row < y + 4; ++row) {
        for (int column = x; column < x + 4; ++column) {
            uint8_t* p = &rgba[(row * 16 + column) * 4];
            p[0] = level;
            p[1] = static_cast<uint8_t>(level / 2);
            p[2] = 0;
            p[3] = 255;
        }
    }
    return rgba;
}

TEST(Thumbnail, AveragesEachBlockPerChannelWithRounding) {
    // 4 x 2 thumbnail of 16 x 8: 4 x 4 blocks. The square at (2, 0) covers
    // half of block 0 and half of block 1 on the top row.
    const std::vector<uint8_t> thumb = MakeThumbnail(Square(2, 0, 201).data(), 16, 8, 4, 2);
    ASSERT_EQ(thumb.size(), 4u * 2u * 3u);
    EXPECT_EQ(thumb[0], 101);  // 201 * 8 / 16 = 100.5, rounded
    EXPECT_EQ(thumb[1], 50);   // 100 * 8 / 16
    EXPECT_EQ(thumb[2], 0);
    EXPECT_EQ(thumb[3], 101);
    EXPECT_EQ(thumb[6], 0);      // block 2 untouched
    EXPECT_EQ(thumb[4 * 3], 0);  // bottom row untouched
}

TEST(Thumbnail, ToleranceTakesRasterNoiseButNotAMovedObject) {
    std::vector<uint8_t> reference(100 * 75 * 3, 40);
    std::vector<uint8_t> noisy = reference;
    for (size_t i = 0; i < noisy.size(); i += 7) {
        noisy[i] = static_cast<uint8_t>(noisy[i] + 3);
    }
    for (size_t i = 0; i < 15; ++i) {
        noisy[i * 1000] = 90;  // a few edge blocks far off
    }
    const ThumbnailDifference small = CompareThumbnails(reference, noisy);
    EXPECT_LT(small.meanAbsolute, 1.0);
    EXPECT_EQ(small.largest, 50);
    EXPECT_TRUE(WithinRasterTolerance(small));

    // A 6 x 6 block object that moved by its own width: far off in 72 pixels.
    std::vector<uint8_t> moved = reference;
    for (int y = 30; y < 36; ++y) {
        for (int x = 40; x < 52; ++x) {
            for (int c = 0; c < 3; ++c) {
                moved[(y * 100 + x) * 3 + c] = 220;
            }
        }
    }
    EXPECT_FALSE(WithinRasterTolerance(CompareThumbnails(reference, moved)));

    // A picture of another size never matches.
    EXPECT_FALSE(WithinRasterTolerance(CompareThumbnails(reference, std::vector<uint8_t>(30, 40))));
}
