// The recorder's command line.
#pragma once

#include <string>

#include "show/show_time.h"

enum class RecordMode {
    kHelp,          // print the usage and stop
    kVideo,         // --out FILE.mp4
    kPngFrames,     // --out DIR/
    kStill,         // --frame S OUT.png
    kListSchedule,  // --schedule: list the show's schedule and stop
};

struct RecordOptions {
    RecordMode mode = RecordMode::kHelp;
    std::string outPath;  // the video file, the frame folder or the still
    int fps = kDefaultFrameRate;
    double fromSeconds = 0.0;
    double toSeconds = kShowSeconds;
    double stillSeconds = 0.0;
    int width = 800;
    int height = 600;
    std::string frameTimesPath;  // --frame-times: empty for none
};

constexpr int kMaxFps = 1000;  // beyond that frames would share a millisecond
constexpr int kMaxSide = 8192;

// Fills options from argv[1..argc-1]. 1 on success; 0 with a one-line reason
// in error when the command line is wrong.
int ParseRecordOptions(int argc, const char* const* argv, RecordOptions* options,
                       std::string* error);

// The text --help prints.
const char* RecordUsage();
