// Run-length data a few bytes long may declare the largest picture the header
// allows. The reader refuses a picture beyond its decoded-size ceiling before
// asking for its memory, with the out-of-memory box, instead of filling
// gigabytes; a picture at the ceiling is still attempted.
#include <cstdlib>

#include "assets/bitmap_layout.h"
#include "bitmap_test_support.h"

namespace {

// Records the largest block the reader asks for and hands out only small
// ones, so the test never holds a picture-sized buffer.
size_t largestRequest = 0;

void* RecordingAllocate(size_t size) {
    largestRequest = size > largestRequest ? size : largestRequest;
    return size <= (1u << 20) ? std::malloc(size) : nullptr;
}

// A run-length picture (RLE8, or RLE4 with four bits) whose data is only
// "end of bitmap".
Bytes EmptyRunLengthPicture(int32_t width, int32_t height, uint16_t bitCount = 8) {
    BmpDesc desc;
    desc.bitCount = bitCount;
    desc.compression = bitCount == 8 ? 1 : 2;
    desc.width = width;
    desc.height = height;
    desc.colours.assign(size_t{1} << bitCount, 0x808080);
    desc.pixels = {0x00, 0x01};
    return BuildBmp(desc);
}

}  // namespace

TEST_F(BitmapReaderTest, RunLengthPicturesBeyondTheDecodedSizeCeilingAreRefusedUnallocated) {
    static_assert(32768u * 2730u * 3u <= kMaxDecodedBytes && 32768u * 2731u * 3u > kMaxDecodedBytes,
                  "the cases below straddle the ceiling");
    loaderAllocate = RecordingAllocate;
    // The RLE4 size is the one the fuzzer found: a 229-byte file declaring 9478 x 12804.
    const Bytes refused[] = {EmptyRunLengthPicture(32768, 32768),
                             EmptyRunLengthPicture(32768, 2731),
                             EmptyRunLengthPicture(9478, 12804, 4)};
    for (const Bytes& file : refused) {
        SCOPED_TRACE(file.size());
        FakePlatformReset();
        FakePlatform().focus = kFocusWindow;
        largestRequest = 0;
        EXPECT_FALSE(LoadFromMemory(file, file.size()).loaded);
        ExpectOneErrorBox("Out of memory.");
        EXPECT_LT(largestRequest, size_t{1} << 20) << "no picture-sized block was asked for";
    }

    // At the ceiling the reader goes on to ask for the whole picture.
    largestRequest = 0;
    const Bytes atCeiling = EmptyRunLengthPicture(32768, 2730);
    EXPECT_FALSE(LoadFromMemory(atCeiling, atCeiling.size()).loaded);
    EXPECT_EQ(largestRequest, size_t{32768} * 2730 * 3);
}
