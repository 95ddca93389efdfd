// Fuzz target: the reader through a real read-only mapping. Each input is
// written to a file on tmpfs and read with ReadBitmapFile; the result must
// equal what the in-memory path makes of the same bytes (which the address
// sanitizer watches byte for byte), and no descriptor or view may stay open.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "reader_harness.h"

namespace {

std::string picturePath;

// The lowest free descriptor: the one open() hands out next. It only moves
// when a descriptor leaks.
int LowestFreeDescriptor() {
    const int probe = open("/dev/null", O_RDONLY | O_CLOEXEC);
    Require(probe >= 0, "/dev/null opens");
    close(probe);
    return probe;
}

// True while /proc/self/maps lists a mapping of the picture file.
bool PictureStillMapped() {
    FILE* maps = std::fopen("/proc/self/maps", "r");
    Require(maps != nullptr, "/proc/self/maps opens");
    char line[4096];
    bool found = false;
    while (!found && std::fgets(line, sizeof line, maps) != nullptr) {
        found = std::strstr(line, picturePath.c_str()) != nullptr;
    }
    std::fclose(maps);
    return found;
}

bool WriteInput(const uint8_t* data, size_t size) {
    FILE* file = std::fopen(picturePath.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

bool SamePicture(const RgbImage* a, const RgbImage* b) {
    if (a == nullptr || b == nullptr) {
        return a == b;
    }
    return a->width == b->width && a->height == b->height &&
           std::memcmp(a->pixels, b->pixels,
                       static_cast<size_t>(a->width) * static_cast<size_t>(a->height) * 3) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    InstallReaderHarness();
    const char* dir = std::getenv("VUP_FUZZ_TMPDIR");
    if (dir == nullptr || *dir == '\0') {
        dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    }
    picturePath = std::string(dir) + "/vup-fuzz-" + std::to_string(getpid()) + ".bmp";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int freeBefore = LowestFreeDescriptor();
    Require(WriteInput(data, size), "the input is written to the picture file");

    BeginRead();
    RgbImage* mapped = ReadBitmapFile(picturePath.c_str());
    CheckReadResult(mapped);
    if (size == 0) {
        // An empty file cannot be mapped: the open failure names the path.
        Require(mapped == nullptr, "an empty file is refused");
        Require(std::strstr(LastBoxText(), picturePath.c_str()) != nullptr,
                "the open failure names the path");
    } else {
        BeginRead();
        RgbImage* inMemory = ReadBitmapBytes(data, size);
        Require(SamePicture(mapped, inMemory), "the mapped and in-memory reads agree");
        FreePicture(inMemory);
    }
    FreePicture(mapped);
    Require(!PictureStillMapped(), "no view of the file stays mapped");
    unlink(picturePath.c_str());
    Require(LowestFreeDescriptor() == freeBefore, "no descriptor stays open");
    return 0;
}
