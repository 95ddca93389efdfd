// The reader's driver: maps the file, lays it out, normalises the header and
// colour table into the reader's own description, decodes the pixels and
// hands back the picture, reporting each failure once in a message box.
#include "assets/bitmap_reader.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#if defined(__linux__)
#include <sys/mman.h>
#endif

#include "assets/bitmap_decode.h"
#include "assets/bitmap_layout.h"
#include "platform/file_map.h"
#include "platform/platform.h"

bool showLoaderErrors = true;

void* (*loaderAllocate)(size_t size) = std::malloc;

void ResetBitmapReader() {
    showLoaderErrors = true;
    loaderAllocate = std::malloc;
}

// The open-failure text is formatted into a buffer of this many characters;
// a longer path is cut short rather than overflowing it.
constexpr size_t kMessageBufferSize = 240;

static void ReportLoaderError(const char* text) {
    if (showLoaderErrors) {
        PlatformMessageBox(PlatformGetFocus(), text, "Error", MB_OK);
    }
}

// The header in its 40-byte form followed by the colour table widened to
// 4-byte entries (blue, green, red, 0), whichever kind the file holds.
static unsigned char* BuildSourceDescription(const unsigned char* file,
                                             const BitmapLayout& layout) {
    const size_t tableBytes = 4 * static_cast<size_t>(layout.colourCount);
    unsigned char* description =
        static_cast<unsigned char*>(loaderAllocate(sizeof(BitmapInfoHeader) + tableBytes));
    if (description == nullptr) {
        return nullptr;
    }
    std::memcpy(description, &layout.header, sizeof(BitmapInfoHeader));
    unsigned char* table = description + sizeof(BitmapInfoHeader);
    const unsigned char* entry = file + layout.colourTableOffset;
    for (size_t i = 0; i < layout.colourCount; ++i, entry += layout.colourEntrySize) {
        table[4 * i + 0] = entry[0];
        table[4 * i + 1] = entry[1];
        table[4 * i + 2] = entry[2];
        table[4 * i + 3] = 0;
    }
    return description;
}

// A big fresh buffer is first touched page by page, one fault per 4 KB page,
// which costs more than the decoding itself; asking Linux for huge pages
// turns that into one fault per 2 MB. Only a hint: without it (or on other
// systems) the buffer is the same, just slower to fill.
static void AdviseHugePages(unsigned char* buffer, size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr uintptr_t kHugePage = 2u << 20;
    if (bytes < 2 * kHugePage) {
        return;
    }
    const uintptr_t start =
        (reinterpret_cast<uintptr_t>(buffer) + kHugePage - 1) & ~(kHugePage - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(buffer) + bytes) & ~(kHugePage - 1);
    if (end > start) {
        madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
    }
#else
    (void)buffer;
    (void)bytes;
#endif
}

// Decodes into a fresh buffer of exactly width x rows x 3 bytes, or null when
// there is no memory for it (or the picture is larger than any the show can use).
static unsigned char* DecodePixels(const unsigned char* file, const BitmapLayout& layout,
                                   const unsigned char* description) {
    const size_t bytes =
        static_cast<size_t>(layout.rows) * static_cast<size_t>(layout.header.width) * 3;
    if (bytes > kMaxDecodedBytes) {
        return nullptr;
    }
    unsigned char* packed = static_cast<unsigned char*>(loaderAllocate(bytes));
    if (packed == nullptr) {
        return nullptr;
    }
    AdviseHugePages(packed, bytes);
    const unsigned char* colours = description + sizeof(BitmapInfoHeader);
    const unsigned char* pixels = file + layout.pixelOffset;
    const uint32_t compression = layout.header.compression;
    if (compression == kCompressionRle8 || compression == kCompressionRle4) {
        std::memset(packed, 0, bytes);
        DecodeRunLength(layout, colours, pixels, packed);
    } else {
        DecodeUncompressed(layout, colours, pixels, packed);
    }
    return packed;
}

RgbImage* ReadBitmapBytes(const unsigned char* file, size_t size) {
    BitmapLayout layout;
    const BitmapLayoutResult result = ReadBitmapLayout(file, size, &layout);
    if (result == kLayoutUnknownHeader) {
        ReportLoaderError("Unknown DIB file format.");
        return nullptr;
    }
    if (result != kLayoutOk) {
        ReportLoaderError("Image file conversion error.");
        return nullptr;
    }
    unsigned char* description = BuildSourceDescription(file, layout);
    if (description == nullptr) {
        ReportLoaderError("Out of memory.");
        return nullptr;
    }
    unsigned char* packed = DecodePixels(file, layout, description);
    std::free(description);
    if (packed == nullptr) {
        ReportLoaderError("Out of memory.");
        return nullptr;
    }
    RgbImage* image = static_cast<RgbImage*>(loaderAllocate(sizeof(RgbImage)));
    if (image == nullptr) {
        ReportLoaderError("Out of memory.");
        std::free(packed);
        return nullptr;
    }
    image->width = layout.header.width;
    image->height = layout.rows;
    image->pixels = packed;
    return image;
}

RgbImage* ReadBitmapFile(const char* path) {
    MappedFile file = {};
    if (!MapFileReadOnly(path, &file)) {
        char message[kMessageBufferSize];
        std::snprintf(message, sizeof message, "Failed to open DIB file %s.\n",
                      path != nullptr ? path : "");
        ReportLoaderError(message);
        return nullptr;
    }
    RgbImage* image = ReadBitmapBytes(file.data, file.size);
    UnmapFile(&file);
    return image;
}
