#include <gtest/gtest.h>

#include "gl_call_log/gl_call_log.h"
#include "platform/gl.h"
#include "scene_state_guard.h"
#include "show/scenes.h"
#include "show/show.h"

class ShowClock : public SceneStateGuard {
protected:
    void SetUp() override {
        SceneStateGuard::SetUp();
        GlCallLogClear();
    }
};

TEST(FrameSchedule, FrameTimesAreTheMillisecondClockRoundedDown) {
    EXPECT_EQ(FrameShowTimeMs(0, 60), 0);
    EXPECT_EQ(FrameShowTimeMs(1, 60), 16);
    EXPECT_EQ(FrameShowTimeMs(2, 60), 33);
    EXPECT_EQ(FrameShowTimeMs(3, 60), 50);
    EXPECT_EQ(FrameShowTimeMs(1, 30), 33);
    EXPECT_EQ(FrameShowTimeMs(2, 30), 66);
    EXPECT_EQ(FrameShowTimeMs(1, 7), 142);
    EXPECT_EQ(FrameShowTimeMs(300, 60), 5000);
    EXPECT_EQ(FrameShowTimeMs(5099, 60), 84983);
}

TEST(FrameSchedule, DeltasAreWholeMillisecondsThatAddUpToTheElapsedTime) {
    for (int fps : {1, 7, 24, 30, 60, 144, 1000}) {
        int64_t sum = 0;
        const int64_t frames = 85 * fps + 1;
        for (int64_t n = 0; n < frames; ++n) {
            const int64_t delta = FrameDeltaMs(n, fps);
            sum += delta;
            ASSERT_EQ(sum, FrameShowTimeMs(n, fps)) << "fps " << fps << " frame " << n;
            if (n > 0) {
                // Each step is the frame period rounded one way or the other.
                ASSERT_GE(delta, 1000 / fps) << "fps " << fps << " frame " << n;
                ASSERT_LE(delta, (1000 + fps - 1) / fps) << "fps " << fps << " frame " << n;
            }
        }
    }
    EXPECT_EQ(FrameDeltaMs(0, 60), 0);  // the open takes no virtual time
}

TEST_F(ShowClock, AStillRunsEveryEarlierFrameButDrawsOnlyTheLastAndItself) {
    // At 10 frames a second, 10.005 s comes after frames 0 to 100. Frame 100
    // falls on the 10 s bound and draws nothing; the still draws the path
    // scene 5 ms on.
    ASSERT_EQ(StepShowToStill(10005, 10, nullptr), 1);
    EXPECT_EQ(GlCallCount("glScissor"), 100u);
    size_t lastScissorOff = 0;
    size_t lastClear = 0;
    int scissorOffs = 0;
    for (size_t i = 0; i < GlCallLog().size(); ++i) {
        const GlCall& call = GlCallLog()[i];
        if (call.name == "glDisable" && call.args[0] == GL_SCISSOR_TEST) {
            lastScissorOff = i;
            ++scissorOffs;
        }
        lastClear = call.name == "glClear" ? i : lastClear;
    }
    EXPECT_EQ(scissorOffs, 2);
    EXPECT_GT(lastClear, lastScissorOff);

    const float stepped = pathParameter;
    pathParameter = kPathParameterStart;
    DrawBezierPath(5);
    EXPECT_EQ(stepped, pathParameter);
}

static int stopAsks = 0;
static int StopAtThirdAsk() {
    return ++stopAsks == 3 ? 1 : 0;
}

TEST_F(ShowClock, AStillStopsWhenAsked) {
    stopAsks = 0;
    EXPECT_EQ(StepShowToStill(5000, 60, StopAtThirdAsk), 0);
    EXPECT_EQ(GlCallCount("glClear"), 2u);
}
