#include <gtest/gtest.h>

#include "frame_schedule.h"
#include "show/show_time.h"

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
