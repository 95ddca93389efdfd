#include "asset_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "bmp_decoder.h"

namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

class AssetFilesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { files = new std::vector<AssetFile>(GenerateAssets()); }
    static void TearDownTestSuite() {
        delete files;
        files = nullptr;
    }
    static const AssetFile* Find(const std::string& path) {
        for (const AssetFile& file : *files) {
            if (file.relativePath == path) {
                return &file;
            }
        }
        return nullptr;
    }
    static std::vector<AssetFile>* files;
};

std::vector<AssetFile>* AssetFilesTest::files = nullptr;

// A scratch directory removed again after the test.
struct ScratchDir {
    fs::path path;
    explicit ScratchDir(const char* name)
        : path(fs::temp_directory_path() /
               (std::string("vup-make-assets-") + name + "-" + std::to_string(getpid()))) {
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~ScratchDir() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

TEST_F(AssetFilesTest, GeneratesTheSameBytesEveryTime) {
    std::vector<AssetFile> again = GenerateAssets();
    ASSERT_EQ(again.size(), files->size());
    for (size_t i = 0; i < again.size(); ++i) {
        EXPECT_EQ(again[i].relativePath, (*files)[i].relativePath);
        EXPECT_TRUE(again[i].bytes == (*files)[i].bytes) << again[i].relativePath;
    }
}

TEST_F(AssetFilesTest, PicturesUseTheIntendedKindsAndPowerOfTwoSizes) {
    struct Expected {
        const char* path;
        uint32_t headerSize;
        int bitsPerPixel;
        int width;
        int height;
    };
    const Expected expected[] = {
        {"Data/Main.bmp", 40, 24, 512, 512},
        {"Data/VOLVO.bmp", 12, 24, 512, 512},
        {"Data/Greetz.bmp", 40, 8, 256, 512},
        {"Data/klump.bmp", 40, 24, 256, 256},
    };
    for (const Expected& e : expected) {
        const AssetFile* file = Find(e.path);
        ASSERT_NE(file, nullptr) << e.path;
        DecodedBmp bmp = DecodeBmp(file->bytes);
        ASSERT_TRUE(bmp.ok) << e.path;
        EXPECT_EQ(bmp.headerSize, e.headerSize) << e.path;
        EXPECT_EQ(bmp.bitsPerPixel, e.bitsPerPixel) << e.path;
        EXPECT_EQ(bmp.width, e.width) << e.path;
        EXPECT_EQ(bmp.height, e.height) << e.path;
        uint32_t table =
            e.bitsPerPixel == 8 ? bmp.paletteEntries * (e.headerSize == 12 ? 3 : 4) : 0;
        EXPECT_EQ(bmp.pixelOffset, 14 + e.headerSize + table) << e.path;
        // A picture, not a blank: many colours, neither black nor washed out.
        std::set<uint32_t> colours;
        double sum = 0.0;
        for (size_t i = 0; i < bmp.rgb.size(); i += 3) {
            colours.insert(bmp.rgb[i] << 16 | bmp.rgb[i + 1] << 8 | bmp.rgb[i + 2]);
            sum += bmp.rgb[i] + bmp.rgb[i + 1] + bmp.rgb[i + 2];
        }
        double mean = sum / bmp.rgb.size() / 255.0;
        EXPECT_GT(colours.size(), 100u) << e.path;
        EXPECT_GT(mean, 0.05) << e.path;
        EXPECT_LT(mean, 0.8) << e.path;
    }
    ASSERT_NE(Find("data/tulmor.mid"), nullptr);
}

TEST_F(AssetFilesTest, CommittedFilesMatchTheGenerator) {
    for (const AssetFile& file : *files) {
        std::vector<uint8_t> committed = ReadFile(fs::path(VUP_SOURCE_DIR) / file.relativePath);
        EXPECT_TRUE(committed == file.bytes)
            << file.relativePath
            << " differs from the generator's output; rerun vup-make-assets on the source tree";
    }
}

TEST_F(AssetFilesTest, WritesEveryFileUnderTheOutputDirectory) {
    ScratchDir out("write");
    std::string error;
    ASSERT_TRUE(WriteAssets(out.path.string(), *files, error)) << error;
    for (const AssetFile& file : *files) {
        EXPECT_TRUE(ReadFile(out.path / file.relativePath) == file.bytes) << file.relativePath;
    }
}

TEST_F(AssetFilesTest, ReportsFailureInsteadOfWritingPartFiles) {
    ScratchDir out("fail");
    std::ofstream(out.path / "Data") << "a file where a directory should be";
    std::string error;
    EXPECT_FALSE(WriteAssets(out.path.string(), *files, error));
    EXPECT_NE(error.find("Data"), std::string::npos) << error;

    ScratchDir empty("empty");
    error.clear();
    EXPECT_FALSE(WriteAssets(empty.path.string(), {{"Data/x.bmp", {}}}, error));
    EXPECT_FALSE(fs::exists(empty.path / "Data/x.bmp"));
    EXPECT_FALSE(error.empty());
}

}  // namespace
