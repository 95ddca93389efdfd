#include <gtest/gtest.h>
#include <pthread.h>
#include <sched.h>

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

// The frame of `rendering` that `live` continues from its frame `liveFrame`
// on, looked up between frames `from` and `to` of the rendering; -1 when it is
// nowhere. The live player renders with the offline renderer's settings and
// plays that through the resampler that steers its speed, so once it is on
// the clock its output is the rendering from that position, but for the
// resampler's filtering and a slightly stretched time (0.8 frames over the
// window at 750 ppm): a match leaves a residue under 5 % of the window's energy.
int64_t PositionInRendering(const std::vector<int16_t>& rendering, const std::vector<int16_t>& live,
                            size_t liveFrame = 0, int64_t from = 0, int64_t to = INT64_MAX) {
    constexpr size_t kWindow = 2 * 1024;  // samples: 1,024 stereo frames
    const size_t start = liveFrame * 2;
    if (live.size() < start + kWindow) {
        return -1;
    }
    double energy = 0.0;
    for (size_t i = start; i < start + kWindow; ++i) {
        energy += static_cast<double>(live[i]) * live[i];
    }
    double best = 0.05 * energy;
    int64_t found = -1;
    const int64_t last =
        std::min<int64_t>(to, static_cast<int64_t>(rendering.size() - kWindow) / 2);
    for (int64_t at = std::max<int64_t>(from, 0); at <= last; ++at) {
        double residue = 0.0;
        for (size_t i = 0; i < kWindow && residue < best; ++i) {
            const double difference = static_cast<double>(live[start + i]) - rendering[at * 2 + i];
            residue += difference * difference;
        }
        if (residue < best) {
            best = residue;
            found = at;
        }
    }
    return found;
}

// Waits until the file holds some audio; the milliseconds clock then, within
// a millisecond of when the file output took its first frame: the wait runs
// above the song thread's real-time priority where the system allows, so the
// song thread filling its buffer does not hold it up.
uint32_t WaitForAudio(const std::string& path) {
    sched_param priority = {};
    priority.sched_priority = 20;
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &priority);
    for (int i = 0;
         i < 4000 && !(std::filesystem::exists(path) && std::filesystem::file_size(path) > 0);
         ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const uint32_t now = PlatformMilliseconds();
    priority.sched_priority = 0;
    pthread_setschedparam(pthread_self(), SCHED_OTHER, &priority);
    return now;
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

    // The four calls the show makes at every display open; play asked at
    // once, as the show asks it, or a while after the song is loaded.
    SongHandle StartUp(const std::string& path, bool playWhenLoaded = false) {
        FSOUND_Init(44100, 32, 2);
        SongHandle song = FMUSIC_LoadSong(path.c_str());
        FMUSIC_SetMasterVolume(song, 256);
        if (playWhenLoaded) {
            MusicWaitForLoader();
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
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

// The show started 40 s before its tune could sound: the tune's first frame
// is the show's time when it is heard, however long the loading took, and so
// is that of a re-opened display's song, which sounds within 300 ms (its play
// asked after it is loaded, which is at once).
TEST_F(LivePlayer, EverySongOfTheShowKeepsTheShowsTime) {
    std::vector<TestNote> scale;  // a new key every 50 ms: no two moments within 3 s alike
    for (int i = 0; i < 840; ++i) {
        scale.push_back({i * 0.05, 0.05, 36 + i % 60});
    }
    ASSERT_TRUE(WriteBytes(tunePath, MakeMidiFile(scale, 42.0)));
    std::vector<int16_t> rendering(static_cast<size_t>(42 * kRate) * 2);
    ASSERT_EQ(MusicRenderOffline(tunePath.c_str(), kRate, 42 * kRate, rendering.data()), 1);

    const uint32_t showStart = PlatformMilliseconds() - 40000;
    MusicSetShowStart(showStart);
    for (const bool reopened : {false, true}) {
        const char* open = reopened ? "a re-opened display" : "the first display";
        std::filesystem::remove(audioFile);
        const uint32_t asked = PlatformMilliseconds();
        StartUp(tunePath, reopened);
        const uint32_t heard = WaitForAudio(audioFile);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        // The file output's first frame is heard as it is written.
        const int64_t wanted = static_cast<int64_t>(heard - showStart) * kRate / 1000;
        const int64_t position = PositionInRendering(rendering, FileSamples(audioFile), 0,
                                                     wanted - kRate / 20, wanted + kRate / 20);
        ASSERT_GE(position, 0) << open << ": the live tune is not the rendering near "
                               << heard - showStart << " ms";
        EXPECT_NEAR(position * 1000.0 / kRate, heard - showStart, 10.0) << open;
        if (reopened) {
            EXPECT_LE(heard - asked, 300u) << open;
        }
    }
}

// An output whose clock runs 750 ppm fast, as a sound server's was seen to, is
// followed by a change of speed: a held note goes on without a gap (a
// correction by silence would leave one), and the song as heard stays within
// 10 ms of the clock.
TEST_F(LivePlayer, FollowsAFastOutputWithoutAGap) {
    constexpr double kPace = 1.00075;
    constexpr int kSeconds = 20;
    std::vector<TestNote> notes = {{0.0, kSeconds + 1.0, 43}};  // the held note
    for (int i = 0; i < (kSeconds + 1) * 40; ++i) {             // and a new key every 25 ms
        notes.push_back({i * 0.025, 0.025, 60 + i * 7 % 36});
    }
    ASSERT_TRUE(WriteBytes(tunePath, MakeMidiFile(notes, kSeconds + 2.0, kChurchOrgan)));
    std::vector<int16_t> rendering(static_cast<size_t>((kSeconds + 2) * kRate) * 2);
    ASSERT_EQ(MusicRenderOffline(tunePath.c_str(), kRate, (kSeconds + 2) * kRate, rendering.data()),
              1);

    setenv("VUP_AUDIO_FILE_PACE", "1.00075", 1);
    StartUp(tunePath);
    std::this_thread::sleep_for(std::chrono::seconds(kSeconds));
    MusicReleaseAll();
    unsetenv("VUP_AUDIO_FILE_PACE");
    const std::vector<int16_t> live = FileSamples(audioFile);
    const size_t frames = live.size() / 2;
    ASSERT_GT(frames, static_cast<size_t>((kSeconds - 1) * kRate));

    size_t quiet = 0;  // frames in a row with both channels at silence
    for (size_t frame = kRate / 10; frame < frames; ++frame) {
        const bool silent = std::abs(live[frame * 2]) <= 8 && std::abs(live[frame * 2 + 1]) <= 8;
        quiet = silent ? quiet + 1 : 0;
        ASSERT_LT(quiet, static_cast<size_t>(kRate / 500)) << "a gap at " << frame / kRate << " s";
    }
    // Frame k of the file is heard k / (rate * pace) s after its first frame.
    for (size_t frame = kRate / 10; frame + 1024 < frames; frame += kRate / 4) {
        const auto wanted = static_cast<int64_t>(frame / kPace);
        const int64_t position =
            PositionInRendering(rendering, live, frame, wanted - kRate / 20, wanted + kRate / 20);
        ASSERT_GE(position, 0) << "the song is lost at " << frame / kRate << " s";
        EXPECT_NEAR((position - wanted) * 1000.0 / kRate, 0.0, 10.0)
            << "at " << frame / kRate << " s";
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
