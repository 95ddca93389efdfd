#include "frame_times.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

TEST(FrameTimes, OneLinePerFrameUnderAHeader) {
    char folder[] = "/tmp/vup-frame-times-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string path = std::string(folder) + "/times.csv";
    FrameTimesFile times;
    std::string error;
    ASSERT_EQ(OpenFrameTimes(path, &times, &error), 1) << error;
    ASSERT_EQ(AddFrameTime(&times, 0, 0, 2.5, &error), 1) << error;
    ASSERT_EQ(AddFrameTime(&times, 1, 33, 12.25, &error), 1) << error;
    ASSERT_EQ(CloseFrameTimes(&times, &error), 1) << error;

    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_EQ(text.str(), "frame,show_ms,render_ms\n0,0,2.500\n1,33,12.250\n");
    unlink(path.c_str());
    rmdir(folder);
}

TEST(FrameTimes, AFileThatCannotBeMadeIsReportedWithItsName) {
    FrameTimesFile times;
    std::string error;
    EXPECT_EQ(OpenFrameTimes("/nonexistent-folder/times.csv", &times, &error), 0);
    EXPECT_NE(error.find("/nonexistent-folder/times.csv"), std::string::npos);
    EXPECT_EQ(AddFrameTime(&times, 0, 0, 1.0, &error), 0);
    EXPECT_EQ(CloseFrameTimes(&times, &error), 1);  // nothing was opened
}
