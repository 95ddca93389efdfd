// File mapping and the MIDI stand-in's refusals, against the real kernel32
// and winmm.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/file_map.h"
#include "platform/music.h"
#include "platform/win32_defs.h"

namespace {

std::string TempPath(const char* name) {
    char directory[MAX_PATH];
    const DWORD length = GetTempPathA(MAX_PATH, directory);
    return std::string(directory, length) + name;
}

void WriteTestFile(const std::string& path, const std::string& content) {
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(content.data(), 1, content.size(), file);
    std::fclose(file);
}

bool IsCleared(const MappedFile& file) {
    return file.data == nullptr && file.size == 0 && file.fileHandle == 0 &&
           file.mappingHandle == 0;
}

TEST(Win32FileMap, MapsTheWholeFileInPlace) {
    const std::string path = TempPath("vup_map_probe.bin");
    const std::string content("BM\0\x01\x02 picture bytes", 20);
    WriteTestFile(path, content);

    MappedFile file = {};
    ASSERT_EQ(MapFileReadOnly(path.c_str(), &file), 1);
    ASSERT_EQ(file.size, content.size());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(file.data), file.size), content);

    // Other readers may open the file while it is mapped.
    FILE* reader = std::fopen(path.c_str(), "rb");
    EXPECT_NE(reader, nullptr);
    if (reader != nullptr) {
        std::fclose(reader);
    }

    UnmapFile(&file);
    EXPECT_TRUE(IsCleared(file));
    UnmapFile(&file);  // a released record is safe to release again
    // Every handle was closed: the file can be deleted now.
    EXPECT_TRUE(DeleteFileA(path.c_str()));
}

TEST(Win32FileMap, UnmappableFilesFailWithNothingLeftOpen) {
    // An empty file has nothing to map; a missing one cannot be opened.
    const std::string path = TempPath("vup_map_empty.bin");
    WriteTestFile(path, "");
    MappedFile file;
    file.data = reinterpret_cast<const unsigned char*>(&file);  // stale values
    file.size = 5;
    file.fileHandle = 9;
    file.mappingHandle = 9;
    EXPECT_EQ(MapFileReadOnly(path.c_str(), &file), 0);
    EXPECT_TRUE(IsCleared(file));
    EXPECT_TRUE(DeleteFileA(path.c_str()));  // no handle kept it open

    EXPECT_EQ(MapFileReadOnly("Data/no such picture.bmp", &file), 0);
    EXPECT_TRUE(IsCleared(file));
}

TEST(Win32Music, RefusesWhatItCannotPlaySafely) {
    EXPECT_EQ(FSOUND_Init(44100, 32, 2), 1);
    EXPECT_EQ(FMUSIC_LoadSong(nullptr), nullptr);
    EXPECT_EQ(FMUSIC_LoadSong("data/no such tune.mid"), nullptr);
    // A quote would end the quoted file name inside the MCI command.
    EXPECT_EQ(FMUSIC_LoadSong("data/x.mid\" alias other"), nullptr);

    EXPECT_EQ(FMUSIC_SetMasterVolume(nullptr, 256), 0);
    EXPECT_EQ(FMUSIC_PlaySong(nullptr), 0);
    int notASong = 0;
    EXPECT_EQ(FMUSIC_PlaySong(reinterpret_cast<SongHandle>(&notASong)), 0);
}

}  // namespace
