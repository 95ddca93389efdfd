// The read-only mapping the picture reader reads files through.
#include <gtest/gtest.h>

#include "fakes/bmp_builder.h"
#include "platform/file_map.h"

class FileMapTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = MakeTempDir();
        ASSERT_FALSE(dir.empty());
    }
    void TearDown() override { RemoveTree(dir); }
    std::string dir;
};

TEST_F(FileMapTest, MapsTheWholeFileAndReleasesIt) {
    Bytes content;
    for (int i = 0; i < 10000; ++i) {
        content.push_back(static_cast<uint8_t>(i * 7));
    }
    const std::string path = dir + "/data.bin";
    ASSERT_TRUE(WriteBytes(path, content));
    MappedFile file;
    ASSERT_EQ(MapFileReadOnly(path.c_str(), &file), 1);
    ASSERT_NE(file.data, nullptr);
    ASSERT_EQ(file.size, content.size());
    EXPECT_TRUE(std::equal(content.begin(), content.end(), file.data));
    UnmapFile(&file);
    EXPECT_EQ(file.data, nullptr);
    EXPECT_EQ(file.size, 0u);
    UnmapFile(&file);  // a second release does nothing
}

TEST_F(FileMapTest, EmptyMissingAndDirectoryFailWithNothingHeld) {
    const std::string empty = dir + "/empty.bin";
    ASSERT_TRUE(WriteBytes(empty, Bytes{}));
    for (const std::string& path : {empty, dir + "/missing.bin", dir}) {
        MappedFile file;
        EXPECT_EQ(MapFileReadOnly(path.c_str(), &file), 0) << path;
        EXPECT_EQ(file.data, nullptr);
        EXPECT_EQ(file.size, 0u);
        UnmapFile(&file);
    }
    MappedFile zeroed = {};
    UnmapFile(&zeroed);
    EXPECT_EQ(MapFileReadOnly(nullptr, &zeroed), 0);
}
