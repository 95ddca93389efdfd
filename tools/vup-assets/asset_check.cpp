#include "asset_check.h"

#include <cstdlib>

#include "assets/bitmap_layout.h"
#include "assets/bitmap_reader.h"
#include "assets/show_files.h"
#include "console_platform.h"
#include "platform/file_map.h"
#include "show/show_time.h"
#include "smf_parser.h"

namespace {

bool IsPowerOfTwo(int32_t value) {
    return value > 0 && (value & (value - 1)) == 0;
}

bool Exists(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "r");
    if (file == nullptr) {
        return false;
    }
    std::fclose(file);
    return true;
}

const char* CompressionName(uint32_t compression) {
    switch (compression) {
        case kCompressionNone:
            return "uncompressed";
        case kCompressionRle8:
            return "RLE8";
        case kCompressionRle4:
            return "RLE4";
        default:
            return "bit fields";
    }
}

void PrintTextureFit(int32_t width, int32_t height, FILE* out) {
    if (!IsPowerOfTwo(width) || !IsPowerOfTwo(height)) {
        std::fprintf(out,
                     "; OpenGL 1.1 texture size: no, %d x %d is not a power of two on each side "
                     "(the show starts, but this picture stays blank)\n",
                     width, height);
    } else if (width * 3 % 4 != 0) {
        std::fprintf(out,
                     "; OpenGL 1.1 texture size: no, rows of %d bytes break the default 4-byte "
                     "unpack alignment (the picture comes out skewed)\n",
                     width * 3);
    } else {
        std::fprintf(out, "; OpenGL 1.1 texture size: yes\n");
    }
}

// Header facts come from the reader's own layout stage.
void PrintPictureLayout(const std::string& path, const char* relative, FILE* out) {
    MappedFile file = {};
    BitmapLayout layout;
    if (!MapFileReadOnly(path.c_str(), &file) ||
        ReadBitmapLayout(file.data, file.size, &layout) != kLayoutOk) {
        UnmapFile(&file);
        std::fprintf(out, "%s: changed while it was being checked\n", relative);
        return;
    }
    UnmapFile(&file);
    const BitmapInfoHeader& header = layout.header;
    std::fprintf(out, "%s: %d x %d, %u bits per pixel, %s header %s file header, %s", relative,
                 header.width, layout.rows, header.bitCount,
                 layout.headerSize == kCoreHeaderSize ? "core" : "info",
                 layout.hasFileHeader ? "with" : "without", CompressionName(header.compression));
    if (header.compression == kCompressionBitFields) {
        std::fprintf(out, " (red %08X, green %08X, blue %08X)", layout.masks[0], layout.masks[1],
                     layout.masks[2]);
    }
    if (layout.colourCount != 0) {
        std::fprintf(out, ", %u colours", layout.colourCount);
    }
    if (layout.topDown) {
        std::fprintf(out, ", rows stored top row first");
    }
    PrintTextureFit(header.width, layout.rows, out);
}

bool CheckPicture(const std::string& dir, const char* relative, FILE* out) {
    const std::string path = AssetPath(dir, relative);
    if (!Exists(path)) {
        std::fprintf(out, "%s: missing\n", relative);
        return false;
    }
    consoleMessageContext = relative;
    lastConsoleMessage.clear();
    RgbImage* image = ReadBitmapFile(path.c_str());
    consoleMessageContext.clear();
    if (image == nullptr) {
        std::fprintf(out, "%s: refused by the picture reader: %s\n", relative,
                     lastConsoleMessage.c_str());
        return false;
    }
    std::free(image->pixels);
    std::free(image);
    PrintPictureLayout(path, relative, out);
    return true;
}

void CheckTune(const std::string& dir, FILE* out) {
    const std::string path = AssetPath(dir, kTuneFile);
    const char* consequence = "the show plays on without music";
    if (!Exists(path)) {
        std::fprintf(out, "%s: warning: missing; %s\n", kTuneFile, consequence);
        return;
    }
    MappedFile file = {};
    if (!MapFileReadOnly(path.c_str(), &file)) {
        std::fprintf(out, "%s: warning: empty or unreadable; %s\n", kTuneFile, consequence);
        return;
    }
    SmfSummary summary;
    std::string error;
    const bool valid = ParseSmf(file.data, file.size, &summary, &error);
    UnmapFile(&file);
    if (!valid) {
        std::fprintf(out, "%s: warning: not a valid Standard MIDI File (%s); %s\n", kTuneFile,
                     error.c_str(), consequence);
        return;
    }
    std::fprintf(out, "%s: Standard MIDI File format %u, %u track%s, ", kTuneFile, summary.format,
                 summary.trackCount, summary.trackCount == 1 ? "" : "s");
    if (summary.smpte) {
        std::fprintf(out, "division SMPTE %d frames per second x %d ticks", summary.framesPerSecond,
                     summary.ticksPerFrame);
    } else {
        std::fprintf(out, "division %u ticks per quarter note", summary.ticksPerQuarter);
    }
    std::fprintf(out, ", %llu notes, length %.1f s",
                 static_cast<unsigned long long>(summary.noteOns), summary.lengthSeconds);
    if (summary.lengthSeconds < kShowSeconds) {
        std::fprintf(out, " (shorter than the show's %.0f s)", kShowSeconds);
    }
    std::fprintf(out, "\n");
}

}  // namespace

std::string AssetPath(const std::string& dir, const char* relative) {
    if (dir.empty() || dir == ".") {
        return relative;
    }
    if (dir.back() == '/') {
        return dir + relative;
    }
    return dir + "/" + relative;
}

int CheckAssets(const std::string& dir, FILE* out) {
    int unusable = 0;
    for (const char* relative : kPictureFiles) {
        if (!CheckPicture(dir, relative, out)) {
            ++unusable;
        }
    }
    CheckTune(dir, out);
    if (unusable != 0) {
        std::fprintf(out,
                     "Result: the show would not start: %d of %d pictures missing or refused.\n",
                     unusable, kTextureSlotCount);
        return 1;
    }
    std::fprintf(out, "Result: the show would start.\n");
    return 0;
}
