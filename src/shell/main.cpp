#include "platform/win32_defs.h"
#include "shell/demo_main.h"

#ifdef _WIN32
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine,
                   int showState) {
    return DemoMain(instance, previousInstance, commandLine, showState);
}
#else
#include <getopt.h>

#include <cstdio>

#include "assets/show_files.h"
#include "platform/posix/data_dir.h"
#include "show/show_time.h"

// Set by the build: the version, the installed data relative to the installed
// program, and the build tree's program directory with the source tree it
// falls back to.
#ifndef VUP_VERSION
#define VUP_VERSION "unknown"
#endif
#ifndef VUP_DATA_FROM_BINDIR
#define VUP_DATA_FROM_BINDIR "../share/vup"
#endif
#ifndef VUP_BUILD_BIN_DIR
#define VUP_BUILD_BIN_DIR nullptr
#endif
#ifndef VUP_SOURCE_DIR
#define VUP_SOURCE_DIR nullptr
#endif

static void PrintUsage(FILE* out) {
    std::fputs(
        "Usage: vup [--window] [--from SECONDS]\n"
        "Plays Vup, an 85-second real-time 3D show with music, fullscreen at 800x600.\n"
        "\n"
        "  --window          start in an 800x600 window instead of fullscreen\n"
        "  --from SECONDS    start that far into the show (0 to 85, decimals allowed)\n"
        "  --help            this text\n"
        "  --version         the version\n"
        "\n"
        "Keys: Escape ends the show; F1 switches between fullscreen and a window;\n"
        "Space pauses and resumes; Left and Right go back and forward 5 s; Home goes\n"
        "to the start; Alt+F4 or the window's close button ends the show.\n"
        "\n"
        "Files, from the working directory when it holds any of them, otherwise\n"
        "from share/vup installed beside the program:\n",
        out);
    for (const char* file : kPictureFiles) {
        std::fprintf(out, "  %s\n", file);
    }
    std::fprintf(out,
                 "  %s\n"
                 "\n"
                 "Exit status: 0 when the show ended (at its end, by Escape or by closing\n"
                 "it), 1 when a display could not be opened or went away, 2 for a bad\n"
                 "command line.\n",
                 kTuneFile);
}

// Text asked for on standard output: 0 once it is all written, 1 when it
// could not be (a full disk, a closed pipe).
static int Written() {
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fputs("vup: cannot write to standard output\n", stderr);
        return 1;
    }
    return 0;
}

// --help and --version answer and end the program; a bad command line ends it
// with a one-line reason and the usage on standard error. Either way no
// display is touched. Returns -1 when the show should start.
static int ReadCommandLine(int argc, char** argv) {
    static const option kOptions[] = {
        {"help", no_argument, nullptr, 'h'},
        {"version", no_argument, nullptr, 'v'},
        {"window", no_argument, nullptr, 'w'},
        {"from", required_argument, nullptr, 'f'},
        {nullptr, 0, nullptr, 0},
    };
    // getopt_long reports an unknown option or a stray value itself, in one
    // line headed by argv[0]: the program's name, not the path it ran by.
    static char programName[] = "vup";
    argv[0] = programName;
    int choice;
    while ((choice = getopt_long(argc, argv, "", kOptions, nullptr)) != -1) {
        switch (choice) {
            case 'h':
                PrintUsage(stdout);
                return Written();
            case 'v':
                std::printf("vup %s\n", VUP_VERSION);
                return Written();
            case 'w':
                firstOpenFullscreen = 0;
                break;
            case 'f': {
                double seconds = 0.0;
                if (!ParseShowSeconds(optarg, &seconds)) {
                    std::fprintf(stderr, "vup: --from wants seconds from 0 to %g, not '%s'\n",
                                 kShowSeconds, optarg);
                    PrintUsage(stderr);
                    return kExitUsage;
                }
                showStartFromMs = StillShowTimeMs(seconds);
                break;
            }
            default:
                PrintUsage(stderr);
                return kExitUsage;
        }
    }
    if (optind < argc) {
        std::fprintf(stderr, "vup: unexpected argument '%s'\n", argv[optind]);
        PrintUsage(stderr);
        return kExitUsage;
    }
    return -1;
}

int main(int argc, char** argv) {
    const int answered = ReadCommandLine(argc, argv);
    if (answered >= 0) {
        return answered;
    }
    // Started from a menu or a shell anywhere, the show still finds its
    // pictures and tune; a working directory that has them keeps them.
    static const char* const kTuneFiles[] = {kTuneFile};
    const DataFiles showFiles = {kPictureFiles, kTextureSlotCount, kTuneFiles, 1};
    EnterDataDirectory(&showFiles, VUP_DATA_FROM_BINDIR, VUP_BUILD_BIN_DIR, VUP_SOURCE_DIR);
    return DemoMain(nullptr, nullptr, nullptr, 0);
}
#endif
