// Shared by the bitmap reader's tests: a fixture with a temporary directory
// and the fake platform's message boxes, and helpers that read a built file
// back into plain bytes.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "assets/bitmap_reader.h"
#include "fakes/bmp_builder.h"
#include "fakes/fake_platform.h"

// What the reader produced, copied out of its malloc blocks.
struct Picture {
    bool loaded = false;
    int32_t width = 0;
    int32_t height = 0;
    Bytes rgb;
};

// Takes the reader's result apart and frees it the way its callers do.
inline Picture TakePicture(RgbImage* image) {
    Picture picture;
    if (image == nullptr) {
        return picture;
    }
    picture.loaded = true;
    picture.width = image->width;
    picture.height = image->height;
    const size_t bytes = static_cast<size_t>(image->width) * static_cast<size_t>(image->height) * 3;
    picture.rgb.assign(image->pixels, image->pixels + bytes);
    std::free(image->pixels);
    std::free(image);
    return picture;
}

// Expected output bytes from colours written as 0xRRGGBB.
inline Bytes Rgb(std::initializer_list<uint32_t> colours) {
    Bytes bytes;
    for (uint32_t colour : colours) {
        bytes.push_back(static_cast<uint8_t>(colour >> 16));
        bytes.push_back(static_cast<uint8_t>(colour >> 8));
        bytes.push_back(static_cast<uint8_t>(colour));
    }
    return bytes;
}

class BitmapReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        FakePlatformReset();
        FakePlatform().focus = kFocusWindow;
        showLoaderErrors = true;
        loaderAllocate = std::malloc;
        dir = MakeTempDir();
        ASSERT_FALSE(dir.empty());
    }
    void TearDown() override {
        RemoveTree(dir);
        showLoaderErrors = true;
        loaderAllocate = std::malloc;
    }

    std::string PathOf(const std::string& name) const { return dir + "/" + name; }

    // Writes the bytes to a file and reads it with ReadBitmapFile.
    Picture Load(const Bytes& bytes, const std::string& name = "picture.bmp") {
        const std::string path = PathOf(name);
        EXPECT_TRUE(WriteBytes(path, bytes));
        return TakePicture(ReadBitmapFile(path.c_str()));
    }

    // Reads the bytes from a heap block of exactly their size, so that the
    // address sanitizer sees any read past the end.
    static Picture LoadFromMemory(const Bytes& bytes, size_t length) {
        unsigned char* copy = static_cast<unsigned char*>(std::malloc(length == 0 ? 1 : length));
        if (length != 0) {
            std::memcpy(copy, bytes.data(), length);
        }
        Picture picture = TakePicture(ReadBitmapBytes(copy, length));
        std::free(copy);
        return picture;
    }

    // The one box a failure shows, checked for caption, style and owner.
    static void ExpectOneErrorBox(const std::string& text) {
        ASSERT_EQ(FakePlatform().boxes.size(), 1u) << "expected the box \"" << text << "\"";
        const FakeMessageBox& box = FakePlatform().boxes[0];
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.caption, "Error");
        EXPECT_EQ(box.flags, MB_OK);
        EXPECT_EQ(box.owner, kFocusWindow);
    }

    inline static WindowHandle const kFocusWindow = reinterpret_cast<WindowHandle>(0x5150);
    std::string dir;
};
