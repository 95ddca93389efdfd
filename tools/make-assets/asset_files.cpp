#include "asset_files.h"

#include <cstdio>
#include <filesystem>

#include "assets/show_files.h"
#include "bmp_writer.h"
#include "palette_quantiser.h"
#include "pictures.h"
#include "tune.h"

std::vector<AssetFile> GenerateAssets() {
    std::vector<AssetFile> files;
    files.push_back(
        {kPictureFiles[kSlotMain], EncodeBmp24(Quantise(DrawTitlePicture()), BmpHeaderKind::Info)});
    files.push_back(
        {kPictureFiles[kSlotEnd], EncodeBmp24(Quantise(DrawEndPicture()), BmpHeaderKind::Core)});
    files.push_back(
        {kPictureFiles[kSlotGreetings],
         EncodeBmp8(ReduceToPalette(Quantise(DrawGreetingsPicture()), 256), BmpHeaderKind::Info)});
    files.push_back({kPictureFiles[kSlotKlump],
                     EncodeBmp24(Quantise(DrawKlumpPicture()), BmpHeaderKind::Info)});
    files.push_back({kTuneFile, ComposeTune()});
    return files;
}

bool WriteAssets(const std::string& outDir, const std::vector<AssetFile>& files,
                 std::string& error) {
    namespace fs = std::filesystem;
    for (const AssetFile& file : files) {
        if (file.bytes.empty()) {
            error = file.relativePath + ": nothing to write (the picture could not be encoded)";
            return false;
        }
        fs::path path = fs::path(outDir) / file.relativePath;
        std::error_code code;
        fs::create_directories(path.parent_path(), code);
        if (code) {
            error = path.parent_path().string() + ": " + code.message();
            return false;
        }
        std::FILE* out = std::fopen(path.string().c_str(), "wb");
        if (out == nullptr) {
            error = path.string() + ": cannot be opened for writing";
            return false;
        }
        size_t written = std::fwrite(file.bytes.data(), 1, file.bytes.size(), out);
        bool closed = std::fclose(out) == 0;
        if (written != file.bytes.size() || !closed) {
            error = path.string() + ": write failed";
            return false;
        }
    }
    return true;
}
