#include "record_options.h"

#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "frame_schedule.h"

static const char kUsage[] =
    "Usage: vup-record --out FILE.mp4 | --out DIR/ | --frame S OUT.png [options]\n"
    "Renders the Vup show offscreen on a virtual clock: the same frames on every run.\n"
    "\n"
    "  --out FILE.mp4   H.264 video with the tune as AAC audio (needs ffmpeg)\n"
    "  --out DIR/       numbered PNG frames DIR/frame_00000.png, ... (the first\n"
    "                   recorded frame is 00000)\n"
    "  --frame S OUT.png  one still at show time S seconds\n"
    "  --fps N          frames per second, 1 to 1000 (default 60)\n"
    "  --from S         start at show time S seconds (default 0)\n"
    "  --to S           stop before show time S seconds (default: the end, %g)\n"
    "  --size WxH       picture size (default 800x600), as if the window were\n"
    "                   resized to it\n"
    "  --frame-times FILE.csv  also write each recorded frame's render time\n"
    "                   (frame,show_ms,render_ms) with --out\n"
    "  --schedule       print the show's schedule as JSON (each scene's interval,\n"
    "                   its golden stills, when it and the tune are checked)\n"
    "  --help           this text\n"
    "\n"
    "Frame N is the show at N * 1000 / fps milliseconds rounded down, the way the\n"
    "live show's millisecond clock would read; earlier frames are still simulated,\n"
    "so --from gives the same pictures as a whole recording. The tune starts at\n"
    "show time 0, as it does live, and the audio is cut to match the frames.\n"
    "Run it from the folder that holds Data/ and data/.\n";

const char* RecordUsage() {
    // The show's end from its schedule, written in once.
    static const std::string usage = [] {
        std::string text(sizeof(kUsage) + 16, '\0');
        text.resize(
            static_cast<size_t>(std::snprintf(text.data(), text.size(), kUsage, kShowSeconds)));
        return text;
    }();
    return usage.c_str();
}

// "a show time from 0 to END seconds", END the schedule's.
static std::string ShowTimeRange() {
    char end[32];
    std::snprintf(end, sizeof(end), "%g", kShowSeconds);
    return std::string("a show time from 0 to ") + end + " seconds";
}

static int Fail(std::string* error, const std::string& text) {
    *error = text;
    return 0;
}

// A whole decimal number with nothing after it.
static bool ParseInt(const char* text, long minimum, long maximum, int* value) {
    if (text == nullptr || *text == '\0') {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    const long parsed = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || parsed < minimum || parsed > maximum) {
        return false;
    }
    *value = static_cast<int>(parsed);
    return true;
}

static bool ParseSize(const char* text, int* width, int* height) {
    if (text == nullptr) {
        return false;
    }
    const char* cross = std::strchr(text, 'x');
    if (cross == nullptr) {
        return false;
    }
    const std::string widthText(text, static_cast<size_t>(cross - text));
    return ParseInt(widthText.c_str(), 1, kMaxSide, width) &&
           ParseInt(cross + 1, 1, kMaxSide, height);
}

static bool EndsWithMp4(std::string_view path) {
    if (path.size() < 4) {
        return false;
    }
    std::string_view tail = path.substr(path.size() - 4);
    return tail[0] == '.' && (tail[1] == 'm' || tail[1] == 'M') &&
           (tail[2] == 'p' || tail[2] == 'P') && tail[3] == '4';
}

static bool IsDirectory(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

int ParseRecordOptions(int argc, const char* const* argv, RecordOptions* options,
                       std::string* error) {
    *options = RecordOptions();
    bool haveOut = false;
    bool haveFrame = false;
    bool haveRange = false;
    std::string outPath;

    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        // Every option but --help takes a value; a missing one is an error, not
        // a read past the end of argv.
        auto value = [&](int offset) -> const char* {
            return i + offset < argc ? argv[i + offset] : nullptr;
        };
        if (arg == "--help" || arg == "-h") {
            *options = RecordOptions();
            options->mode = RecordMode::kHelp;
            return 1;
        } else if (arg == "--schedule") {
            *options = RecordOptions();
            options->mode = RecordMode::kListSchedule;
            return 1;
        } else if (arg == "--out") {
            if (value(1) == nullptr || *value(1) == '\0') {
                return Fail(error, "--out needs FILE.mp4 or DIR/");
            }
            outPath = value(1);
            haveOut = true;
            i += 1;
        } else if (arg == "--frame") {
            if (!ParseShowSeconds(value(1), &options->stillSeconds)) {
                return Fail(error, "--frame needs " + ShowTimeRange() + " and OUT.png");
            }
            if (value(2) == nullptr || *value(2) == '\0') {
                return Fail(error, "--frame needs an output file after the time");
            }
            outPath = value(2);
            haveFrame = true;
            i += 2;
        } else if (arg == "--fps") {
            if (!ParseInt(value(1), 1, kMaxFps, &options->fps)) {
                return Fail(error, "--fps needs a whole number from 1 to 1000");
            }
            i += 1;
        } else if (arg == "--from") {
            if (!ParseShowSeconds(value(1), &options->fromSeconds)) {
                return Fail(error, "--from needs " + ShowTimeRange());
            }
            haveRange = true;
            i += 1;
        } else if (arg == "--to") {
            if (!ParseShowSeconds(value(1), &options->toSeconds)) {
                return Fail(error, "--to needs " + ShowTimeRange());
            }
            haveRange = true;
            i += 1;
        } else if (arg == "--size") {
            if (!ParseSize(value(1), &options->width, &options->height)) {
                return Fail(error, "--size needs WIDTHxHEIGHT, each from 1 to 8192");
            }
            i += 1;
        } else if (arg == "--frame-times") {
            if (value(1) == nullptr || *value(1) == '\0') {
                return Fail(error, "--frame-times needs FILE.csv");
            }
            options->frameTimesPath = value(1);
            i += 1;
        } else {
            return Fail(error, "unknown option '" + std::string(arg) + "' (see --help)");
        }
    }

    if (haveOut && haveFrame) {
        return Fail(error, "give either --out or --frame, not both");
    }
    if (!haveOut && !haveFrame) {
        return Fail(error,
                    "nothing to record: give --out FILE.mp4, --out DIR/ or --frame S OUT.png");
    }
    options->outPath = outPath;
    if (haveFrame) {
        if (haveRange) {
            return Fail(error, "--from and --to go with --out, not with --frame");
        }
        if (!options->frameTimesPath.empty()) {
            return Fail(error, "--frame-times goes with --out, not with --frame");
        }
        options->mode = RecordMode::kStill;
        return 1;
    }

    if (options->fromSeconds >= options->toSeconds) {
        return Fail(error, "--from must be before --to");
    }
    if (FirstFrameAtOrAfter(options->fromSeconds, options->fps) >=
        FirstFrameAtOrAfter(options->toSeconds, options->fps)) {
        return Fail(error, "no frame falls between --from and --to at this --fps");
    }
    if (outPath.back() == '/' || IsDirectory(outPath)) {
        options->mode = RecordMode::kPngFrames;
    } else if (EndsWithMp4(outPath)) {
        // 4:2:0 video needs even sides.
        if (options->width % 2 != 0 || options->height % 2 != 0) {
            return Fail(error, "an .mp4 needs an even width and height (--size)");
        }
        options->mode = RecordMode::kVideo;
    } else {
        return Fail(error, "--out wants FILE.mp4 or a folder ending in /: '" + outPath + "'");
    }
    return 1;
}
