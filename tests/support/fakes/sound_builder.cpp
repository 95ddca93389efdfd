#include "fakes/sound_builder.h"

#include <cstring>
#include <string>
#include <utility>

namespace {

void Set32(Bytes* out, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        (*out)[at + i] = static_cast<uint8_t>(value >> (8 * i));
    }
}
void PutName(Bytes* out, const std::string& name, size_t width) {
    for (size_t i = 0; i < width; ++i) {
        out->push_back(i < name.size() ? static_cast<uint8_t>(name[i]) : 0);
    }
}
void Append(Bytes* out, const Bytes& more) {
    out->insert(out->end(), more.begin(), more.end());
}
Bytes Chunk(const char* id, const Bytes& data) {
    Bytes out(id, id + 4);
    AppendLe32(&out, static_cast<uint32_t>(data.size()));
    Append(&out, data);
    if (data.size() & 1) {
        out.push_back(0);
    }
    return out;
}
Bytes List(const char* type, const std::vector<Bytes>& chunks) {
    Bytes data(type, type + 4);
    for (const Bytes& chunk : chunks) {
        Append(&data, chunk);
    }
    return Chunk("LIST", data);
}

struct Zone {
    std::vector<std::pair<uint16_t, uint16_t>> generators;  // operator, amount
    int modulators;
};

// The bag, modulator and generator lists of a run of headers' zones.
struct Zones {
    Bytes bags, modulators, generators;
    int bagCount = 0, modulatorCount = 0, generatorCount = 0;
    void Add(const Zone& zone) {
        AppendLe16(&bags, static_cast<uint32_t>(generatorCount));
        AppendLe16(&bags, static_cast<uint32_t>(modulatorCount));
        ++bagCount;
        for (int i = 0; i < zone.modulators; ++i) {
            // Velocity to attenuation, as fonts commonly carry.
            const uint8_t modulator[10] = {2, 5, 48, 0, 0xC0, 0x03, 0, 0, 0, 0};
            modulators.insert(modulators.end(), modulator, modulator + 10);
            ++modulatorCount;
        }
        for (auto [op, amount] : zone.generators) {
            AppendLe16(&generators, op);
            AppendLe16(&generators, amount);
            ++generatorCount;
        }
    }
    void Close() {
        AppendLe16(&bags, static_cast<uint32_t>(generatorCount));
        AppendLe16(&bags, static_cast<uint32_t>(modulatorCount));
        modulators.resize(modulators.size() + 10, 0);
        generators.resize(generators.size() + 4, 0);
    }
};

constexpr uint16_t kPan = 17, kInstrument = 41, kKeyRange = 43, kSampleId = 53;
constexpr uint32_t kFrames = 24, kSilence = 46;

Bytes PresetLists(const SoundFontShape& shape) {
    struct Preset {
        const char* name;
        uint16_t program, bank;
        std::vector<Zone> zones;
    };
    const std::vector<Preset> presets = {
        {"Piano", 0, 0, {{{{kInstrument, 0}}, 0}}},
        {"Strings", 1, 0, {{{{kPan, 100}}, 1}, {{{kKeyRange, 0x7F00}, {kInstrument, 1}}, 1}}},
        {"Bright strings", 1, 8, {{{{kInstrument, 0}}, 0}}},
        {"Kit", 0, 128, {{{{kInstrument, 2}}, 0}}},
        {"Unused", 5, 0, {{{{kInstrument, 3}}, 0}}},
    };
    Bytes phdr;
    Zones presetZones;
    for (const Preset& preset : presets) {
        PutName(&phdr, preset.name, 20);
        AppendLe16(&phdr, preset.program);
        AppendLe16(&phdr, preset.bank);
        AppendLe16(&phdr, static_cast<uint32_t>(presetZones.bagCount));
        phdr.resize(phdr.size() + 12, 0);
        for (const Zone& zone : preset.zones) {
            presetZones.Add(zone);
        }
    }
    PutName(&phdr, "EOP", 24);
    AppendLe16(&phdr, static_cast<uint32_t>(presetZones.bagCount));
    phdr.resize(phdr.size() + 12, 0);
    presetZones.Close();

    const std::vector<std::vector<Zone>> instruments = {
        {{{{kSampleId, 0}}, 0}},
        {{{{kPan, 0}}, 0}, {{{kSampleId, 1}}, 1}},
        {{{{kSampleId, 3}}, 0}},
        {{{{kSampleId, 4}}, 0}},
    };
    Bytes inst;
    Zones instrumentZones;
    for (size_t i = 0; i < instruments.size(); ++i) {
        PutName(&inst, "Instrument " + std::to_string(i), 20);
        AppendLe16(&inst, static_cast<uint32_t>(instrumentZones.bagCount));
        for (const Zone& zone : instruments[i]) {
            instrumentZones.Add(zone);
        }
    }
    PutName(&inst, "EOI", 20);
    AppendLe16(&inst, static_cast<uint32_t>(instrumentZones.bagCount));
    instrumentZones.Close();

    // Samples: mono, right (linked to 2), left (linked to 1), ROM, mono.
    const uint16_t types[] = {1, 2, 4, 0x8001, 1};
    const uint16_t links[] = {0, 2, 1, 0, 0};
    Bytes shdr;
    for (uint32_t i = 0; i < 5; ++i) {
        const uint32_t start = shape.declaredSampleBytes > 0 ? 0 : i * (kFrames + kSilence);
        const uint32_t end =
            shape.declaredSampleBytes > 0 ? shape.declaredSampleBytes / 2 : start + kFrames;
        PutName(&shdr, "Sample " + std::to_string(i), 20);
        AppendLe32(&shdr, start);
        AppendLe32(&shdr, end);
        AppendLe32(&shdr, start + 4);
        AppendLe32(&shdr, end - 4);
        AppendLe32(&shdr, 22050);
        shdr.push_back(60);
        shdr.push_back(0);
        AppendLe16(&shdr, links[i]);
        AppendLe16(&shdr, types[i]);
    }
    PutName(&shdr, "EOS", 46);
    return List("pdta",
                {Chunk("phdr", phdr), Chunk("pbag", presetZones.bags),
                 Chunk("pmod", presetZones.modulators), Chunk("pgen", presetZones.generators),
                 Chunk("inst", inst), Chunk("ibag", instrumentZones.bags),
                 Chunk("imod", instrumentZones.modulators),
                 Chunk("igen", instrumentZones.generators), Chunk("shdr", shdr)});
}

}  // namespace

Bytes MidiOfTracks(const std::vector<Bytes>& tracks) {
    Bytes file = {'M',  'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, static_cast<uint8_t>(tracks.size()),
                  0x01, 0xE0};
    for (Bytes track : tracks) {
        track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
        file.insert(file.end(), {'M', 'T', 'r', 'k', 0, 0, static_cast<uint8_t>(track.size() >> 8),
                                 static_cast<uint8_t>(track.size())});
        Append(&file, track);
    }
    return file;
}

Bytes BuildSoundFont(const SoundFontShape& shape) {
    Bytes smpl, sm24;
    for (uint32_t i = 0; i < 5; ++i) {
        for (uint32_t frame = 0; frame < kFrames + kSilence; ++frame) {
            AppendLe16(&smpl, frame < kFrames ? (i + 1) * 1000 + frame * 37 : 0);
            sm24.push_back(static_cast<uint8_t>(frame));
        }
    }
    Bytes version;
    AppendLe16(&version, 2);
    AppendLe16(&version, 1);
    const std::string name = shape.odd ? "Odd seed" : "Seeds";  // and a terminator: 9 or 6 bytes
    const Bytes info =
        List("INFO", {Chunk("ifil", version),
                      Chunk("INAM", Bytes(name.c_str(), name.c_str() + name.size() + 1))});
    std::vector<Bytes> samples = {Chunk("smpl", smpl)};
    if (shape.extraBits) {
        samples.push_back(Chunk("sm24", sm24));
    }
    const Bytes sdta = List("sdta", samples);
    const Bytes pdta = PresetLists(shape);

    Bytes body = {'s', 'f', 'b', 'k'};
    Append(&body, info);
    if (shape.declaredSampleBytes > 0) {
        // The sample data last, its sizes (and the file's) declared larger
        // than what follows.
        Append(&body, pdta);
        const size_t listAt = body.size();
        Append(&body, sdta);
        Set32(&body, listAt + 4, 4 + 8 + shape.declaredSampleBytes);
        Set32(&body, listAt + 16, shape.declaredSampleBytes);
        Bytes file = Chunk("RIFF", body);
        Set32(&file, 4, static_cast<uint32_t>(listAt + 12 + 8 + shape.declaredSampleBytes));
        return file;
    }
    Append(&body, sdta);
    if (shape.odd) {
        Append(&body, Chunk("junk", {1, 2, 3}));
    }
    Append(&body, pdta);
    return Chunk("RIFF", body);
}
