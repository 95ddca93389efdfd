#include "platform/fluidsynth/music_soundfont_loader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "platform/fluidsynth/music_soundfont.h"
#include "platform/fluidsynth/music_synth.h"
#include "skip_or_fail.h"

namespace {

constexpr const char* kSmallSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";

class SoundFontLoader : public ::testing::Test {
protected:
    void SetUp() override {
        // The small font when it is there: each test loads one.
        if (std::filesystem::exists(kSmallSoundFont)) {
            std::snprintf(path, sizeof path, "%s", kSmallSoundFont);
        } else if (!MusicFindSoundFont(path, sizeof path)) {
            VUP_SKIP_OR_FAIL("no SoundFont installed");
        }
        settings = MusicNewSettings(44100);
        synth = MusicNewSynth(settings);
        ASSERT_NE(synth, nullptr);
    }
    void TearDown() override {
        MusicAbandonSoundFontLoads(false);
        MusicDeleteSynth(synth);
        MusicDeleteSettings(settings);
    }

    char path[4096] = {};
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
};

TEST_F(SoundFontLoader, LoadsTheInstruments) {
    ASSERT_TRUE(MusicLoadSoundFont(settings, synth, path));
    EXPECT_EQ(fluid_synth_sfcount(synth), 1);
}

// FluidSynth falls back to its own loader when ours fails; an abandoned load
// must not quietly become a full load through that back door.
TEST_F(SoundFontLoader, AnAbandonedLoadLeavesTheSynthEmpty) {
    MusicAbandonSoundFontLoads(true);
    EXPECT_FALSE(MusicLoadSoundFont(settings, synth, path));
    EXPECT_EQ(fluid_synth_sfcount(synth), 0);

    MusicAbandonSoundFontLoads(false);
    EXPECT_TRUE(MusicLoadSoundFont(settings, synth, path));
}

TEST_F(SoundFontLoader, MissingFileOrNoSynthFails) {
    EXPECT_FALSE(MusicLoadSoundFont(settings, synth, "/no/such/font.sf2"));
    EXPECT_FALSE(MusicLoadSoundFont(settings, nullptr, path));
    EXPECT_FALSE(MusicLoadSoundFont(settings, synth, nullptr));
    EXPECT_EQ(fluid_synth_sfcount(synth), 0);
}

}  // namespace
