// Where the live tune's samples go: a PulseAudio server, an ALSA device, or
// a file. Every output takes interleaved stereo floats at the mixing rate and
// says how long a frame written now takes to be heard, so that the player
// can put each note where the show's clock wants it.
#pragma once

struct MusicOutput;

// Opens the first output that works: the file VUP_AUDIO_FILE names when that
// is set (raw 16-bit stereo samples, written at the pace a sound card would
// take them), otherwise PulseAudio, otherwise ALSA's default device. Null when
// none does; `why` then names what was missing.
MusicOutput* MusicOpenOutput(int sampleRate, const char** why);

// Queues `count` frames, waiting while the output is full. False when the
// output has failed (its server went away); the tune then stays silent.
bool MusicOutputWrite(MusicOutput* output, const float* frames, int count);

// Seconds from now until the next frame written would be heard; negative
// when the output has run on without frames and is that far past them (it
// then drops what comes too late, and the song stays on its timeline).
double MusicOutputDelay(MusicOutput* output);

// Drops what the output holds unheard, so that the next frame written is
// heard as soon as the output can play it (the show's clock moved).
void MusicOutputDrop(MusicOutput* output);

void MusicCloseOutput(MusicOutput* output);

// Audio that comes late is heard as late, so the threads that render and
// hand over the tune ask for a real-time priority where the system grants
// one (sound servers do the same); elsewhere they run as they are.
void MusicPreferRealTime();
