#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "midi_file_writer.h"
#include "platform/music_offline.h"
#include "platform/music_stats.h"
#include "skip_or_fail.h"

namespace {

constexpr int kRate = 44100;
constexpr const char* kSmallSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";

// Root-mean-square level of frames [first, first + count) of both channels.
double Level(const std::vector<int16_t>& samples, int64_t first, int64_t count) {
    double sum = 0.0;
    for (int64_t i = 2 * first; i < 2 * (first + count); ++i) {
        sum += static_cast<double>(samples[i]) * samples[i];
    }
    return std::sqrt(sum / static_cast<double>(2 * count));
}

// Audible content, well above any rounding noise of the reverb tail.
constexpr double kAudible = 50.0;

class OfflineRender : public ::testing::Test {
protected:
    void SetUp() override {
        directory = MakeTempDirectory();
        ASSERT_FALSE(directory.empty());
        const char* chosen = std::getenv("VUP_SOUNDFONT");
        hadSoundFont = chosen != nullptr;
        savedSoundFont = chosen != nullptr ? chosen : "";
        // The small font loads in a fraction of the time of the default one.
        if (!hadSoundFont && std::filesystem::exists(kSmallSoundFont)) {
            setenv("VUP_SOUNDFONT", kSmallSoundFont, 1);
        }
    }
    void TearDown() override {
        if (hadSoundFont) {
            setenv("VUP_SOUNDFONT", savedSoundFont.c_str(), 1);
        } else {
            unsetenv("VUP_SOUNDFONT");
        }
        std::filesystem::remove_all(directory);
        EXPECT_EQ(MusicLiveSynthCount(), 0);
        EXPECT_EQ(MusicLivePlayerCount(), 0);
        EXPECT_EQ(MusicLiveSettingsCount(), 0);
    }
    std::string WriteTune(const std::vector<TestNote>& notes, double endSeconds) {
        const std::string path = directory + "/tune.mid";
        EXPECT_TRUE(WriteBytes(path, MakeMidiFile(notes, endSeconds)));
        return path;
    }

    std::string directory;
    bool hadSoundFont = false;
    std::string savedSoundFont;
};

TEST_F(OfflineRender, ShortTuneLoopsSoEverySecondOfTheShowHasSound) {
    // Two seconds long, a note in each second: looping keeps it going.
    const std::string path = WriteTune({{0.0, 0.5, 60}, {1.0, 0.5, 67}}, 2.0);
    const int64_t frames = int64_t{86} * kRate;
    std::vector<int16_t> samples(static_cast<size_t>(2 * frames));
    ASSERT_EQ(MusicRenderOffline(path.c_str(), kRate, frames, samples.data()), 1);
    for (int second = 0; second < 86; ++second) {
        EXPECT_GT(Level(samples, int64_t{second} * kRate, kRate), kAudible) << "second " << second;
    }
}

TEST_F(OfflineRender, SongTimeFollowsTheSamplesRenderedNotTheWallClock) {
    // Silence, then one note at exactly 1.5 s of song time.
    const std::string path = WriteTune({{1.5, 0.5, 72}}, 3.0);
    const int64_t frames = 2 * kRate;
    std::vector<int16_t> samples(static_cast<size_t>(2 * frames));
    ASSERT_EQ(MusicRenderOffline(path.c_str(), kRate, frames, samples.data()), 1);
    // Until the note: exact silence. Rendering takes far less than 1.5 s of
    // wall time, so a wall-clock player would not have reached the note at all.
    const int64_t noteFrame = kRate * 3 / 2;
    EXPECT_EQ(Level(samples, 0, noteFrame - 256), 0.0);
    EXPECT_GT(Level(samples, noteFrame, kRate / 4), kAudible);
}

TEST_F(OfflineRender, SameTuneGivesTheSameSamples) {
    const std::string path = WriteTune({{0.0, 0.4, 48}, {0.3, 0.6, 64}, {0.6, 0.3, 71}}, 1.0);
    const int64_t frames = 3 * kRate;
    std::vector<int16_t> first(static_cast<size_t>(2 * frames));
    std::vector<int16_t> second(static_cast<size_t>(2 * frames), 1234);
    ASSERT_EQ(MusicRenderOffline(path.c_str(), kRate, frames, first.data()), 1);
    ASSERT_EQ(MusicRenderOffline(path.c_str(), kRate, frames, second.data()), 1);
    EXPECT_TRUE(first == second);
    EXPECT_GT(Level(first, 0, frames), kAudible);
}

TEST_F(OfflineRender, NothingToPlayGivesZeroAndSilence) {
    const std::string tune = WriteTune({{0.0, 1.0, 60}}, 1.0);
    const std::string notMidi = directory + "/not.mid";
    ASSERT_TRUE(WriteBytes(notMidi, std::vector<unsigned char>(64, 'x')));
    const int64_t frames = 4096;
    std::vector<int16_t> samples(static_cast<size_t>(2 * frames));

    struct Case {
        const char* what;
        const char* path;
        int rate;
    };
    const Case cases[] = {
        {"missing tune", "no/such/tune.mid", kRate},
        {"null path", nullptr, kRate},
        {"not a MIDI file", notMidi.c_str(), kRate},
        {"unusable rate", tune.c_str(), 0},
    };
    for (const Case& c : cases) {
        std::fill(samples.begin(), samples.end(), int16_t{7});
        EXPECT_EQ(MusicRenderOffline(c.path, c.rate, frames, samples.data()), 0) << c.what;
        EXPECT_EQ(Level(samples, 0, frames), 0.0) << c.what;
    }

    setenv("VUP_SOUNDFONT", (directory + "/missing.sf2").c_str(), 1);
    std::fill(samples.begin(), samples.end(), int16_t{7});
    EXPECT_EQ(MusicRenderOffline(tune.c_str(), kRate, frames, samples.data()), 0);
    EXPECT_EQ(Level(samples, 0, frames), 0.0);

    // A file that exists but is no SoundFont is no better.
    setenv("VUP_SOUNDFONT", notMidi.c_str(), 1);
    EXPECT_EQ(MusicRenderOffline(tune.c_str(), kRate, frames, samples.data()), 0);
}

TEST(ShippedTune, SoundsThroughTheWholeShow) {
    const char* path = "data/tulmor.mid";
    if (!std::filesystem::exists(path)) {
        VUP_SKIP_OR_FAIL("data/tulmor.mid is missing");
    }
    const int64_t frames = int64_t{85} * kRate;
    std::vector<int16_t> samples(static_cast<size_t>(2 * frames));
    ASSERT_EQ(MusicRenderOffline(path, kRate, frames, samples.data()), 1);
    // Rests are allowed, but no five-second stretch of the show is silent.
    for (int start = 0; start < 85; start += 5) {
        EXPECT_GT(Level(samples, int64_t{start} * kRate, int64_t{5} * kRate), kAudible)
            << "seconds " << start << " to " << start + 5;
    }
}

}  // namespace
