#include "reader_harness.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <sanitizer/asan_interface.h>

#include "assets/bitmap_layout.h"
#include "platform/platform.h"

namespace {

struct HarnessState {
    int boxes;
    char lastText[256];
    // Blocks handed out during the current read, in order.
    const void* blocks[8];
    size_t blockSizes[8];
    int blockCount;
    // 0: every request up to the ceiling succeeds; n: the n-th request fails.
    int failAllocation;
    int requests;
};

HarnessState harness;

void* HarnessAllocate(size_t size) {
    ++harness.requests;
    // However small the file, the reader never asks for more than its
    // ceiling for a decoded picture (kMaxDecodedBytes).
    Require(size <= kMaxDecodedBytes, "no request beyond the decoded-size ceiling");
    if (harness.requests == harness.failAllocation || size > kHarnessAllocationCeiling) {
        return nullptr;
    }
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block != nullptr && harness.blockCount < 8) {
        harness.blocks[harness.blockCount] = block;
        harness.blockSizes[harness.blockCount] = size;
        ++harness.blockCount;
    }
    return block;
}

// The reader's texts; an open failure carries the path after its first part.
bool IsReaderText(const char* text) {
    static const char* const kWhole[] = {"Out of memory.", "Unknown DIB file format.",
                                         "Image file conversion error."};
    for (const char* whole : kWhole) {
        if (std::strcmp(text, whole) == 0) {
            return true;
        }
    }
    return std::strncmp(text, "Failed to open DIB file ", 24) == 0;
}

size_t BlockSize(const void* block) {
    for (int i = 0; i < harness.blockCount; ++i) {
        if (harness.blocks[i] == block) {
            return harness.blockSizes[i];
        }
    }
    return 0;
}

}  // namespace

WindowHandle PlatformGetFocus() {
    return nullptr;
}

int PlatformMessageBox(WindowHandle, const char* text, const char* caption, uint32_t flags) {
    ++harness.boxes;
    std::snprintf(harness.lastText, sizeof harness.lastText, "%s", text);
    Require(std::strcmp(caption, "Error") == 0, "a reader box has the caption Error");
    Require(flags == MB_OK, "a reader box has the style MB_OK");
    return IDOK;
}

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "reader harness: check failed: %s (boxes %d, last \"%s\")\n", what,
                     harness.boxes, harness.lastText);
        std::abort();
    }
}

void InstallReaderHarness() {
    showLoaderErrors = true;
    loaderAllocate = HarnessAllocate;
}

void BeginRead() {
    harness.boxes = 0;
    harness.lastText[0] = '\0';
    harness.blockCount = 0;
    harness.requests = 0;
}

void FreePicture(RgbImage* image) {
    if (image != nullptr) {
        std::free(image->pixels);
        std::free(image);
    }
}

void CheckReadResult(const RgbImage* image) {
    if (image == nullptr) {
        Require(harness.boxes == 1, "a refusal shows exactly one box");
        Require(IsReaderText(harness.lastText), "a refusal shows one of the reader's texts");
        return;
    }
    Require(harness.boxes == 0, "a loaded picture shows no box");
    Require(image->width > 0 && image->height > 0, "a loaded picture has a positive size");
    Require(image->pixels != nullptr, "a loaded picture has pixels");
    const size_t bytes = static_cast<size_t>(image->width) * static_cast<size_t>(image->height) * 3;
    Require(BlockSize(image->pixels) == bytes, "the pixel block is exactly width x height x 3");
    Require(BlockSize(image) == sizeof(RgbImage), "the record is its own block");
    Require(__asan_region_is_poisoned(image->pixels, bytes) == nullptr,
            "every pixel byte is addressable");
}

const char* LastBoxText() {
    return harness.lastText;
}

int AllocationRequests() {
    return harness.requests;
}

void CheckEveryAllocationFailure(const unsigned char* bytes, size_t size, int requests) {
    for (int failing = 1; failing <= requests; ++failing) {
        BeginRead();
        harness.failAllocation = failing;
        RgbImage* image = ReadBitmapBytes(bytes, size);
        harness.failAllocation = 0;
        Require(image == nullptr, "a failed allocation gives no picture");
        Require(harness.boxes == 1 && std::strcmp(harness.lastText, "Out of memory.") == 0,
                "a failed allocation shows one \"Out of memory.\" box");
    }
}
