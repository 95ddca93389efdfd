// How the reader refuses: each failure path's text, caption, style and owner,
// silence while showLoaderErrors is false, every truncation of valid files,
// and running out of memory at each allocation.
#include <gtest/gtest.h>

#include <functional>

#include "bitmap_test_support.h"

namespace {

const char kConversionError[] = "Image file conversion error.";
const char kUnknownFormat[] = "Unknown DIB file format.";
const char kOutOfMemory[] = "Out of memory.";

BmpDesc ValidTrueColour() {
    BmpDesc desc;
    desc.width = 3;
    desc.height = 2;
    desc.pixels = PackRows(24, {{0x010203, 0x040506, 0x070809}, {0x0A0B0C, 0x0D0E0F, 0x101112}});
    return desc;
}

BmpDesc ValidIndexed(uint16_t bitCount) {
    BmpDesc desc;
    desc.width = 5;
    desc.height = 2;
    desc.bitCount = bitCount;
    desc.colours.assign(1u << bitCount, 0x336699);
    desc.pixels = PackRows(bitCount, {{1, 0, 1, 1, 0}, {0, 1, 0, 0, 1}});
    return desc;
}

struct Refusal {
    const char* what;
    std::function<void(BmpDesc*)> change;
    const char* text;
};

// Each turns a valid picture into one the reader must refuse.
const std::vector<Refusal>& Refusals() {
    static const std::vector<Refusal> refusals = {
        {"header size 108", [](BmpDesc* d) { d->headerSize = 108; }, kUnknownFormat},
        {"header size 124", [](BmpDesc* d) { d->headerSize = 124; }, kUnknownFormat},
        {"header size 0", [](BmpDesc* d) { d->headerSize = 0; }, kUnknownFormat},
        {"width 0", [](BmpDesc* d) { d->width = 0; }, kConversionError},
        {"negative width", [](BmpDesc* d) { d->width = -3; }, kConversionError},
        {"width 32769", [](BmpDesc* d) { d->width = 32769; }, kConversionError},
        {"height 0", [](BmpDesc* d) { d->height = 0; }, kConversionError},
        {"height 32769", [](BmpDesc* d) { d->height = 32769; }, kConversionError},
        {"height -32769", [](BmpDesc* d) { d->height = -32769; }, kConversionError},
        {"lowest height", [](BmpDesc* d) { d->height = INT32_MIN; }, kConversionError},
        {"JPEG data", [](BmpDesc* d) { d->compression = 4; }, kConversionError},
        {"PNG data", [](BmpDesc* d) { d->compression = 5; }, kConversionError},
        {"unknown compression", [](BmpDesc* d) { d->compression = 0x7FFFFFFF; }, kConversionError},
        {"bit fields on 24 bits", [](BmpDesc* d) { d->compression = 3; }, kConversionError},
        {"RLE8 on 24 bits", [](BmpDesc* d) { d->compression = 1; }, kConversionError},
        {"2 bits per pixel", [](BmpDesc* d) { d->bitCount = 2; }, kConversionError},
        {"0 bits per pixel", [](BmpDesc* d) { d->bitCount = 0; }, kConversionError},
        {"48 bits per pixel", [](BmpDesc* d) { d->bitCount = 48; }, kConversionError},
        {"more colours than a 16-bit count", [](BmpDesc* d) { d->coloursUsed = 0x10001; },
         kConversionError},
        {"more colours than the file holds", [](BmpDesc* d) { d->coloursUsed = 200; },
         kConversionError},
        {"one pixel byte missing", [](BmpDesc* d) { d->pixels.pop_back(); }, kConversionError},
        {"no pixels at all", [](BmpDesc* d) { d->pixels.clear(); }, kConversionError},
    };
    return refusals;
}

}  // namespace

TEST_F(BitmapReaderTest, EveryRefusalShowsItsOneBoxOwnedByTheFocusWindow) {
    for (const Refusal& refusal : Refusals()) {
        SCOPED_TRACE(refusal.what);
        BmpDesc desc = ValidTrueColour();
        refusal.change(&desc);
        FakePlatformReset();
        FakePlatform().focus = kFocusWindow;
        EXPECT_FALSE(Load(BuildBmp(desc)).loaded);
        ExpectOneErrorBox(refusal.text);
    }
}

TEST_F(BitmapReaderTest, RefusalsAreSilentWhileErrorsAreNotShown) {
    showLoaderErrors = false;
    for (const Refusal& refusal : Refusals()) {
        SCOPED_TRACE(refusal.what);
        BmpDesc desc = ValidTrueColour();
        refusal.change(&desc);
        EXPECT_FALSE(Load(BuildBmp(desc)).loaded);
    }
    EXPECT_FALSE(Load(Bytes{}, "empty.bmp").loaded);
    EXPECT_FALSE(TakePicture(ReadBitmapFile(PathOf("missing.bmp").c_str())).loaded);
    loaderAllocate = [](size_t) -> void* { return nullptr; };
    EXPECT_FALSE(Load(BuildBmp(ValidTrueColour())).loaded);
    EXPECT_TRUE(FakePlatform().boxes.empty());
    EXPECT_EQ(FakeCallCount("GetFocus"), 0);
}

TEST_F(BitmapReaderTest, PixelOffsetsOutsideTheFileAreRefused) {
    for (uint32_t offset : {0xFFFFFFFFu, 0x7FFFFFFFu, 0u}) {
        Bytes file = BuildBmp(ValidTrueColour());
        const uint32_t value = offset == 0 ? static_cast<uint32_t>(file.size()) : offset;
        file[10] = static_cast<uint8_t>(value);
        file[11] = static_cast<uint8_t>(value >> 8);
        file[12] = static_cast<uint8_t>(value >> 16);
        file[13] = static_cast<uint8_t>(value >> 24);
        FakePlatformReset();
        FakePlatform().focus = kFocusWindow;
        EXPECT_FALSE(LoadFromMemory(file, file.size()).loaded) << value;
        ExpectOneErrorBox(kConversionError);
    }
}

TEST_F(BitmapReaderTest, EncodingsTheFormatDoesNotDefineAreRefused) {
    BmpDesc topDownRle = ValidIndexed(8);
    topDownRle.compression = 1;
    topDownRle.height = -2;
    topDownRle.pixels = {0x05, 0x01, 0x00, 0x01};
    BmpDesc rle4On8Bits = ValidIndexed(8);
    rle4On8Bits.compression = 2;
    BmpDesc bitFieldsOn8Bits = ValidIndexed(8);
    bitFieldsOn8Bits.compression = 3;
    bitFieldsOn8Bits.masks = {0xE0, 0x1C, 0x03};
    BmpDesc bitFieldsWithoutMasks;
    bitFieldsWithoutMasks.fileHeader = false;
    bitFieldsWithoutMasks.bitCount = 16;
    bitFieldsWithoutMasks.compression = 3;
    for (const BmpDesc& desc : {topDownRle, rle4On8Bits, bitFieldsOn8Bits, bitFieldsWithoutMasks}) {
        FakePlatformReset();
        FakePlatform().focus = kFocusWindow;
        EXPECT_FALSE(Load(BuildBmp(desc)).loaded);
        ExpectOneErrorBox(kConversionError);
    }
}

TEST_F(BitmapReaderTest, EmptyAndMissingFilesFailToOpenWithTheirPath) {
    const std::string empty = PathOf("empty.bmp");
    ASSERT_TRUE(WriteBytes(empty, Bytes{}));
    EXPECT_FALSE(TakePicture(ReadBitmapFile(empty.c_str())).loaded);
    ExpectOneErrorBox("Failed to open DIB file " + empty + ".\n");

    for (const std::string& path : {PathOf("missing.bmp"), dir}) {
        FakePlatformReset();
        FakePlatform().focus = kFocusWindow;
        EXPECT_FALSE(TakePicture(ReadBitmapFile(path.c_str())).loaded);
        ExpectOneErrorBox("Failed to open DIB file " + path + ".\n");
    }
}

TEST_F(BitmapReaderTest, ALongPathIsCutToTheMessageBuffer) {
    const std::string path =
        dir + "/" + std::string(150, 'a') + "/" + std::string(150, 'b') + ".bmp";
    EXPECT_FALSE(TakePicture(ReadBitmapFile(path.c_str())).loaded);
    const std::string full = "Failed to open DIB file " + path + ".\n";
    ExpectOneErrorBox(full.substr(0, 239));
}

TEST_F(BitmapReaderTest, EveryTruncationOfAValidFileIsRefusedOrStaysInside) {
    BmpDesc core = ValidIndexed(8);
    core.headerSize = 12;
    core.fileHeader = false;
    BmpDesc bitFields;
    bitFields.width = 3;
    bitFields.bitCount = 16;
    bitFields.compression = 3;
    bitFields.masks = {0xF800, 0x07E0, 0x001F};
    bitFields.pixels = PackRows(16, {{1, 2, 3}});
    BmpDesc thirtyTwo;
    thirtyTwo.fileHeader = false;
    thirtyTwo.width = 2;
    thirtyTwo.bitCount = 32;
    thirtyTwo.pixels = PackRows(32, {{1, 2}});
    BmpDesc rle8 = ValidIndexed(8);
    rle8.compression = 1;
    rle8.pixels = {0x02, 0x01, 0x00, 0x03, 0x01, 0x00, 0x01, 0x00, 0x00,
                   0x00, 0x00, 0x02, 0x01, 0x01, 0x05, 0x00, 0x00, 0x01};
    BmpDesc rle4 = ValidIndexed(4);
    rle4.compression = 2;
    rle4.fileHeader = false;
    rle4.pixels = {0x03, 0x10, 0x00, 0x05, 0x10, 0x10, 0x10, 0x00, 0x00, 0x00, 0x00, 0x01};
    const std::vector<BmpDesc> files = {ValidTrueColour(),
                                        ValidIndexed(1),
                                        ValidIndexed(4),
                                        core,
                                        bitFields,
                                        thirtyTwo,
                                        rle8,
                                        rle4};
    for (size_t kind = 0; kind < files.size(); ++kind) {
        const Bytes file = BuildBmp(files[kind]);
        const bool runLength = files[kind].compression == 1 || files[kind].compression == 2;
        ASSERT_TRUE(LoadFromMemory(file, file.size()).loaded) << "kind " << kind;
        for (size_t length = 0; length < file.size(); ++length) {
            SCOPED_TRACE(testing::Message() << "kind " << kind << " length " << length);
            FakePlatformReset();
            FakePlatform().focus = kFocusWindow;
            const Picture picture = LoadFromMemory(file, length);
            if (picture.loaded) {
                // Only run-length data may end early: its missing runs are black.
                EXPECT_TRUE(runLength);
                EXPECT_TRUE(FakePlatform().boxes.empty());
                EXPECT_EQ(picture.rgb.size(), static_cast<size_t>(5 * 2 * 3));
            } else {
                ExpectOneErrorBox(kConversionError);
            }
        }
    }
}

namespace {

// Fails the n-th allocation the reader asks for (counting from 1).
int allocationsBeforeFailure = 0;
void* FailingAllocate(size_t size) {
    if (--allocationsBeforeFailure == 0) {
        return nullptr;
    }
    return std::malloc(size);
}

}  // namespace

TEST_F(BitmapReaderTest, RunningOutOfMemoryAtAnyAllocationFreesEverything) {
    // The description, the packed pixels and the record, in that order; the
    // address sanitizer's leak check sees anything left behind.
    for (int failing = 1; failing <= 3; ++failing) {
        SCOPED_TRACE(failing);
        FakePlatformReset();
        FakePlatform().focus = kFocusWindow;
        allocationsBeforeFailure = failing;
        loaderAllocate = FailingAllocate;
        EXPECT_FALSE(Load(BuildBmp(ValidIndexed(8))).loaded);
        ExpectOneErrorBox(kOutOfMemory);
    }
    allocationsBeforeFailure = 4;
    loaderAllocate = FailingAllocate;
    EXPECT_TRUE(Load(BuildBmp(ValidIndexed(8))).loaded);
}
