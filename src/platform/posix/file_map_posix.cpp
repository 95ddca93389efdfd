// Read-only file mapping with open/fstat/mmap. The descriptor stays open for
// as long as the view exists, so a record is either fully mapped (data set,
// descriptor open) or holds nothing at all.
#include <fcntl.h>
#include <stdint.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_map.h"

static void ClearRecord(MappedFile* file) {
    file->data = nullptr;
    file->size = 0;
    file->fileHandle = -1;
    file->mappingHandle = 0;
}

int MapFileReadOnly(const char* path, MappedFile* file) {
    ClearRecord(file);
    if (path == nullptr) {
        return 0;
    }
    const int descriptor = open(path, O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        return 0;
    }
    struct stat status;
    // An empty file cannot be mapped (as with a Win32 mapping of size 0), and a
    // size beyond the address space cannot be viewed whole.
    if (fstat(descriptor, &status) != 0 || status.st_size <= 0 ||
        static_cast<uintmax_t>(status.st_size) > SIZE_MAX) {
        close(descriptor);
        return 0;
    }
    const size_t size = static_cast<size_t>(status.st_size);
    void* view = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, descriptor, 0);
    if (view == MAP_FAILED) {
        close(descriptor);
        return 0;
    }
    file->data = static_cast<const unsigned char*>(view);
    file->size = size;
    file->fileHandle = descriptor;
    return 1;
}

void UnmapFile(MappedFile* file) {
    if (file->data != nullptr) {
        munmap(const_cast<unsigned char*>(file->data), file->size);
        close(static_cast<int>(file->fileHandle));
    }
    ClearRecord(file);
}
