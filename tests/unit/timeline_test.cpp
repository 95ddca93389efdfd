#include <gtest/gtest.h>

#include "gl_call_log/gl_call_log.h"
#include "show/timeline.h"

// The scenes are identified by what they leave in the call log; a placeholder
// "scene" that only clears still logs glClear. Here we check only which
// interval draws and what the schedule returns.
struct TimelineCase {
    double elapsedMs;
    bool draws;
    int result;
};

TEST(Timeline, BoundariesDrawNothingAndTheShowEndsAfter85Seconds) {
    const TimelineCase cases[] = {
        {-500, true, 1},   {0, true, 1},       {9999, true, 1},   {10000, false, 1},
        {10001, true, 1},  {34999, true, 1},   {35000, false, 1}, {35001, true, 1},
        {50000, false, 1}, {50001, true, 1},   {70000, false, 1}, {70001, true, 1},
        {75000, false, 1}, {75001, true, 1},   {84999, true, 1},  {85000, false, 1},
        {85001, false, 0}, {200000, false, 0},
    };
    for (const TimelineCase& c : cases) {
        GlCallLogClear();
        const int result = RunTimeline(16.0, c.elapsedMs);
        EXPECT_EQ(result, c.result) << "elapsed " << c.elapsedMs;
        EXPECT_EQ(GlCallCount("glClear"), c.draws ? 1u : 0u) << "elapsed " << c.elapsedMs;
    }
}
