#include "platform/fluidsynth/music_soundfont_trim.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "fakes/sound_builder.h"
#include "midi_file_writer.h"
#include "platform/music_offline.h"
#include "skip_or_fail.h"

namespace {

constexpr const char* kSmallSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";
constexpr const char* kShowTune = "data/tulmor.mid";  // from the repository root

MusicTune TuneOf(std::vector<unsigned char> bytes) {
    auto* copy = static_cast<unsigned char*>(std::malloc(bytes.size()));
    std::copy(bytes.begin(), bytes.end(), copy);
    return {copy, bytes.size()};
}

std::vector<std::string> PresetsOf(std::vector<unsigned char> bytes) {
    MusicTune tune = TuneOf(std::move(bytes));
    MusicPreset presets[kMusicMostPresets];
    int count = 0;
    const bool read = MusicTunePresets(tune, presets, kMusicMostPresets, &count);
    MusicFreeTune(&tune);
    std::vector<std::string> names;
    for (int i = 0; read && i < count; ++i) {
        names.push_back(std::to_string(presets[i].bank) + ":" + std::to_string(presets[i].program));
    }
    if (!read) {
        names.push_back("unreadable");
    }
    return names;
}

// What each channel's events call for: a note before any program change
// plays program 0; a bank select adds that bank beside bank 0 (where the
// synth falls back to); channel 10 plays drum kits; a channel that changes
// program but never plays needs nothing; running status is followed.
TEST(TunePresets, EachChannelsProgramsUnderItsBanks) {
    EXPECT_EQ(PresetsOf(MidiOfTracks({
                  // Channel 1: a note, then program 5 (running status for the note off).
                  {0x00, 0x90, 60, 100, 0x10, 60, 0, 0x00, 0xC0, 5, 0x00, 0x90, 62, 90},
                  // Channel 2: bank 8, program 80 and a note; channel 3 only a program.
                  {0x00, 0xB1, 0, 8, 0x00, 0xC1, 80, 0x00, 0x91, 60, 100, 0x00, 0xC2, 33},
                  // Channel 10: a drum kit change and a hit, a meta event between.
                  {0x00, 0xC9, 25, 0x00, 0xFF, 0x01, 2, 'h', 'i', 0x00, 0x99, 36, 100},
              })),
              (std::vector<std::string>{"0:0", "0:5", "0:80", "8:80", "128:0", "128:25"}));
    EXPECT_EQ(PresetsOf({'M',  'T', 'h', 'd', 0,   0, 0, 6, 0, 1,    0,    1, 1,
                         0xE0, 'M', 'T', 'r', 'k', 0, 0, 0, 9, 0x00, 0x90, 60}),
              std::vector<std::string>{"unreadable"});
}

// The cut-down font plays the show's whole tune sample for sample as the
// whole font does, from a fraction of its size.
TEST(SoundFontTrim, TheTunePlaysTheSameFromTheCutDownFont) {
    if (!std::filesystem::exists(kSmallSoundFont)) {
        VUP_SKIP_OR_FAIL("TimGM6mb is not installed");
    }
    MusicTune tune;
    ASSERT_TRUE(MusicReadTune(kShowTune, &tune));
    MusicPreset presets[kMusicMostPresets];
    int count = 0;
    ASSERT_TRUE(MusicTunePresets(tune, presets, kMusicMostPresets, &count));
    MusicFreeTune(&tune);
    MusicFontImage image;
    ASSERT_TRUE(MusicTrimSoundFont(kSmallSoundFont, presets, count, &image));
    EXPECT_LT(image.size, std::filesystem::file_size(kSmallSoundFont) / 4);
    const std::string cut = MakeTempDirectory() + "/cut.sf2";
    ASSERT_TRUE(WriteBytes(cut, std::vector<unsigned char>(image.bytes, image.bytes + image.size)));
    MusicFreeFontImage(&image);

    constexpr int kRate = 44100;
    constexpr int64_t kFrames = int64_t{90} * kRate;  // the whole tune, into its loop
    std::vector<int16_t> whole(kFrames * 2), fromCut(kFrames * 2);
    setenv("VUP_SOUNDFONT", kSmallSoundFont, 1);
    ASSERT_EQ(MusicRenderOffline(kShowTune, kRate, kFrames, whole.data()), 1);
    setenv("VUP_SOUNDFONT", cut.c_str(), 1);
    ASSERT_EQ(MusicRenderOffline(kShowTune, kRate, kFrames, fromCut.data()), 1);
    unsetenv("VUP_SOUNDFONT");
    std::filesystem::remove_all(std::filesystem::path(cut).parent_path());
    EXPECT_TRUE(whole == fromCut);
}

// Sizes a font declares but does not hold are refused before anything is
// allocated or read for them: sample data past the file's end, sample
// headers whose lengths sum past what a 32-bit count holds (the cut-down
// font's size would wrap to a few bytes and its samples be read past it),
// and a list of 4 GB in a file of 1.6 KB. The process's data is capped at
// 1 GB meanwhile, so that asking for such a block fails the test.
TEST(SoundFontTrim, RefusesSizesTheFileDoesNotHold) {
    Bytes lyingList = BuildSoundFont({});
    const auto set32 = [&lyingList](size_t at, uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            lyingList[at + i] = static_cast<uint8_t>(value >> (8 * i));
        }
    };
    set32(4, 0xFFFFFF00u);   // the file's size
    set32(16, 0xF0000000u);  // its first list's: the information
    const std::vector<Bytes> fonts = {BuildSoundFont({.declaredSampleBytes = 4096}),
                                      BuildSoundFont({.declaredSampleBytes = 0xAAAAAA50u}),
                                      lyingList};
    const std::string dir = MakeTempDirectory();
    const std::string path = dir + "/lying.sf2";
    const MusicPreset presets[] = {{0, 0}, {0, 1}};
    rlimit data = {};
    ASSERT_EQ(getrlimit(RLIMIT_DATA, &data), 0);
    const rlimit capped = {std::min<rlim_t>(data.rlim_cur, rlim_t{1} << 30), data.rlim_max};
    for (size_t i = 0; i < fonts.size(); ++i) {
        ASSERT_TRUE(WriteBytes(path, fonts[i]));
        MusicFontImage image;
        ASSERT_EQ(setrlimit(RLIMIT_DATA, &capped), 0);
        const bool built = MusicTrimSoundFont(path.c_str(), presets, 2, &image);
        setrlimit(RLIMIT_DATA, &data);
        EXPECT_FALSE(built) << "font " << i;
        EXPECT_EQ(image.bytes, nullptr);
    }
    std::filesystem::remove_all(dir);
}

}  // namespace
