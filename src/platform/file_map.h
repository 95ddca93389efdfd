// Read-only mapping of a whole file into memory: the picture reader reads
// files in place, never copying them. mmap on POSIX, file mapping on Win32.
#pragma once

#include <cstddef>
#include <cstdint>

struct MappedFile {
    const unsigned char* data;  // null when nothing is mapped
    size_t size;
    intptr_t fileHandle;     // backend's open file (descriptor or HANDLE)
    intptr_t mappingHandle;  // backend's mapping object (Win32 only)
};

// Opens and maps the whole file. 0 when the file cannot be opened, the
// mapping cannot be made (an empty file cannot be mapped) or the view fails;
// nothing stays open then.
int MapFileReadOnly(const char* path, MappedFile* file);

// Unmaps and closes; safe on a zeroed or already released record.
void UnmapFile(MappedFile* file);
