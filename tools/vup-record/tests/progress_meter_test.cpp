#include <gtest/gtest.h>

#include "progress_meter.h"

TEST(ProgressMeter, ShowsFramesRateAndTimeLeft) {
    EXPECT_EQ(FormatProgress(50, 100, 10.0, 10),
              "[=====>    ] 50/100 frames  5.0 frames/s  0:10 left");
    EXPECT_EQ(FormatProgress(100, 5100, 2.0, 4),
              "[>   ] 100/5100 frames  50.0 frames/s  1:40 left");
    EXPECT_EQ(FormatProgress(0, 100, 0.0, 4), "[>   ] 0/100 frames  0.0 frames/s  --:-- left");
    EXPECT_EQ(FormatProgress(8, 8, 4.0, 4), "[====] 8/8 frames  2.0 frames/s  0:00 left");
}
