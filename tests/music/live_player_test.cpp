#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "midi_file_writer.h"
#include "platform/music.h"
#include "platform/music_stats.h"

namespace {

// Each start-up loads a SoundFont; the small one keeps twenty of them quick.
constexpr const char* kSmallSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";

// Root-mean-square level of a file of raw 16-bit samples; audible content
// lies well above this floor, the dither of silence (a level near 1) far below.
constexpr double kAudible = 50.0;

double FileLevel(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                                  std::istreambuf_iterator<char>());
    const size_t count = bytes.size() / sizeof(int16_t);
    if (count == 0) {
        return 0.0;
    }
    std::vector<int16_t> samples(count);
    std::memcpy(samples.data(), bytes.data(), count * sizeof(int16_t));
    double sum = 0.0;
    for (int16_t sample : samples) {
        sum += static_cast<double>(sample) * sample;
    }
    return std::sqrt(sum / static_cast<double>(count));
}

class LivePlayer : public ::testing::Test {
protected:
    void SetUp() override {
        directory = MakeTempDirectory();
        ASSERT_FALSE(directory.empty());
        tunePath = directory + "/tune.mid";
        ASSERT_TRUE(WriteBytes(tunePath, MakeMidiFile({{0.0, 0.5, 60}, {0.5, 0.5, 64}}, 1.0)));
        const char* chosen = std::getenv("VUP_SOUNDFONT");
        hadSoundFont = chosen != nullptr;
        savedSoundFont = chosen != nullptr ? chosen : "";
        UseTestSoundFont();
        // The audio output every machine has: a file instead of a sound card.
        audioFile = directory + "/output.raw";
        setenv("VUP_AUDIO_FILE", audioFile.c_str(), 1);
    }
    void UseTestSoundFont() {
        if (!hadSoundFont && std::filesystem::exists(kSmallSoundFont)) {
            setenv("VUP_SOUNDFONT", kSmallSoundFont, 1);
        } else if (hadSoundFont) {
            setenv("VUP_SOUNDFONT", savedSoundFont.c_str(), 1);
        } else {
            unsetenv("VUP_SOUNDFONT");
        }
    }
    void TearDown() override {
        MusicReleaseAll();
        EXPECT_EQ(MusicLiveSynthCount(), 0);
        EXPECT_EQ(MusicLivePlayerCount(), 0);
        EXPECT_EQ(MusicLiveDriverCount(), 0);
        EXPECT_EQ(MusicLiveSettingsCount(), 0);
        unsetenv("VUP_AUDIO_FILE");
        if (hadSoundFont) {
            setenv("VUP_SOUNDFONT", savedSoundFont.c_str(), 1);
        } else {
            unsetenv("VUP_SOUNDFONT");
        }
        std::filesystem::remove_all(directory);
    }

    // The four calls the show makes at every display open.
    SongHandle StartUp(const std::string& path) {
        FSOUND_Init(44100, 32, 2);
        SongHandle song = FMUSIC_LoadSong(path.c_str());
        FMUSIC_SetMasterVolume(song, 256);
        FMUSIC_PlaySong(song);
        return song;
    }

    std::string directory;
    std::string tunePath;
    std::string audioFile;
    bool hadSoundFont = false;
    std::string savedSoundFont;
};

TEST_F(LivePlayer, PlayAskedAfterLoadingStillStarts) {
    ASSERT_EQ(FSOUND_Init(44100, 32, 2), 1);
    SongHandle song = FMUSIC_LoadSong(tunePath.c_str());
    ASSERT_NE(song, nullptr);
    MusicWaitForLoader();
    EXPECT_EQ(MusicSongIsPlaying(), 0);
    EXPECT_EQ(FMUSIC_SetMasterVolume(song, 128), 1);
    EXPECT_EQ(FMUSIC_PlaySong(song), 1);
    EXPECT_EQ(MusicSongIsPlaying(), 1);
    EXPECT_EQ(MusicLiveDriverCount(), 1);
    // The tune's first notes reach the audio output.
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    MusicReleaseAll();
    EXPECT_GT(FileLevel(audioFile), kAudible);
}

TEST_F(LivePlayer, RepeatedStartUpsKeepExactlyOneCopyOfTheTune) {
    SongHandle previous = nullptr;
    for (int open = 0; open < 20; ++open) {
        SongHandle song = StartUp(tunePath);
        ASSERT_NE(song, nullptr) << "open " << open;
        EXPECT_NE(song, previous) << "open " << open;
        // The song of an earlier open is gone: its handle is refused.
        if (previous != nullptr) {
            EXPECT_EQ(FMUSIC_PlaySong(previous), 0) << "open " << open;
            EXPECT_EQ(FMUSIC_SetMasterVolume(previous, 256), 0) << "open " << open;
        }
        previous = song;
        // This open's synth may still be in the making; the earlier ones are gone.
        EXPECT_LE(MusicLiveSynthCount(), 1) << "open " << open;
        EXPECT_LE(MusicLivePlayerCount(), 1) << "open " << open;
        EXPECT_LE(MusicLiveDriverCount(), 1) << "open " << open;
    }
    MusicWaitForLoader();
    EXPECT_EQ(MusicSongIsPlaying(), 1);
    EXPECT_EQ(MusicLiveSynthCount(), 1);
    EXPECT_EQ(MusicLivePlayerCount(), 1);
    EXPECT_EQ(MusicLiveDriverCount(), 1);
    EXPECT_EQ(MusicLiveSettingsCount(), 1);
}

TEST_F(LivePlayer, MissingTuneGivesNullAndNullIsRefused) {
    ASSERT_EQ(FSOUND_Init(44100, 32, 2), 1);
    EXPECT_EQ(FMUSIC_LoadSong((directory + "/missing.mid").c_str()), nullptr);
    EXPECT_EQ(FMUSIC_LoadSong(nullptr), nullptr);
    const std::string notMidi = directory + "/not.mid";
    ASSERT_TRUE(WriteBytes(notMidi, std::vector<unsigned char>(100, 0)));
    EXPECT_EQ(FMUSIC_LoadSong(notMidi.c_str()), nullptr);
    EXPECT_EQ(FMUSIC_SetMasterVolume(nullptr, 256), 0);
    EXPECT_EQ(FMUSIC_PlaySong(nullptr), 0);
    EXPECT_EQ(MusicLiveSynthCount(), 0);
    EXPECT_EQ(MusicSongIsPlaying(), 0);
}

TEST_F(LivePlayer, MissingSoundFontGivesNullAndSilence) {
    setenv("VUP_SOUNDFONT", (directory + "/missing.sf2").c_str(), 1);
    SongHandle song = StartUp(tunePath);
    EXPECT_EQ(song, nullptr);
    EXPECT_EQ(MusicLiveSynthCount(), 0);
    EXPECT_EQ(MusicSongIsPlaying(), 0);
    // Once the instruments are back, the next open plays again.
    UseTestSoundFont();
    EXPECT_NE(StartUp(tunePath), nullptr);
}

TEST_F(LivePlayer, NoSongWithoutAMixer) {
    MusicReleaseAll();
    EXPECT_EQ(FMUSIC_LoadSong(tunePath.c_str()), nullptr);
    EXPECT_EQ(FSOUND_Init(0, 32, 2), 0);
    EXPECT_EQ(FMUSIC_LoadSong(tunePath.c_str()), nullptr);
    EXPECT_EQ(MusicLiveSynthCount(), 0);
}

}  // namespace
