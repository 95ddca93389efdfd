#include "frame_times.h"

int OpenFrameTimes(const std::string& path, FrameTimesFile* times, std::string* error) {
    times->path = path;
    times->file = std::fopen(path.c_str(), "w");
    if (times->file == nullptr || std::fputs("frame,show_ms,render_ms\n", times->file) < 0) {
        if (times->file != nullptr) {
            std::fclose(times->file);
            times->file = nullptr;
        }
        *error = "cannot write the frame times to '" + path + "'";
        return 0;
    }
    return 1;
}

int AddFrameTime(FrameTimesFile* times, int64_t frame, int64_t showMs, double renderMs,
                 std::string* error) {
    if (times->file == nullptr ||
        std::fprintf(times->file, "%lld,%lld,%.3f\n", static_cast<long long>(frame),
                     static_cast<long long>(showMs), renderMs) < 0) {
        *error = "cannot write the frame times to '" + times->path + "'";
        return 0;
    }
    return 1;
}

int CloseFrameTimes(FrameTimesFile* times, std::string* error) {
    if (times->file == nullptr) {
        return 1;
    }
    const bool written = std::ferror(times->file) == 0;
    const bool closed = std::fclose(times->file) == 0;
    times->file = nullptr;
    if (!written || !closed) {
        *error = "cannot write the frame times to '" + times->path + "'";
        return 0;
    }
    return 1;
}
