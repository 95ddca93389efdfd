#include <gtest/gtest.h>

#include "frame_schedule.h"

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

TEST(FrameSchedule, RangeBoundsPickTheFirstFrameAtOrAfterTheTime) {
    EXPECT_EQ(FirstFrameAtOrAfter(0.0, 60), 0);
    EXPECT_EQ(FirstFrameAtOrAfter(0.5, 10), 5);
    EXPECT_EQ(FirstFrameAtOrAfter(0.51, 10), 6);
    EXPECT_EQ(FirstFrameAtOrAfter(0.1, 30), 3);  // 0.1 * 30 is a hair above 3
    EXPECT_EQ(FirstFrameAtOrAfter(2.0, 30), 60);
    EXPECT_EQ(FirstFrameAtOrAfter(85.0, 60), 5100);
    EXPECT_EQ(FirstFrameAtOrAfter(0.001, 1000), 1);
}

TEST(FrameSchedule, StillTimesAreWholeMillisecondsRoundedDown) {
    EXPECT_EQ(StillShowTimeMs(0.0), 0);
    EXPECT_EQ(StillShowTimeMs(5.0), 5000);
    EXPECT_EQ(StillShowTimeMs(0.29), 290);  // 0.29 * 1000 is a hair below 290
    EXPECT_EQ(StillShowTimeMs(12.3456), 12345);
    EXPECT_EQ(StillShowTimeMs(0.0015), 1);
    EXPECT_EQ(StillShowTimeMs(85.0), 85000);
}

TEST(FrameSchedule, AudioSamplesFollowTheFrameInstants) {
    EXPECT_EQ(FrameStartSample(0, 30, 44100), 0);
    EXPECT_EQ(FrameStartSample(1, 30, 44100), 1470);
    EXPECT_EQ(FrameStartSample(60, 30, 44100), 88200);  // two seconds
    EXPECT_EQ(FrameStartSample(5100, 60, 44100), 85 * 44100);
    EXPECT_EQ(FrameStartSample(1, 7, 44100), 6300);
    EXPECT_EQ(FrameStartSample(1, 24, 44100), 1837);  // 1837.5 rounds down
    EXPECT_EQ(FrameStartSample(24, 24, 44100), 44100);
}
