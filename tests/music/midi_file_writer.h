// Writes small Standard MIDI Files for the player's tests.
#pragma once

#include <string>
#include <vector>

struct TestNote {
    double startSeconds;
    double lengthSeconds;
    int key;  // MIDI key number, 60 = middle C
};

constexpr int kPiano = 0;
constexpr int kChurchOrgan = 19;  // sounds as long as its key is held

// A one-track file at 120 beats per minute: a General MIDI `program` (an
// acoustic grand piano by default) on channel 0 playing `notes` at full
// velocity, ending at `endSeconds`.
std::vector<unsigned char> MakeMidiFile(const std::vector<TestNote>& notes, double endSeconds,
                                        int program = kPiano);

// Writes bytes to `path`; false when the file cannot be written.
bool WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes);

// A fresh directory under the system's temporary directory.
std::string MakeTempDirectory();
