// The recording's sound: the tune the show started, rendered offline and cut
// to the recorded frames.
#pragma once

#include <cstdint>
#include <string>

// Writes the audio that plays with frames [firstFrame, endFrame) at fps as a
// WAV file. The live show starts its tune inside the first display open, at
// show time 0 as far as its clock can tell, so sample 0 of the tune belongs
// to show time 0 and frame N's instant N / fps to sample N * rate / fps. The
// tune and rate are the ones InitScene asked the sound library for; with no
// tune started, or no way to render it, the track is silent (with a warning
// on stderr). 1 on success; 0 with a one-line reason when the file cannot be
// written.
int WriteAudioTrack(const std::string& wavPath, int fps, int64_t firstFrame, int64_t endFrame,
                    std::string* error);
