// A temporary show directory (Data/ and data/) for the vup-assets tests,
// filled with small valid pictures and a tune that each test may spoil.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "fakes/bmp_builder.h"
#include "smf_test_files.h"

// What a run printed on each stream, and its status.
struct CommandResult {
    int status = -1;
    std::string out;
    std::string err;
};

class AssetDirTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = MakeTempDir();
        ASSERT_FALSE(dir.empty());
        std::filesystem::create_directories(dir + "/Data");
        std::filesystem::create_directories(dir + "/data");
        WritePicture("Data/Greetz.bmp", GreetingsPicture());
        WritePicture("Data/Main.bmp", MainPicture());
        WritePicture("Data/VOLVO.bmp", EndPicture());
        WritePicture("Data/klump.bmp", KlumpPicture());
        ASSERT_TRUE(WriteBytes(dir + "/data/tulmor.mid", SimpleTune()));
    }
    void TearDown() override { RemoveTree(dir); }

    void WritePicture(const std::string& relative, const BmpDesc& desc) {
        ASSERT_TRUE(WriteBytes(dir + "/" + relative, BuildBmp(desc)));
    }

    // 4 x 4, 24 bits, with a file header.
    static BmpDesc GreetingsPicture() {
        BmpDesc desc;
        desc.width = 4;
        desc.height = 4;
        desc.pixels.assign(4 * 12, 0x40);
        return desc;
    }
    // 8 x 2, RLE8 with a 4-colour table, no file header.
    static BmpDesc MainPicture() {
        BmpDesc desc;
        desc.fileHeader = false;
        desc.width = 8;
        desc.height = 2;
        desc.bitCount = 8;
        desc.compression = 1;
        desc.coloursUsed = 4;
        desc.colours = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
        desc.pixels = {0x08, 0x01, 0x00, 0x00, 0x08, 0x02, 0x00, 0x01};
        return desc;
    }
    // 8 x 8, 4 bits, core header.
    static BmpDesc EndPicture() {
        BmpDesc desc;
        desc.headerSize = 12;
        desc.width = 8;
        desc.height = 8;
        desc.bitCount = 4;
        desc.colours.assign(16, 0x808080);
        desc.pixels.assign(8 * 4, 0x12);
        return desc;
    }
    // 4 x 4, 16-bit bit fields (5-6-5).
    static BmpDesc KlumpPicture() {
        BmpDesc desc;
        desc.width = 4;
        desc.height = 4;
        desc.bitCount = 16;
        desc.compression = 3;
        desc.masks = {0xF800, 0x07E0, 0x001F};
        desc.pixels.assign(4 * 8, 0xFF);
        return desc;
    }

    std::string dir;
};

// Runs the function with stdout and stderr captured.
template <typename Run>
CommandResult Capture(Run run) {
    CommandResult result;
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    result.status = run();
    result.out = ::testing::internal::GetCapturedStdout();
    result.err = ::testing::internal::GetCapturedStderr();
    return result;
}

inline bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}
