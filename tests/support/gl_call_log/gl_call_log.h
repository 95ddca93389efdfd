// A recording stand-in for the GL and GLU entry points the show calls. Linked
// in place of the real libraries, it keeps every call, in order, with its
// arguments widened to double, so tests can check exact vertex streams.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct GlCall {
    std::string name;          // e.g. "glVertex3f"
    std::vector<double> args;  // scalar arguments in order; array arguments expanded
};

// Every call since the last GlCallLogClear().
const std::vector<GlCall>& GlCallLog();
void GlCallLogClear();
// As at process start: an empty log, recording on, texture names from 1.
void GlCallLogReset();

// While off, calls are accepted but not kept (for measuring code around the
// GL calls without the log's own allocations). On by default.
void GlCallLogSetRecording(bool recording);

// Calls whose name matches, in order.
std::vector<GlCall> GlCallsNamed(const std::string& name);
size_t GlCallCount(const std::string& name);

// One line per call ("glVertex3f(1, 2, 3)"), for failure messages.
std::string GlCallLogText(size_t first = 0, size_t count = static_cast<size_t>(-1));
