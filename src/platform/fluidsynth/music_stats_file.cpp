#include "platform/fluidsynth/music_stats_file.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/music_stats.h"

namespace {

struct PublishedCounts {
    int peakSettings;
    int peakSynths;
    int peakPlayers;
    int peakDrivers;
    int lastSynths;
    int synthsMade;
};

PublishedCounts published = {};

const char* StatsPath() {
    const char* value = std::getenv("VUP_MUSIC_STATS");
    return value != nullptr && value[0] != '\0' ? value : nullptr;
}

int Max(int a, int b) {
    return a > b ? a : b;
}

}  // namespace

void MusicPublishStats() {
    const char* path = StatsPath();
    if (path == nullptr) {
        return;
    }
    const int settings = MusicLiveSettingsCount();
    const int synths = MusicLiveSynthCount();
    const int players = MusicLivePlayerCount();
    const int drivers = MusicLiveDriverCount();
    published.peakSettings = Max(published.peakSettings, settings);
    published.peakSynths = Max(published.peakSynths, synths);
    published.peakPlayers = Max(published.peakPlayers, players);
    published.peakDrivers = Max(published.peakDrivers, drivers);
    if (synths > published.lastSynths) {
        published.synthsMade += synths - published.lastSynths;
    }
    published.lastSynths = synths;

    // Written aside and renamed over the file, so a reader never sees half of it.
    const std::string temporary = std::string(path) + ".tmp";
    FILE* file = std::fopen(temporary.c_str(), "w");
    if (file == nullptr) {
        return;
    }
    std::fprintf(file,
                 "settings %d\nsynths %d\nplayers %d\ndrivers %d\n"
                 "peak_settings %d\npeak_synths %d\npeak_players %d\npeak_drivers %d\n"
                 "synths_made %d\n",
                 settings, synths, players, drivers, published.peakSettings, published.peakSynths,
                 published.peakPlayers, published.peakDrivers, published.synthsMade);
    if (std::fclose(file) == 0) {
        std::rename(temporary.c_str(), path);
    } else {
        std::remove(temporary.c_str());
    }
}
