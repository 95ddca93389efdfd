// Fuzz target: the reader on bytes in memory. libFuzzer hands over a heap
// block of exactly the input's size, so any read past the file's end is an
// address-sanitizer finding.
#include <cstddef>
#include <cstdint>

#include "reader_harness.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    InstallReaderHarness();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    BeginRead();
    RgbImage* image = ReadBitmapBytes(data, size);
    CheckReadResult(image);
    const int requests = AllocationRequests();
    FreePicture(image);
    if (image != nullptr) {
        CheckEveryAllocationFailure(data, size, requests);
    }
    return 0;
}
