// Writes the seed corpus of the SoundFont and tune targets: small SoundFonts
// holding every kind of record the cutter follows (presets wanted and not,
// global zones, mono, stereo and ROM samples, with and without 24-bit data,
// an odd-sized name, a chunk it passes over) and small tunes with
// bank selects, running status, system exclusive and meta events.
//
// Usage: vup_sound_seeds SOUNDFONT_DIR TUNE_DIR
#include <cstdio>
#include <string>
#include <vector>

#include "fakes/sound_builder.h"

namespace {

bool Write(const std::string& path, const Bytes& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    const bool written =
        file != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return file != nullptr && std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s SOUNDFONT_DIR TUNE_DIR\n", argv[0]);
        return 2;
    }
    const std::string fonts = argv[1], tunes = argv[2];
    const std::vector<std::pair<std::string, Bytes>> seeds = {
        {fonts + "/plain.sf2", BuildSoundFont({})},
        {fonts + "/24-bit.sf2", BuildSoundFont({.extraBits = true})},
        {fonts + "/odd.sf2", BuildSoundFont({.extraBits = true, .odd = true})},
        {tunes + "/channels.mid",
         MidiOfTracks({{0x00, 0x90, 60, 100, 0x10, 60, 0, 0x00, 0xC0, 1, 0x00, 0x90, 62, 90},
                       {0x00, 0xB1, 0, 8, 0x00, 0xC1, 1, 0x00, 0x91, 60, 100, 0x00, 0xC2, 33},
                       {0x00, 0xC9, 0, 0x00, 0xFF, 0x01, 2, 'h', 'i', 0x00, 0x99, 36, 100}})},
        {tunes + "/exclusive.mid",
         MidiOfTracks({{0x00, 0xF0, 3, 0x7E, 0x09, 0xF7, 0x00, 0xB0, 0,    128 - 1, 0x81,
                        0x00, 0xC0, 5, 0x00, 0x90, 64,   1,    0x00, 0xF7, 1,       0}})},
    };
    for (const auto& [path, bytes] : seeds) {
        if (!Write(path, bytes)) {
            std::perror(path.c_str());
            return 1;
        }
    }
    return 0;
}
