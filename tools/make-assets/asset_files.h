// The show's data files, generated in memory and written under a directory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct AssetFile {
    std::string relativePath;  // e.g. "Data/Main.bmp"
    std::vector<uint8_t> bytes;
};

// Data/Main.bmp (24-bit, info header), Data/VOLVO.bmp (24-bit, core header),
// Data/Greetz.bmp (8-bit indexed, info header), Data/klump.bmp (24-bit, info
// header) and data/tulmor.mid. Every call yields the same bytes.
std::vector<AssetFile> GenerateAssets();

// Writes the files under `outDir`, creating Data/ and data/ as needed. On
// failure returns false with a description in `error`.
bool WriteAssets(const std::string& outDir, const std::vector<AssetFile>& files,
                 std::string& error);
