// vup-make-assets OUTDIR: writes the show's pictures and tune under OUTDIR.
#include <cstdio>
#include <string>

#include "asset_files.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argc > 0 ? argv[0] : "vup-make-assets");
        return 2;
    }
    std::vector<AssetFile> files = GenerateAssets();
    std::string error;
    if (!WriteAssets(argv[1], files, error)) {
        std::fprintf(stderr, "vup-make-assets: %s\n", error.c_str());
        return 1;
    }
    for (const AssetFile& file : files) {
        std::printf("%s/%s (%zu bytes)\n", argv[1], file.relativePath.c_str(), file.bytes.size());
    }
    return 0;
}
