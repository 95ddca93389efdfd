// The presented-frame count behind VUP_FRAME_STATS, driven through the real
// frame loop on the fake platform.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <thread>

#include "assets/scene_resources.h"
#include "shell/frame_stats.h"
#include "shell_fixture.h"

static std::map<std::string, long long> ReadStats(const std::string& path) {
    std::map<std::string, long long> values;
    std::ifstream file(path);
    std::string key;
    long long value = 0;
    while (file >> key >> value) {
        values[key] = value;
    }
    return values;
}

class FrameStatsTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        statsPath_ = dir_ + "/frames.txt";
        FrameStatsReset();
    }
    void TearDown() override {
        unsetenv("VUP_FRAME_STATS");
        FrameStatsReset();
        ShellTest::TearDown();
    }
    std::string statsPath_;
};

TEST_F(FrameStatsTest, CountsEveryPresentOfAWholeShowAndItsTimes) {
    setenv("VUP_FRAME_STATS", statsPath_.c_str(), 1);
    FakePlatform().clockStep = 1000;
    EXPECT_EQ(DemoMain(nullptr, nullptr, nullptr, 0), kExitShowEnded);
    ASSERT_EQ(FrameStatsWrite(), 1);

    const auto stats = ReadStats(statsPath_);
    EXPECT_EQ(stats.at("presented_frames"), FakePlatform().swaps);
    EXPECT_GT(stats.at("first_present_unix_ns"), 0);
    EXPECT_GE(stats.at("last_present_unix_ns"), stats.at("first_present_unix_ns"));
}

TEST_F(FrameStatsTest, TheFirstPresentIsWrittenAtOnce) {
    setenv("VUP_FRAME_STATS", statsPath_.c_str(), 1);
    FrameStatsPresented();
    // Written before any exit: a measurement may stop the program here.
    auto stats = ReadStats(statsPath_);
    EXPECT_EQ(stats.at("presented_frames"), 1);
    EXPECT_EQ(stats.at("last_present_unix_ns"), stats.at("first_present_unix_ns"));

    FrameStatsPresented();
    FrameStatsPresented();
    ASSERT_EQ(FrameStatsWrite(), 1);
    stats = ReadStats(statsPath_);
    EXPECT_EQ(stats.at("presented_frames"), 3);
}

TEST_F(FrameStatsTest, TheFileFollowsTheCountAboutOnceASecond) {
    setenv("VUP_FRAME_STATS", statsPath_.c_str(), 1);
    FrameStatsPresented();
    FrameStatsPresented();
    EXPECT_EQ(ReadStats(statsPath_).at("presented_frames"), 1);  // not every frame
    std::this_thread::sleep_for(std::chrono::milliseconds(1050));
    FrameStatsPresented();
    const auto stats = ReadStats(statsPath_);
    EXPECT_EQ(stats.at("presented_frames"), 3);
    EXPECT_GE(stats.at("last_present_unix_ns") - stats.at("first_present_unix_ns"), 1000000000);
}

TEST_F(FrameStatsTest, WithoutTheVariableNothingIsCountedOrWritten) {
    unsetenv("VUP_FRAME_STATS");
    FakePlatform().clockStep = 5000;
    EXPECT_EQ(DemoMain(nullptr, nullptr, nullptr, 0), kExitShowEnded);
    EXPECT_EQ(FrameStatsWrite(), 0);

    // Decided once: setting it later does not start counting midway.
    setenv("VUP_FRAME_STATS", statsPath_.c_str(), 1);
    FrameStatsPresented();
    EXPECT_EQ(FrameStatsWrite(), 0);
    EXPECT_EQ(std::fopen(statsPath_.c_str(), "r"), nullptr);
}

TEST_F(FrameStatsTest, AnUnwritablePathLeavesTheShowRunning) {
    setenv("VUP_FRAME_STATS", (dir_ + "/missing/frames.txt").c_str(), 1);
    FakePlatform().clockStep = 5000;
    EXPECT_EQ(DemoMain(nullptr, nullptr, nullptr, 0), kExitShowEnded);
    EXPECT_EQ(FrameStatsWrite(), 0);
}
