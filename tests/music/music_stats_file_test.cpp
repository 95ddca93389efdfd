// The counts file a soak watcher reads (VUP_MUSIC_STATS): rewritten on every
// change, with the highest counts reached and the synths made so far.
#include "platform/fluidsynth/music_stats_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "platform/fluidsynth/music_synth.h"
#include "platform/music_stats.h"

namespace {

std::map<std::string, int> ReadCounts(const std::string& path) {
    std::map<std::string, int> counts;
    std::ifstream file(path);
    std::string key;
    int value = 0;
    while (file >> key >> value) {
        counts[key] = value;
    }
    return counts;
}

class MusicStatsFile : public ::testing::Test {
protected:
    void SetUp() override {
        path = (std::filesystem::temp_directory_path() /
                ("vup-music-stats-" + std::to_string(getpid())))
                   .string();
        setenv("VUP_MUSIC_STATS", path.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("VUP_MUSIC_STATS");
        std::filesystem::remove(path);
    }
    std::string path;
};

TEST_F(MusicStatsFile, FollowsEveryChangeWithPeaksAndSynthsMade) {
    const int synthsBefore = MusicLiveSynthCount();
    fluid_settings_t* settings = MusicNewSettings(44100);
    ASSERT_NE(settings, nullptr);
    fluid_synth_t* first = MusicNewSynth(settings);
    ASSERT_NE(first, nullptr);
    std::map<std::string, int> counts = ReadCounts(path);
    EXPECT_EQ(counts["synths"], synthsBefore + 1);
    EXPECT_EQ(counts["settings"], MusicLiveSettingsCount());

    MusicDeleteSynth(first);
    fluid_synth_t* second = MusicNewSynth(settings);
    fluid_synth_t* third = MusicNewSynth(settings);
    counts = ReadCounts(path);
    EXPECT_EQ(counts["synths"], synthsBefore + 2);
    EXPECT_EQ(counts["peak_synths"], synthsBefore + 2);
    const int madeWithThree = counts["synths_made"];

    MusicDeleteSynth(second);
    MusicDeleteSynth(third);
    MusicDeleteSettings(settings);
    counts = ReadCounts(path);
    EXPECT_EQ(counts["synths"], synthsBefore);
    EXPECT_EQ(counts["peak_synths"], synthsBefore + 2) << "the peak stays once reached";
    EXPECT_EQ(counts["synths_made"], madeWithThree) << "releases make nothing";
    EXPECT_GE(madeWithThree, 3);
}

TEST_F(MusicStatsFile, NothingIsWrittenWithoutTheVariable) {
    unsetenv("VUP_MUSIC_STATS");
    fluid_settings_t* settings = MusicNewSettings(44100);
    MusicDeleteSettings(settings);
    EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
