// The sound library as the recorder has it: silent while the pictures are
// made, since the audio track is rendered offline afterwards. It notes what
// the show asked for (mixing rate, tune, whether it was started) so that the
// offline render plays exactly the tune the show started, at its rate.
#pragma once

// The mixing rate the show initialised the library with; 0 before that.
int SilentMusicMixRate();

// The path of the last tune the show started playing, or empty when none
// was started (no tune loaded, or a null handle).
const char* SilentMusicStartedSong();
