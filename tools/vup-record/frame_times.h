// --frame-times FILE.csv: how long each recorded frame took to render, one
// line per frame ("frame,show_ms,render_ms"), for plotting where a
// recording spends its time.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

struct FrameTimesFile {
    FILE* file = nullptr;
    std::string path;
};

// Creates the file and writes the header line. 1 on success; 0 with a
// one-line reason.
int OpenFrameTimes(const std::string& path, FrameTimesFile* times, std::string* error);

// One frame: its number within the recording, its show time and the
// milliseconds from the start of its drawing turn to the finished picture.
int AddFrameTime(FrameTimesFile* times, int64_t frame, int64_t showMs, double renderMs,
                 std::string* error);

// Flushes and closes; 0 with a reason when the data could not be written.
int CloseFrameTimes(FrameTimesFile* times, std::string* error);
