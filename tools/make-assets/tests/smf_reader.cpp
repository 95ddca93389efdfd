#include "smf_reader.h"

#include <algorithm>
#include <utility>

namespace {

uint32_t ReadBe(const std::vector<uint8_t>& bytes, size_t at, int count) {
    uint32_t v = 0;
    for (int i = 0; i < count; ++i) {
        v = (v << 8) | bytes[at + i];
    }
    return v;
}

bool Fail(ParsedSmf& smf, std::string message) {
    smf.ok = false;
    smf.error = std::move(message);
    return false;
}

int DataBytes(uint8_t status) {
    uint8_t kind = status & 0xF0;
    return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

bool ParseTrack(const std::vector<uint8_t>& file, size_t pos, size_t end, ParsedSmf& smf) {
    std::vector<ParsedEvent> events;
    uint32_t tick = 0;
    uint8_t running = 0;
    bool ended = false;
    while (pos < end) {
        if (ended) {
            return Fail(smf, "bytes after the end-of-track event");
        }
        uint32_t delta = 0;
        if (!ReadVlq(file, pos, end, delta) || pos >= end) {
            return Fail(smf, "truncated delta time");
        }
        tick += delta;
        ParsedEvent event;
        event.tick = tick;
        uint8_t first = file[pos];
        if (first == 0xFF) {
            if (pos + 2 > end) {
                return Fail(smf, "truncated meta event");
            }
            event.status = 0xFF;
            event.metaType = file[pos + 1];
            pos += 2;
            uint32_t length = 0;
            if (!ReadVlq(file, pos, end, length) || pos + length > end) {
                return Fail(smf, "meta event runs past its chunk");
            }
            event.data.assign(file.begin() + static_cast<long>(pos),
                              file.begin() + static_cast<long>(pos + length));
            pos += length;
            ended = event.metaType == 0x2F;
        } else if (first == 0xF0 || first == 0xF7) {
            return Fail(smf, "system exclusive events are not expected");
        } else {
            if (first & 0x80) {
                running = first;
                ++pos;
            } else if (running == 0) {
                return Fail(smf, "data byte without a status");
            }
            event.status = running;
            int count = DataBytes(running);
            if (pos + count > end) {
                return Fail(smf, "truncated channel event");
            }
            event.data.assign(file.begin() + static_cast<long>(pos),
                              file.begin() + static_cast<long>(pos + count));
            pos += count;
        }
        events.push_back(std::move(event));
    }
    if (!ended) {
        return Fail(smf, "track without an end-of-track event");
    }
    smf.tracks.push_back(std::move(events));
    return true;
}

}  // namespace

bool ReadVlq(const std::vector<uint8_t>& bytes, size_t& pos, size_t end, uint32_t& value) {
    value = 0;
    for (int i = 0; i < 4; ++i) {
        if (pos >= end) {
            return false;
        }
        uint8_t b = bytes[pos++];
        value = (value << 7) | (b & 0x7F);
        if ((b & 0x80) == 0) {
            return true;
        }
    }
    return false;
}

ParsedSmf ParseSmf(const std::vector<uint8_t>& file) {
    ParsedSmf smf;
    if (file.size() < 14 || !std::equal(file.begin(), file.begin() + 4, "MThd") ||
        ReadBe(file, 4, 4) != 6) {
        Fail(smf, "no 6-byte MThd chunk");
        return smf;
    }
    smf.format = static_cast<uint16_t>(ReadBe(file, 8, 2));
    smf.trackCount = static_cast<uint16_t>(ReadBe(file, 10, 2));
    smf.division = static_cast<uint16_t>(ReadBe(file, 12, 2));
    size_t pos = 14;
    while (pos < file.size()) {
        if (pos + 8 > file.size() ||
            !std::equal(file.begin() + static_cast<long>(pos),
                        file.begin() + static_cast<long>(pos + 4), "MTrk")) {
            Fail(smf, "expected an MTrk chunk");
            return smf;
        }
        size_t length = ReadBe(file, pos + 4, 4);
        size_t body = pos + 8;
        if (body + length > file.size()) {
            Fail(smf, "chunk length runs past the file");
            return smf;
        }
        if (!ParseTrack(file, body, body + length, smf)) {
            return smf;
        }
        pos = body + length;
    }
    if (smf.tracks.size() != smf.trackCount) {
        Fail(smf, "track count in the header differs from the chunks");
        return smf;
    }
    smf.ok = true;
    return smf;
}

double TickToSeconds(const ParsedSmf& smf, uint32_t tick) {
    std::vector<std::pair<uint32_t, uint32_t>> tempos;  // tick, microseconds per quarter
    for (const auto& track : smf.tracks) {
        for (const ParsedEvent& e : track) {
            if (e.status == 0xFF && e.metaType == 0x51 && e.data.size() == 3) {
                tempos.push_back({e.tick, ReadBe(e.data, 0, 3)});
            }
        }
    }
    std::sort(tempos.begin(), tempos.end());
    double seconds = 0.0;
    uint32_t at = 0;
    uint32_t tempo = 500000;
    for (const auto& [changeTick, value] : tempos) {
        if (changeTick >= tick) {
            break;
        }
        seconds += (changeTick - at) * tempo / 1e6 / smf.division;
        at = changeTick;
        tempo = value;
    }
    return seconds + (tick - at) * static_cast<double>(tempo) / 1e6 / smf.division;
}
