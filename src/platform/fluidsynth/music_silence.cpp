#include "platform/fluidsynth/music_silence.h"

#include <atomic>
#include <cstdio>

void MusicSayWhySilent(MusicSilenceCause cause, const char* subject) {
    static std::atomic<bool> said[kMusicSilenceCauses];
    if (said[cause].exchange(true)) {
        return;
    }
    switch (cause) {
        case kMusicNoSoundFont:
            std::fputs(
                "vup: no music: no General MIDI SoundFont found; install "
                "timgm6mb-soundfont (or fluid-soundfont-gm), or set VUP_SOUNDFONT to a "
                ".sf2 file\n",
                stderr);
            break;
        case kMusicBadSoundFontChoice:
            std::fprintf(stderr,
                         "vup: no music: VUP_SOUNDFONT names %s, which is not a SoundFont; set "
                         "it to a .sf2 file, or unset it to use the system's\n",
                         subject);
            break;
        case kMusicUnreadableSoundFont:
            std::fprintf(stderr,
                         "vup: no music: the SoundFont %s cannot be read (a damaged file?); "
                         "set VUP_SOUNDFONT to another .sf2 file\n",
                         subject);
            break;
        case kMusicUnreadableTune:
            std::fprintf(stderr, "vup: no music: %s is missing or is not a MIDI file\n", subject);
            break;
        case kMusicUnplayableTune:
            std::fprintf(stderr, "vup: no music: %s cannot be played (a damaged MIDI file?)\n",
                         subject);
            break;
        case kMusicNoOutput:
            std::fprintf(stderr, "vup: no music: %s\n", subject);
            break;
        case kMusicSilenceCauses:
            break;
    }
}
