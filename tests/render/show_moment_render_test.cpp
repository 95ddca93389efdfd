#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "assets/scene_resources.h"
#include "platform/gl.h"
#include "render_support.h"
#include "show/show.h"

// A live show moved to a moment steps there without GL for most turns; the
// picture must still be the recorded frame's, bit for bit. Each moment starts
// from light 1 where a fresh display puts it, so state the quick stepping
// failed to leave (the path's light, the scissor) shows in the picture.
TEST_F(SceneRenderTest, AShowMovedToAMomentDrawsTheRecordedFrame) {
    // The first frame, scene bounds, and inside each scene.
    const int64_t moments[] = {0, 10000, 12345, 35000, 40017, 61234, 72500, 84999};
    for (const int64_t ms : moments) {
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glLightfv(GL_LIGHT1, GL_POSITION, kLightPositionStart);
        ShowMoment moment;
        SeekShowToMoment(ms, 60, &moment);
        DrawShowMoment(moment);
        ReadFrame("moved_" + std::to_string(ms));
        const std::vector<uint8_t> moved = frame;

        ResetShowValues();
        ASSERT_EQ(StepShowToStill(ms, 60, nullptr), 1);
        ReadFrame("recorded_" + std::to_string(ms));
        EXPECT_TRUE(moved == frame) << "at " << ms << " ms";
    }
}
