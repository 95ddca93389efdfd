#include "platform/fluidsynth/music_soundfont_trim.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/fluidsynth/music_soundfont_loader.h"

namespace {

// Record sizes of the preset data's lists, and the generators that point
// from one list into the next.
constexpr size_t kPresetBytes = 38;
constexpr size_t kBagBytes = 4;
constexpr size_t kModulatorBytes = 10;
constexpr size_t kGeneratorBytes = 4;
constexpr size_t kInstrumentBytes = 22;
constexpr size_t kSampleBytes = 46;
constexpr uint16_t kInstrumentGenerator = 41;
constexpr uint16_t kSampleGenerator = 53;
constexpr uint32_t kSilenceAfterSample = 46;  // frames, as the format asks
constexpr uint16_t kRomSample = 0x8000;

using Bytes = std::vector<unsigned char>;

uint16_t Get16(const unsigned char* at) {
    return static_cast<uint16_t>(at[0] | at[1] << 8);
}
uint32_t Get32(const unsigned char* at) {
    return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 |
           static_cast<uint32_t>(at[2]) << 16 | static_cast<uint32_t>(at[3]) << 24;
}
void Set16(unsigned char* at, uint32_t value) {
    at[0] = static_cast<unsigned char>(value);
    at[1] = static_cast<unsigned char>(value >> 8);
}
void Set32(unsigned char* at, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        at[i] = static_cast<unsigned char>(value >> (8 * i));
    }
}
void Append(Bytes* out, const unsigned char* from, size_t count) {
    out->insert(out->end(), from, from + count);
}

// The parts of the file the cut-down font is made from.
struct Font {
    std::FILE* file = nullptr;
    Bytes info;           // the INFO list's content, copied whole
    long samplesAt = -1;  // the smpl chunk's data: 16-bit frames
    uint32_t sampleBytes = 0;
    long extraBitsAt = -1;  // the optional sm24 chunk: a byte a frame
    uint32_t extraBitsBytes = 0;
    Bytes lists[9];  // phdr pbag pmod pgen inst ibag imod igen shdr
};

constexpr const char* kListNames[9] = {"phdr", "pbag", "pmod", "pgen", "inst",
                                       "ibag", "imod", "igen", "shdr"};
constexpr size_t kListRecord[9] = {kPresetBytes,    kBagBytes,        kModulatorBytes,
                                   kGeneratorBytes, kInstrumentBytes, kBagBytes,
                                   kModulatorBytes, kGeneratorBytes,  kSampleBytes};
enum { kPhdr, kPbag, kPmod, kPgen, kInst, kIbag, kImod, kIgen, kShdr };

bool ReadAt(std::FILE* file, long at, void* into, size_t count) {
    return std::fseek(file, at, SEEK_SET) == 0 && std::fread(into, 1, count, file) == count;
}

// The chunks inside a LIST, from `at` for `size` bytes: calls `found` with
// each chunk's id, data offset and size.
template <typename Found>
bool EachChunk(std::FILE* file, long at, uint32_t size, Found found) {
    const long end = at + static_cast<long>(size);
    while (at + 8 <= end) {
        unsigned char header[8];
        if (!ReadAt(file, at, header, 8)) {
            return false;
        }
        const uint32_t length = Get32(header + 4);
        if (at + 8 + static_cast<long>(length) > end || !found(header, at + 8, length)) {
            return false;
        }
        at += 8 + static_cast<long>(length + (length & 1));
    }
    return true;
}

bool ReadFont(Font* font) {
    // Sizes are only what the file says. Every chunk must lie within the
    // file as well as within its list, so that nothing is allocated, or laid
    // out, for data that is not there.
    unsigned char riff[12];
    if (std::fseek(font->file, 0, SEEK_END) != 0) {
        return false;
    }
    const long fileSize = std::ftell(font->file);
    if (fileSize < 12 || !ReadAt(font->file, 0, riff, 12) || std::memcmp(riff, "RIFF", 4) != 0 ||
        std::memcmp(riff + 8, "sfbk", 4) != 0) {
        return false;
    }
    const long riffEnd = std::min(8 + static_cast<long>(Get32(riff + 4)), fileSize);
    const auto list = [font](const unsigned char* header, long at, uint32_t size) {
        unsigned char type[4];
        if (std::memcmp(header, "LIST", 4) != 0 || size < 4) {
            return true;  // not a list: nothing the cut-down font needs
        }
        if (!ReadAt(font->file, at, type, 4)) {
            return false;
        }
        if (std::memcmp(type, "INFO", 4) == 0) {
            font->info.resize(size - 4);
            return ReadAt(font->file, at + 4, font->info.data(), size - 4);
        }
        if (std::memcmp(type, "sdta", 4) == 0) {
            return EachChunk(font->file, at + 4, size - 4,
                             [font](const unsigned char* chunk, long data, uint32_t length) {
                                 if (std::memcmp(chunk, "smpl", 4) == 0) {
                                     font->samplesAt = data;
                                     font->sampleBytes = length;
                                 } else if (std::memcmp(chunk, "sm24", 4) == 0) {
                                     font->extraBitsAt = data;
                                     font->extraBitsBytes = length;
                                 }
                                 return true;
                             });
        }
        if (std::memcmp(type, "pdta", 4) == 0) {
            return EachChunk(font->file, at + 4, size - 4,
                             [font](const unsigned char* chunk, long data, uint32_t length) {
                                 for (int i = 0; i < 9; ++i) {
                                     if (std::memcmp(chunk, kListNames[i], 4) == 0) {
                                         font->lists[i].resize(length);
                                         return ReadAt(font->file, data, font->lists[i].data(),
                                                       length);
                                     }
                                 }
                                 return true;
                             });
        }
        return true;
    };
    if (riffEnd < 12 || !EachChunk(font->file, 12, static_cast<uint32_t>(riffEnd - 12), list) ||
        font->samplesAt < 0) {
        return false;
    }
    // Every list whole, with its closing record, for the indices to hold.
    for (int i = 0; i < 9; ++i) {
        if (font->lists[i].size() < kListRecord[i] || font->lists[i].size() % kListRecord[i] != 0) {
            return false;
        }
    }
    return true;
}

// Old indices to new ones, assigned in order of first use.
struct IndexMap {
    std::vector<int> newIndex;
    std::vector<uint32_t> used;  // old indices, in new order
    explicit IndexMap(size_t count) : newIndex(count, -1) {}
    // -1 for an index out of range.
    int Map(uint32_t old) {
        if (old >= newIndex.size()) {
            return -1;
        }
        if (newIndex[old] < 0) {
            newIndex[old] = static_cast<int>(used.size());
            used.push_back(old);
        }
        return newIndex[old];
    }
};

size_t Count(const Font& font, int list) {
    return font.lists[list].size() / kListRecord[list] - 1;  // less the closing record
}

const unsigned char* Record(const Font& font, int list, size_t index) {
    return font.lists[list].data() + index * kListRecord[list];
}

// The zones [first, last) of a preset or an instrument, copied with their
// modulators and generators; generator `pointer` is mapped through `map`.
bool CopyZones(const Font& font, int bagList, int modList, int genList, uint32_t first,
               uint32_t last, uint16_t pointer, IndexMap* map, Bytes out[3]) {
    if (last < first || last > Count(font, bagList)) {
        return false;
    }
    for (uint32_t bag = first; bag < last; ++bag) {
        const unsigned char* zone = Record(font, bagList, bag);
        const unsigned char* next = Record(font, bagList, bag + 1);
        const uint32_t genFirst = Get16(zone), genLast = Get16(next);
        const uint32_t modFirst = Get16(zone + 2), modLast = Get16(next + 2);
        if (genLast < genFirst || genLast > Count(font, genList) || modLast < modFirst ||
            modLast > Count(font, modList)) {
            return false;
        }
        unsigned char newZone[kBagBytes];
        Set16(newZone, static_cast<uint32_t>(out[2].size() / kGeneratorBytes));
        Set16(newZone + 2, static_cast<uint32_t>(out[1].size() / kModulatorBytes));
        Append(&out[0], newZone, kBagBytes);
        Append(&out[1], Record(font, modList, modFirst), (modLast - modFirst) * kModulatorBytes);
        for (uint32_t gen = genFirst; gen < genLast; ++gen) {
            unsigned char generator[kGeneratorBytes];
            std::memcpy(generator, Record(font, genList, gen), kGeneratorBytes);
            if (Get16(generator) == pointer) {
                const int mapped = map->Map(Get16(generator + 2));
                if (mapped < 0) {
                    return false;
                }
                Set16(generator + 2, static_cast<uint32_t>(mapped));
            }
            Append(&out[2], generator, kGeneratorBytes);
        }
    }
    return true;
}

// A list's closing record: the name given, the counts of the next lists.
void Close(Bytes* list, size_t recordBytes, const char* name, size_t indexAt, size_t index) {
    const size_t at = list->size();
    list->resize(at + recordBytes, 0);
    if (name != nullptr) {
        std::memcpy(list->data() + at, name, std::strlen(name));
    }
    if (indexAt > 0) {
        Set16(list->data() + at + indexAt, static_cast<uint32_t>(index));
    }
}

void CloseZones(Bytes lists[3]) {
    unsigned char zone[kBagBytes];
    Set16(zone, static_cast<uint32_t>(lists[2].size() / kGeneratorBytes));
    Set16(zone + 2, static_cast<uint32_t>(lists[1].size() / kModulatorBytes));
    Append(&lists[0], zone, kBagBytes);
    lists[1].resize(lists[1].size() + kModulatorBytes, 0);
    lists[2].resize(lists[2].size() + kGeneratorBytes, 0);
}

bool Wanted(const unsigned char* preset, const MusicPreset* presets, int count) {
    for (int i = 0; i < count; ++i) {
        if (Get16(preset + 22) == presets[i].bank && Get16(preset + 20) == presets[i].program) {
            return true;
        }
    }
    return false;
}

void PutChunk(Bytes* out, const char* id, const Bytes& data) {
    unsigned char header[8];
    std::memcpy(header, id, 4);
    Set32(header + 4, static_cast<uint32_t>(data.size()));
    Append(out, header, 8);
    Append(out, data.data(), data.size());
    if (data.size() & 1) {
        out->push_back(0);
    }
}

Bytes List(const char* type, const Bytes& content) {
    Bytes list(type, type + 4);
    Append(&list, content.data(), content.size());
    return list;
}

}  // namespace

bool MusicTrimSoundFont(const char* path, const MusicPreset* presets, int count,
                        MusicFontImage* image) {
    image->bytes = nullptr;
    image->size = 0;
    Font font;
    font.file = path != nullptr ? std::fopen(path, "rb") : nullptr;
    if (font.file == nullptr) {
        return false;
    }
    bool built = ReadFont(&font);

    // Presets, and the instruments they use.
    Bytes presetLists[4];  // phdr, then pbag pmod pgen
    IndexMap instruments(built ? Count(font, kInst) : 0);
    for (size_t preset = 0; built && preset < Count(font, kPhdr); ++preset) {
        const unsigned char* header = Record(font, kPhdr, preset);
        if (!Wanted(header, presets, count)) {
            continue;
        }
        const size_t at = presetLists[0].size();
        Append(&presetLists[0], header, kPresetBytes);
        Set16(presetLists[0].data() + at + 24,
              static_cast<uint32_t>(presetLists[1].size() / kBagBytes));
        built = CopyZones(font, kPbag, kPmod, kPgen, Get16(header + 24),
                          Get16(Record(font, kPhdr, preset + 1) + 24), kInstrumentGenerator,
                          &instruments, presetLists + 1);
    }
    built = built && !presetLists[0].empty();

    // The instruments, and the samples they use.
    Bytes instrumentLists[4];  // inst, then ibag imod igen
    IndexMap samples(built ? Count(font, kShdr) : 0);
    for (size_t i = 0; built && i < instruments.used.size(); ++i) {
        const uint32_t old = instruments.used[i];
        const unsigned char* header = Record(font, kInst, old);
        const size_t at = instrumentLists[0].size();
        Append(&instrumentLists[0], header, kInstrumentBytes);
        Set16(instrumentLists[0].data() + at + 20,
              static_cast<uint32_t>(instrumentLists[1].size() / kBagBytes));
        built = CopyZones(font, kIbag, kImod, kIgen, Get16(header + 20),
                          Get16(Record(font, kInst, old + 1) + 20), kSampleGenerator, &samples,
                          instrumentLists + 1);
    }

    // The samples, their stereo partners too: their headers now, laid out
    // one after another with the silence after each; their data later,
    // straight into the finished file.
    struct Piece {
        uint32_t from;  // first frame in the font
        uint32_t count;
    };
    std::vector<Piece> pieces;
    Bytes headers;
    uint32_t frames = 0;
    for (size_t i = 0; built && i < samples.used.size(); ++i) {
        unsigned char header[kSampleBytes];
        std::memcpy(header, Record(font, kShdr, samples.used[i]), kSampleBytes);
        const uint16_t type = Get16(header + 44);
        if (type & (2 | 4 | 8)) {  // right, left or linked: its partner comes too
            const int partner = samples.Map(Get16(header + 42));
            Set16(header + 42, static_cast<uint32_t>(partner < 0 ? 0 : partner));
        }
        const uint32_t start = Get32(header + 20), end = Get32(header + 24);
        if (!(type & kRomSample)) {
            // Headers may share their data, so the sum is bounded too: the
            // cut-down font's samples are never more than the font's own.
            // (Fonts that share more are loaded whole.)
            const uint64_t after = uint64_t{frames} + (end - start) + kSilenceAfterSample;
            const uint64_t most =
                font.sampleBytes / 2 + (pieces.size() + 1) * uint64_t{kSilenceAfterSample};
            if (end < start || uint64_t{end} * 2 > font.sampleBytes || after > most ||
                after * 2 > UINT32_MAX) {
                built = false;
                break;
            }
            for (int field : {20, 24, 28, 32}) {  // start, end, loop start, loop end
                Set32(header + field, Get32(header + field) - start + frames);
            }
            pieces.push_back({start, end - start});
            frames = static_cast<uint32_t>(after);
        }
        Append(&headers, header, kSampleBytes);
    }
    if (!built) {
        std::fclose(font.file);
        return false;
    }

    // The preset data, closed.
    Close(&presetLists[0], kPresetBytes, "EOP", 24, presetLists[1].size() / kBagBytes);
    CloseZones(presetLists + 1);
    Close(&instrumentLists[0], kInstrumentBytes, "EOI", 20, instrumentLists[1].size() / kBagBytes);
    CloseZones(instrumentLists + 1);
    Close(&headers, kSampleBytes, "EOS", 0, 0);
    Bytes presetData = {'p', 'd', 't', 'a'};
    const Bytes* pdta[9] = {&presetLists[0],     &presetLists[1],     &presetLists[2],
                            &presetLists[3],     &instrumentLists[0], &instrumentLists[1],
                            &instrumentLists[2], &instrumentLists[3], &headers};
    for (int i = 0; i < 9; ++i) {
        PutChunk(&presetData, kListNames[i], *pdta[i]);
    }

    // The file: RIFF sfbk { LIST INFO, LIST sdta { smpl [sm24] }, LIST pdta }.
    const bool extra = font.extraBitsAt >= 0;
    const uint32_t extraBytes = extra ? frames + (frames & 1) : 0;
    const Bytes info = List("INFO", font.info);
    const size_t sampleList = 4 + 8 + size_t{frames} * 2 + (extra ? 8 + extraBytes : 0);
    const size_t size =
        12 + 8 + info.size() + (info.size() & 1) + 8 + sampleList + 8 + presetData.size();
    image->bytes = static_cast<unsigned char*>(std::calloc(size, 1));
    built = image->bytes != nullptr;
    unsigned char* out = image->bytes;
    const auto put = [&out](const void* from, size_t bytes) {
        std::memcpy(out, from, bytes);
        out += bytes;
    };
    const auto putHeader = [&out, &put](const char* id, size_t length) {
        put(id, 4);
        Set32(out, static_cast<uint32_t>(length));
        out += 4;
    };
    if (built) {
        putHeader("RIFF", size - 8);
        put("sfbk", 4);
        putHeader("LIST", info.size());
        put(info.data(), info.size());
        out += info.size() & 1;
        putHeader("LIST", sampleList);
        put("sdta", 4);
        putHeader("smpl", size_t{frames} * 2);
    }
    unsigned char* sampleAt = out;
    for (const Piece& piece : pieces) {
        built = built && !MusicSoundFontLoadsAbandoned() &&
                ReadAt(font.file, font.samplesAt + static_cast<long>(piece.from) * 2, out,
                       size_t{piece.count} * 2);
        out += (piece.count + kSilenceAfterSample) * 2;
    }
    out = sampleAt + size_t{frames} * 2;
    if (built && extra) {
        putHeader("sm24", frames);
        unsigned char* bits = out;
        for (const Piece& piece : pieces) {
            built = built && (uint64_t{piece.from} + piece.count > font.extraBitsBytes ||
                              ReadAt(font.file, font.extraBitsAt + static_cast<long>(piece.from),
                                     bits, piece.count));
            bits += piece.count + kSilenceAfterSample;
        }
        out += extraBytes;
    }
    if (built) {
        putHeader("LIST", presetData.size());
        put(presetData.data(), presetData.size());
        image->size = size;
    }
    std::fclose(font.file);
    if (!built) {
        MusicFreeFontImage(image);
    }
    return built;
}

void MusicFreeFontImage(MusicFontImage* image) {
    std::free(image->bytes);
    image->bytes = nullptr;
    image->size = 0;
}
