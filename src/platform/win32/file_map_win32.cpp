// Read-only file mapping through the Win32 file and section objects.
#include "platform/file_map.h"

#include <cstdint>

#include "platform/win32_defs.h"

static void ClearMappedFile(MappedFile* file) {
    file->data = nullptr;
    file->size = 0;
    file->fileHandle = 0;
    file->mappingHandle = 0;
}

static HANDLE AsHandle(intptr_t value) {
    return reinterpret_cast<HANDLE>(value);
}

int MapFileReadOnly(const char* path, MappedFile* file) {
    ClearMappedFile(file);

    HANDLE fileHandle =
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (fileHandle == INVALID_HANDLE_VALUE) {
        return 0;
    }
    // A view covers the whole file, so a file larger than the address space
    // cannot be mapped; the size check keeps size_t from truncating it.
    LARGE_INTEGER fileSize;
    if (!GetFileSizeEx(fileHandle, &fileSize) || fileSize.QuadPart < 0 ||
        static_cast<unsigned long long>(fileSize.QuadPart) > SIZE_MAX) {
        CloseHandle(fileHandle);
        return 0;
    }
    // An empty file has nothing to map: the mapping call fails for it.
    HANDLE mappingHandle = CreateFileMappingA(fileHandle, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (mappingHandle == nullptr) {
        CloseHandle(fileHandle);
        return 0;
    }
    const void* view = MapViewOfFile(mappingHandle, FILE_MAP_READ, 0, 0, 0);
    if (view == nullptr) {
        CloseHandle(mappingHandle);
        CloseHandle(fileHandle);
        return 0;
    }

    file->data = static_cast<const unsigned char*>(view);
    file->size = static_cast<size_t>(fileSize.QuadPart);
    file->fileHandle = reinterpret_cast<intptr_t>(fileHandle);
    file->mappingHandle = reinterpret_cast<intptr_t>(mappingHandle);
    return 1;
}

void UnmapFile(MappedFile* file) {
    // Zero marks "not held": Win32 never hands out a null file or mapping
    // handle, and a released record is cleared to zero.
    if (file->data != nullptr) {
        UnmapViewOfFile(file->data);
    }
    if (file->mappingHandle != 0) {
        CloseHandle(AsHandle(file->mappingHandle));
    }
    if (file->fileHandle != 0) {
        CloseHandle(AsHandle(file->fileHandle));
    }
    ClearMappedFile(file);
}
