#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "png_file.h"

// Decodes with libpng's reader: RGB, rows top first.
static bool DecodeWithLibpng(const std::vector<uint8_t>& file, int* width, int* height,
                             std::vector<uint8_t>* rgb) {
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, file.data(), file.size())) {
        return false;
    }
    image.format = PNG_FORMAT_RGB;
    rgb->assign(PNG_IMAGE_SIZE(image), 0);
    if (!png_image_finish_read(&image, nullptr, rgb->data(), 0, nullptr)) {
        return false;
    }
    *width = static_cast<int>(image.width);
    *height = static_cast<int>(image.height);
    return true;
}

// Every channel differs between neighbours, so a swapped channel, a flipped
// row or a filter off by one byte shows.
static std::vector<uint8_t> Pattern(int width, int height, int bytesPerPixel) {
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * bytesPerPixel);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &pixels[(static_cast<size_t>(y) * width + x) * bytesPerPixel];
            p[0] = static_cast<uint8_t>(x * 7 + y * 3);
            p[1] = static_cast<uint8_t>(255 - x * 5 + y * 11);
            p[2] = static_cast<uint8_t>((x ^ y) * 13);
            if (bytesPerPixel == 4) {
                p[3] = static_cast<uint8_t>(x + y);
            }
        }
    }
    return pixels;
}

TEST(PngFile, LibpngReadsBackExactlyTheRgbThatWasWritten) {
    for (int bytesPerPixel : {3, 4}) {
        const int width = 37;
        const int height = 23;
        const std::vector<uint8_t> pixels = Pattern(width, height, bytesPerPixel);
        std::vector<uint8_t> png;
        EncodePngRgb(width, height, bytesPerPixel, pixels.data(), &png);

        int decodedWidth = 0;
        int decodedHeight = 0;
        std::vector<uint8_t> rgb;
        ASSERT_TRUE(DecodeWithLibpng(png, &decodedWidth, &decodedHeight, &rgb));
        ASSERT_EQ(decodedWidth, width);
        ASSERT_EQ(decodedHeight, height);
        for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i) {
            for (int c = 0; c < 3; ++c) {
                ASSERT_EQ(rgb[i * 3 + c], pixels[i * bytesPerPixel + c])
                    << "pixel " << i << " channel " << c << " from " << bytesPerPixel << " bytes";
            }
        }
    }
}

TEST(PngFile, EqualPicturesGiveEqualFilesAndAnyChangeShows) {
    std::vector<uint8_t> pixels = Pattern(16, 9, 4);
    std::vector<uint8_t> first;
    std::vector<uint8_t> second;
    EncodePngRgb(16, 9, 4, pixels.data(), &first);
    EncodePngRgb(16, 9, 4, pixels.data(), &second);
    EXPECT_EQ(first, second);

    pixels[3] ^= 0xFF;  // alpha only: the screen has none
    EncodePngRgb(16, 9, 4, pixels.data(), &second);
    EXPECT_EQ(first, second);

    pixels[4 * 70 + 1] ^= 1;
    EncodePngRgb(16, 9, 4, pixels.data(), &second);
    EXPECT_NE(first, second);
}

TEST(PngFile, WritesTheFileOrReportsWhyNot) {
    const std::vector<uint8_t> pixels = Pattern(5, 4, 3);
    const std::string path = testing::TempDir() + "vup-record-png-test.png";
    std::string error;
    ASSERT_EQ(WritePngFile(path, 5, 4, 3, pixels.data(), &error), 1) << error;
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> written((std::istreambuf_iterator<char>(in)),
                                       std::istreambuf_iterator<char>());
    std::vector<uint8_t> expected;
    EncodePngRgb(5, 4, 3, pixels.data(), &expected);
    EXPECT_EQ(written, expected);
    std::remove(path.c_str());

    const std::string nowhere = testing::TempDir() + "no-such-folder/x.png";
    EXPECT_EQ(WritePngFile(nowhere, 5, 4, 3, pixels.data(), &error), 0);
    EXPECT_NE(error.find(nowhere), std::string::npos) << error;
}
