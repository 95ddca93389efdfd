#include "assets/bitmap_layout.h"

#include "assets/bitmap_reader.h"

uint16_t CountPaletteColors(const unsigned char* bitmapHeader) {
    uint16_t bitCount;
    if (ReadLe32(bitmapHeader) == kCoreHeaderSize) {
        bitCount = ReadLe16(bitmapHeader + 10);
    } else {
        const uint32_t coloursUsed = ReadLe32(bitmapHeader + 32);
        if (coloursUsed != 0) {
            return static_cast<uint16_t>(coloursUsed);
        }
        bitCount = ReadLe16(bitmapHeader + 14);
    }
    switch (bitCount) {
        case 1:
            return 2;
        case 4:
            return 16;
        case 8:
            return 256;
        default:
            return 0;
    }
}

uint64_t StoredRowBytes(uint32_t bitCount, uint32_t width) {
    return (static_cast<uint64_t>(bitCount) * width + 31) / 32 * 4;
}

// True when [offset, offset + length) lies inside a file of the given size;
// written so that no sum can wrap.
static bool FitsInFile(uint64_t offset, uint64_t length, size_t size) {
    return offset <= size && length <= size - offset;
}

static void NormaliseCoreHeader(const unsigned char* header, uint16_t colourCount,
                                BitmapInfoHeader* info) {
    *info = BitmapInfoHeader{};
    info->size = kInfoHeaderSize;
    info->width = ReadLe16(header + 4);
    info->height = ReadLe16(header + 6);
    info->planes = ReadLe16(header + 8);
    info->bitCount = ReadLe16(header + 10);
    info->clrUsed = colourCount;
    info->clrImportant = colourCount;
}

static void NormaliseInfoHeader(const unsigned char* header, BitmapInfoHeader* info) {
    info->size = kInfoHeaderSize;
    info->width = static_cast<int32_t>(ReadLe32(header + 4));
    info->height = static_cast<int32_t>(ReadLe32(header + 8));
    info->planes = ReadLe16(header + 12);
    info->bitCount = ReadLe16(header + 14);
    info->compression = ReadLe32(header + 16);
    info->sizeImage = ReadLe32(header + 20);
    info->xPelsPerMeter = static_cast<int32_t>(ReadLe32(header + 24));
    info->yPelsPerMeter = static_cast<int32_t>(ReadLe32(header + 28));
    info->clrUsed = ReadLe32(header + 32);
    info->clrImportant = ReadLe32(header + 36);
}

// The depth and compression pairs the decoders handle.
static bool IsSupportedEncoding(uint16_t bitCount, uint32_t compression) {
    switch (compression) {
        case kCompressionNone:
            return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 ||
                   bitCount == 24 || bitCount == 32;
        case kCompressionRle8:
            return bitCount == 8;
        case kCompressionRle4:
            return bitCount == 4;
        case kCompressionBitFields:
            return bitCount == 16 || bitCount == 32;
        default:
            return false;
    }
}

static void SetStandardMasks(uint16_t bitCount, uint32_t masks[3]) {
    if (bitCount == 16) {
        masks[0] = 0x7C00;
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
    } else {
        masks[0] = 0x00FF0000;
        masks[1] = 0x0000FF00;
        masks[2] = 0x000000FF;
    }
}

BitmapLayoutResult ReadBitmapLayout(const unsigned char* file, size_t size, BitmapLayout* layout) {
    *layout = BitmapLayout{};
    layout->hasFileHeader = size >= 2 && file[0] == 'B' && file[1] == 'M';
    layout->headerOffset = layout->hasFileHeader ? kFileHeaderSize : 0;
    if (!FitsInFile(layout->headerOffset, 4, size)) {
        return kLayoutUnusable;
    }
    const unsigned char* header = file + layout->headerOffset;
    layout->headerSize = ReadLe32(header);
    if (layout->headerSize != kCoreHeaderSize && layout->headerSize != kInfoHeaderSize) {
        return kLayoutUnknownHeader;
    }
    if (!FitsInFile(layout->headerOffset, layout->headerSize, size)) {
        return kLayoutUnusable;
    }

    layout->colourCount = CountPaletteColors(header);
    BitmapInfoHeader& info = layout->header;
    if (layout->headerSize == kCoreHeaderSize) {
        NormaliseCoreHeader(header, layout->colourCount, &info);
        layout->colourEntrySize = 3;
    } else {
        NormaliseInfoHeader(header, &info);
        layout->colourEntrySize = 4;
        // A count the 16-bit colour count cannot carry would be cut short.
        if (info.clrUsed > 0xFFFF) {
            return kLayoutUnusable;
        }
    }
    if (info.sizeImage == 0) {
        // Whole bytes per row, rows not padded: what the header would have said.
        info.sizeImage =
            (static_cast<uint32_t>(info.bitCount) * static_cast<uint32_t>(info.width) + 7) / 8 *
            static_cast<uint32_t>(info.height);
    }
    if (info.clrUsed == 0) {
        info.clrUsed = layout->colourCount;
    }

    const int64_t height = info.height;
    if (info.width < 1 || info.width > kMaxBitmapSide || height == 0 || height > kMaxBitmapSide ||
        height < -kMaxBitmapSide) {
        return kLayoutUnusable;
    }
    layout->rows = static_cast<int32_t>(height < 0 ? -height : height);
    layout->topDown = height < 0;
    if (!IsSupportedEncoding(info.bitCount, info.compression)) {
        return kLayoutUnusable;
    }
    const bool runLength =
        info.compression == kCompressionRle8 || info.compression == kCompressionRle4;
    // Run-length data is only defined bottom row first.
    if (runLength && layout->topDown) {
        return kLayoutUnusable;
    }

    uint64_t afterHeader = layout->headerOffset + layout->headerSize;
    SetStandardMasks(info.bitCount, layout->masks);
    if (info.compression == kCompressionBitFields) {
        if (!FitsInFile(afterHeader, 12, size)) {
            return kLayoutUnusable;
        }
        for (int channel = 0; channel < 3; ++channel) {
            layout->masks[channel] = ReadLe32(file + afterHeader + 4 * channel);
        }
        afterHeader += 12;
    }

    layout->colourTableOffset = static_cast<size_t>(afterHeader);
    const uint64_t tableBytes =
        static_cast<uint64_t>(layout->colourCount) * layout->colourEntrySize;
    if (!FitsInFile(afterHeader, tableBytes, size)) {
        return kLayoutUnusable;
    }
    const uint64_t pixelOffset =
        layout->hasFileHeader ? ReadLe32(file + 10) : afterHeader + tableBytes;
    if (pixelOffset >= size) {
        return kLayoutUnusable;
    }
    layout->pixelOffset = static_cast<size_t>(pixelOffset);
    layout->pixelBytes = size - layout->pixelOffset;
    if (!runLength) {
        const uint64_t rowBytes = StoredRowBytes(info.bitCount, static_cast<uint32_t>(info.width));
        if (rowBytes * static_cast<uint64_t>(layout->rows) > layout->pixelBytes) {
            return kLayoutUnusable;
        }
    }
    return kLayoutOk;
}
