#include "shell/web_show_files.h"

#include <emscripten/emscripten.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "assets/bitmap_layout.h"
#include "assets/scene_resources.h"
#include "assets/show_files.h"

extern "C" int VupPageFetchFiles(const char* const* paths, int count, int waitCount);

// A 4 x 4 black picture, 24 bits a pixel: file header, info header, and 48
// bytes of rows that are zero.
static const unsigned char kPlaceholderHeader[54] = {
    'B', 'M', 102, 0, 0, 0, 0,  0, 0, 0, 54, 0, 0, 0,  // file: size 102, pixels at 54
    40,  0,   0,   0, 4, 0, 0,  0, 4, 0, 0,  0, 1, 0,  // info: 4 x 4, one plane
    24,  0,   0,   0, 0, 0, 48, 0, 0, 0,               // 24 bits, no compression, 48 bytes
};

static void WritePlaceholder(const char* path) {
    if (std::FILE* present = std::fopen(path, "rb")) {
        std::fclose(present);
        return;
    }
    char folder[64];
    const char* slash = std::strrchr(path, '/');
    if (slash != nullptr && static_cast<size_t>(slash - path) < sizeof folder) {
        std::memcpy(folder, path, static_cast<size_t>(slash - path));
        folder[slash - path] = '\0';
        mkdir(folder, 0755);
    }
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        return;
    }
    static const unsigned char kRows[48] = {};
    std::fwrite(kPlaceholderHeader, 1, sizeof kPlaceholderHeader, file);
    std::fwrite(kRows, 1, sizeof kRows, file);
    std::fclose(file);
}

int WebFetchShowFiles(int waitForAll) {
    const char* files[kTextureSlotCount + 1] = {kPictureFiles[kSlotMain], kTuneFile};
    int count = 2;
    for (int slot = 0; slot < kTextureSlotCount; ++slot) {
        if (slot != kSlotMain) {
            files[count++] = kPictureFiles[slot];
        }
    }
    if (waitForAll == 0) {
        for (int at = 2; at < count; ++at) {
            WritePlaceholder(files[at]);
        }
    }
    return VupPageFetchFiles(files, count, waitForAll != 0 ? count : 2);
}

// Whether the picture at path is whole: a damaged one is left for the next
// display open, whose reader says what is wrong with it (a message box
// cannot be shown from here, between two frames).
static bool PictureIsWhole(const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        return false;
    }
    std::fseek(file, 0, SEEK_END);
    const long size = std::ftell(file);
    std::fseek(file, 0, SEEK_SET);
    auto* bytes =
        static_cast<unsigned char*>(std::malloc(size > 0 ? static_cast<size_t>(size) : 1));
    const bool read =
        bytes != nullptr && size > 0 &&
        std::fread(bytes, 1, static_cast<size_t>(size), file) == static_cast<size_t>(size);
    std::fclose(file);
    BitmapLayout layout;
    const bool whole =
        read && ReadBitmapLayout(bytes, static_cast<size_t>(size), &layout) == kLayoutOk;
    std::free(bytes);
    return whole;
}

// Called by the page between two frames of a show, when the file at path
// has come: a picture the show's display holds a texture for is loaded
// again into its slot, as the display's next open would load it.
extern "C" EMSCRIPTEN_KEEPALIVE void WebFileArrived(const char* path) {
    for (int slot = 0; slot < kTextureSlotCount; ++slot) {
        if (std::strcmp(kPictureFiles[slot], path) == 0 && textureNames[slot] != 0 &&
            PictureIsWhole(path)) {
            LoadTexture(slot, path);
        }
    }
}
