// Saying why the tune is silent: one line on stderr naming the cause and
// what fixes it, so that a viewer who hears nothing knows where to look. The
// show itself plays on either way.
#pragma once

enum MusicSilenceCause {
    kMusicNoSoundFont,          // none in the usual places
    kMusicBadSoundFontChoice,   // VUP_SOUNDFONT names something else; subject: that name
    kMusicUnreadableSoundFont,  // the font could not be loaded; subject: its path
    kMusicUnreadableTune,       // subject: the tune's path
    kMusicUnplayableTune,       // the player could not read it; subject: the tune's path
    kMusicNoOutput,             // subject: what was missing
    kMusicSilenceCauses
};

// Prints the cause's line, once per run: every re-open of the display meets
// the same cause again.
void MusicSayWhySilent(MusicSilenceCause cause, const char* subject);
