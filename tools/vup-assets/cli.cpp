#include "cli.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "asset_check.h"
#include "assets/bitmap_reader.h"
#include "ppm_writer.h"

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

const char kHelp[] =
    "Usage: vup-assets check [DIR]\n"
    "       vup-assets decode FILE.bmp OUT.ppm\n"
    "       vup-assets --help\n"
    "\n"
    "Checks the files the Vup demo reads, for people who replace its pictures or its tune.\n"
    "\n"
    "  check [DIR]  Reads Data/Greetz.bmp, Data/Main.bmp, Data/VOLVO.bmp and Data/klump.bmp\n"
    "               under DIR (default: the current directory) with the demo's own picture\n"
    "               reader, and data/tulmor.mid as a Standard MIDI File. Prints each\n"
    "               picture's size, depth, header kind, compression and whether OpenGL 1.1\n"
    "               can use its size, and the tune's format, tracks, division and length.\n"
    "               Fails when the demo would not start (a picture missing or refused); a\n"
    "               missing or broken tune is only a warning, since the demo plays on\n"
    "               without music.\n"
    "  decode FILE.bmp OUT.ppm\n"
    "               Writes what the picture reader makes of FILE.bmp as a binary PPM (P6),\n"
    "               top row first.\n"
    "\n"
    "Reader messages go to standard error. Exit status: 0 success, 1 the check or decode\n"
    "failed, 2 bad usage.\n";

int UsageError(const char* message) {
    std::fprintf(stderr, "vup-assets: %s (try 'vup-assets --help')\n", message);
    return kExitUsage;
}

int Decode(const char* input, const char* output) {
    RgbImage* image = ReadBitmapFile(input);
    if (image == nullptr) {
        std::fprintf(stderr, "vup-assets: %s: not decoded\n", input);
        return kExitFailed;
    }
    std::string error;
    const bool written = WritePpm(output, *image, &error);
    std::free(image->pixels);
    std::free(image);
    if (!written) {
        std::fprintf(stderr, "vup-assets: cannot write %s: %s\n", output, error.c_str());
        return kExitFailed;
    }
    return 0;
}

}  // namespace

int RunVupAssets(int argc, const char* const* argv) {
    if (argc < 2) {
        return UsageError("no command given");
    }
    const std::string command = argv[1];
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (command == "check") {
        if (argc > 3) {
            return UsageError("check takes at most one directory");
        }
        const int status = CheckAssets(argc == 3 ? argv[2] : ".", stdout);
        std::fflush(stdout);
        return status;
    }
    if (command == "decode") {
        if (argc != 4) {
            return UsageError("decode takes an input bitmap and an output PPM file");
        }
        return Decode(argv[2], argv[3]);
    }
    const std::string message = "unknown command '" + command + "'";
    return UsageError(message.c_str());
}
