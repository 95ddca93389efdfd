#include "tune_notation.h"

#include <cstdlib>
#include <string>

int KeyOf(std::string_view name) {
    static const int kLetterSemitones[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (name.size() < 2 || name[0] < 'A' || name[0] > 'G') {
        return -1;
    }
    int semitone = kLetterSemitones[name[0] - 'A'];
    size_t pos = 1;
    if (name[pos] == '#') {
        ++semitone;
        ++pos;
    } else if (name[pos] == 'b') {
        --semitone;
        ++pos;
    }
    if (pos + 1 != name.size() || name[pos] < '0' || name[pos] > '9') {
        return -1;
    }
    return (name[pos] - '0' + 1) * 12 + semitone;
}

uint32_t AddMelody(MidiTrack& track, uint32_t tick, int channel, std::string_view melody,
                   int velocity, int transpose) {
    size_t pos = 0;
    while (pos < melody.size()) {
        size_t end = melody.find(' ', pos);
        if (end == std::string_view::npos) {
            end = melody.size();
        }
        std::string_view word = melody.substr(pos, end - pos);
        pos = end + 1;
        size_t colon = word.find(':');
        if (word.empty() || colon == std::string_view::npos) {
            continue;
        }
        int sixteenths = std::atoi(std::string(word.substr(colon + 1)).c_str());
        uint32_t length = static_cast<uint32_t>(sixteenths) * kSixteenth;
        std::string_view pitch = word.substr(0, colon);
        int key = KeyOf(pitch);
        if (pitch != "r" && key >= 0 && length > 0) {
            bool onBeat = tick % (4 * kSixteenth) == 0;
            AddNote(track, tick, length * 9 / 10, channel, key + transpose,
                    velocity + (onBeat ? 8 : 0));
        }
        tick += length;
    }
    return tick;
}

Chord ChordOf(std::string_view name) {
    if (name == "F") {
        return {41, {57, 60, 65}};
    }
    if (name == "C") {
        return {36, {55, 60, 64}};
    }
    if (name == "G") {
        return {43, {55, 59, 62}};
    }
    if (name == "E") {
        return {40, {56, 59, 64}};
    }
    if (name == "Dm") {
        return {38, {57, 62, 65}};
    }
    if (name == "Em") {
        return {40, {55, 59, 64}};
    }
    return {45, {57, 60, 64}};  // Am, the home chord
}
