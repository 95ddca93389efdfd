// The audio track handed to the encoder: 16-bit stereo PCM in a WAV file.
#pragma once

#include <cstdint>
#include <string>

// Writes frameCount stereo frames (left, right interleaved). 1 on success; 0
// with a one-line reason in error.
int WriteWavFile(const std::string& path, int sampleRate, int64_t frameCount,
                 const int16_t* interleavedStereo, std::string* error);
