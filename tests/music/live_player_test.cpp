#include <gtest/gtest.h>

#include <algorithm>
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
#include "platform/music_offline.h"
#include "platform/music_stats.h"
#include "platform/platform.h"

namespace {

// Each start-up loads a SoundFont; the small one keeps twenty of them quick.
constexpr const char* kSmallSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";

// Root-mean-square level of a file of raw 16-bit samples; audible content
// lies well above this floor, the dither of silence (a level near 1) far below.
constexpr double kAudible = 50.0;

constexpr int kRate = 44100;

std::vector<int16_t> FileSamples(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                                  std::istreambuf_iterator<char>());
    std::vector<int16_t> samples(bytes.size() / sizeof(int16_t));
    std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(int16_t));
    return samples;
}

double FileLevel(const std::string& path) {
    const std::vector<int16_t> samples = FileSamples(path);
    if (samples.empty()) {
        return 0.0;
    }
    double sum = 0.0;
    for (int16_t sample : samples) {
        sum += static_cast<double>(sample) * sample;
    }
    return std::sqrt(sum / static_cast<double>(samples.size()));
}

// The frame of `rendering` from which `live` continues: the live player
// renders with the offline renderer's settings, so once it is on the clock
// its output is the rendering from that position, to within a unit of
// rounding. The start of `live` is looked up; -1 when it is nowhere.
int64_t PositionInRendering(const std::vector<int16_t>& rendering,
                            const std::vector<int16_t>& live) {
    constexpr size_t kWindow = 2 * 4096;  // samples: 4,096 stereo frames
    if (live.size() < kWindow) {
        return -1;
    }
    const auto near = [](int16_t a, int16_t b) { return std::abs(a - b) <= 1; };
    for (size_t at = 0; at + kWindow <= rendering.size(); at += 2) {
        if (std::equal(live.begin(), live.begin() + kWindow, rendering.begin() + at, near)) {
            return static_cast<int64_t>(at / 2);
        }
    }
    return -1;
}

// Waits until the file holds some audio; the milliseconds clock then.
uint32_t WaitForAudio(const std::string& path) {
    for (int i = 0;
         i < 2000 && !(std::filesystem::exists(path) && std::filesystem::file_size(path) > 0);
         ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return PlatformMilliseconds();
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

// The show started 3 s before its tune could sound: the tune sounds from 3 s
// in (plus the loading), as the schedule it was written to has it, and so
// does the song of a re-opened display, from wherever the show has got to.
TEST_F(LivePlayer, EverySongOfTheShowKeepsTheShowsTime) {
    std::vector<TestNote> scale;  // a new key every 50 ms: no two moments alike
    for (int i = 0; i < 120; ++i) {
        scale.push_back({i * 0.05, 0.05, 36 + i % 60});
    }
    ASSERT_TRUE(WriteBytes(tunePath, MakeMidiFile(scale, 6.0)));
    std::vector<int16_t> rendering(static_cast<size_t>(6 * kRate) * 2);
    ASSERT_EQ(MusicRenderOffline(tunePath.c_str(), kRate, 6 * kRate, rendering.data()), 1);

    const uint32_t showStart = PlatformMilliseconds() - 3000;
    MusicSetShowStart(showStart);
    for (const char* open : {"the first display", "a re-opened display"}) {
        std::filesystem::remove(audioFile);
        const uint32_t asked = PlatformMilliseconds();
        StartUp(tunePath);
        const uint32_t heard = WaitForAudio(audioFile);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        const int64_t position = PositionInRendering(rendering, FileSamples(audioFile));
        ASSERT_GE(position, 0) << open << ": the live tune is not the rendering";
        const double positionMs = position * 1000.0 / kRate;
        EXPECT_GE(positionMs, asked - showStart - 10.0) << open;
        EXPECT_LE(positionMs, heard - showStart + 10.0) << open;
    }
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

// A damaged SoundFont (cut short, as by a failed download) is found, fails to
// load, and leaves the show silent with a line saying so, never a crash.
TEST_F(LivePlayer, ADamagedSoundFontGivesSilenceAndSaysSo) {
    const char* font = std::getenv("VUP_SOUNDFONT");
    ASSERT_NE(font, nullptr);
    std::ifstream whole(font, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(whole)),
                            std::istreambuf_iterator<char>());
    bytes.resize(bytes.size() / 2);
    const std::string damaged = directory + "/damaged.sf2";
    ASSERT_TRUE(WriteBytes(damaged, std::vector<unsigned char>(bytes.begin(), bytes.end())));
    setenv("VUP_SOUNDFONT", damaged.c_str(), 1);

    testing::internal::CaptureStderr();
    EXPECT_NE(StartUp(tunePath), nullptr);
    MusicWaitForLoader();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(MusicSongIsPlaying(), 0);
    EXPECT_EQ(MusicLiveDriverCount(), 0);
    EXPECT_NE(said.find("vup: no music: the SoundFont " + damaged + " cannot be read"),
              std::string::npos)
        << said;
}

TEST_F(LivePlayer, NoSongWithoutAMixer) {
    MusicReleaseAll();
    EXPECT_EQ(FMUSIC_LoadSong(tunePath.c_str()), nullptr);
    EXPECT_EQ(FSOUND_Init(0, 32, 2), 0);
    EXPECT_EQ(FMUSIC_LoadSong(tunePath.c_str()), nullptr);
    EXPECT_EQ(MusicLiveSynthCount(), 0);
}

}  // namespace
