#include "call_stream.h"

#include <cmath>
#include <cstdio>
#include <cstring>

struct GlOpInfo {
    const char* name;
    const char* arguments;
};

static const GlOpInfo kOpInfo[kOpCount] = {
    {"glClear", "u"},        {"glLoadIdentity", ""},
    {"glEnable", "u"},       {"glDisable", "u"},
    {"glTranslatef", "fff"}, {"glRotatef", "ffff"},
    {"glPushMatrix", ""},    {"glPopMatrix", ""},
    {"glBegin", "u"},        {"glEnd", ""},
    {"glVertex3f", "fff"},   {"glNormal3f", "fff"},
    {"glTexCoord2f", "ff"},  {"glBindTexture", "us"},
    {"glLightfv", "uuffff"}, {"gluLookAt", "ddddddddd"},
};

static constexpr int kTextureSlots = 4;
static const char kFileMagic[8] = {'V', 'U', 'P', 'C', 'A', 'L', 'L', '1'};

const char* GlOpName(GlOp op) {
    return op < kOpCount ? kOpInfo[op].name : "?";
}

const char* GlOpArguments(GlOp op) {
    return op < kOpCount ? kOpInfo[op].arguments : "";
}

GlOp GlOpNamed(const std::string& name) {
    for (uint32_t op = 0; op < kOpCount; ++op) {
        if (name == kOpInfo[op].name) {
            return static_cast<GlOp>(op);
        }
    }
    return kOpCount;
}

static size_t WordsOfArguments(const char* kinds) {
    size_t words = 0;
    for (const char* kind = kinds; *kind; ++kind) {
        words += *kind == 'd' ? 2 : 1;
    }
    return words;
}

static bool IsWholeNumberBelow(double value, double limit) {
    return value >= 0.0 && value < limit && std::floor(value) == value;
}

bool AppendCall(CallStream* stream, const std::string& name, const std::vector<double>& args,
                std::string* error) {
    const GlOp op = GlOpNamed(name);
    if (op == kOpCount) {
        *error = "no replay for " + name;
        return false;
    }
    const char* kinds = kOpInfo[op].arguments;
    if (args.size() != std::strlen(kinds)) {
        *error = name + " with an unexpected number of arguments";
        return false;
    }
    std::vector<uint32_t> words = {op};
    for (size_t i = 0; i < args.size(); ++i) {
        const double value = args[i];
        switch (kinds[i]) {
            case 'u':
                if (!IsWholeNumberBelow(value, 4294967296.0)) {
                    *error = name + " with an argument that is not a 32-bit unsigned value";
                    return false;
                }
                words.push_back(static_cast<uint32_t>(value));
                break;
            case 's':
                if (!IsWholeNumberBelow(value, kTextureSlots)) {
                    *error = name + " of a texture that is in no slot";
                    return false;
                }
                words.push_back(static_cast<uint32_t>(value));
                break;
            case 'f': {
                const float narrow = static_cast<float>(value);
                // NaN compares unequal to itself; its bits still round-trip.
                if (static_cast<double>(narrow) != value && !std::isnan(value)) {
                    *error = name + " with an argument that is not a float";
                    return false;
                }
                uint32_t bits;
                std::memcpy(&bits, &narrow, sizeof bits);
                words.push_back(bits);
                break;
            }
            default: {  // 'd'
                uint32_t halves[2];
                std::memcpy(halves, &value, sizeof halves);
                words.push_back(halves[0]);
                words.push_back(halves[1]);
                break;
            }
        }
    }
    stream->words.insert(stream->words.end(), words.begin(), words.end());
    ++stream->callCount;
    return true;
}

bool ValidateCallStream(const CallStream& stream, std::string* error) {
    size_t at = 0;
    uint32_t calls = 0;
    while (at < stream.words.size()) {
        const uint32_t op = stream.words[at];
        if (op >= kOpCount) {
            *error = stream.name + ": unknown opcode at word " + std::to_string(at);
            return false;
        }
        const size_t size = 1 + WordsOfArguments(kOpInfo[op].arguments);
        if (stream.words.size() - at < size) {
            *error = stream.name + ": the last call is cut short";
            return false;
        }
        if (op == kOpBindTexture && stream.words[at + 2] >= kTextureSlots) {
            *error = stream.name + ": a bind of texture slot out of range";
            return false;
        }
        at += size;
        ++calls;
    }
    if (calls != stream.callCount) {
        *error = stream.name + ": the call count does not match the words";
        return false;
    }
    return true;
}

static bool WriteAll(FILE* file, const void* data, size_t bytes) {
    return bytes == 0 || std::fwrite(data, 1, bytes, file) == bytes;
}

static bool ReadAll(FILE* file, void* data, size_t bytes) {
    return bytes == 0 || std::fread(data, 1, bytes, file) == bytes;
}

bool SaveCallStreams(const std::string& path, const std::vector<CallStream>& streams,
                     std::string* error) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        *error = "cannot write " + path;
        return false;
    }
    bool ok = WriteAll(file, kFileMagic, sizeof kFileMagic);
    const uint32_t count = static_cast<uint32_t>(streams.size());
    ok = ok && WriteAll(file, &count, sizeof count);
    for (const CallStream& stream : streams) {
        const uint32_t header[3] = {static_cast<uint32_t>(stream.name.size()), stream.callCount,
                                    static_cast<uint32_t>(stream.words.size())};
        ok = ok && WriteAll(file, header, sizeof header) &&
             WriteAll(file, stream.name.data(), stream.name.size()) &&
             WriteAll(file, stream.words.data(), stream.words.size() * sizeof(uint32_t));
    }
    ok = (std::fclose(file) == 0) && ok;
    if (!ok) {
        *error = "cannot write " + path;
    }
    return ok;
}

bool LoadCallStreams(const std::string& path, std::vector<CallStream>* streams,
                     std::string* error) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        *error = "cannot read " + path;
        return false;
    }
    streams->clear();
    char magic[sizeof kFileMagic];
    uint32_t count = 0;
    bool ok = ReadAll(file, magic, sizeof magic) &&
              std::memcmp(magic, kFileMagic, sizeof magic) == 0 &&
              ReadAll(file, &count, sizeof count);
    // Sizes are bounded so that a damaged file cannot ask for gigabytes.
    constexpr uint32_t kMostWords = 1u << 24;
    for (uint32_t i = 0; ok && i < count; ++i) {
        uint32_t header[3];
        CallStream stream;
        ok = ReadAll(file, header, sizeof header) && header[0] <= 256 && header[2] <= kMostWords;
        if (ok) {
            stream.name.resize(header[0]);
            stream.callCount = header[1];
            stream.words.resize(header[2]);
            ok = ReadAll(file, stream.name.data(), header[0]) &&
                 ReadAll(file, stream.words.data(), header[2] * sizeof(uint32_t)) &&
                 ValidateCallStream(stream, error);
        }
        if (ok) {
            streams->push_back(std::move(stream));
        }
    }
    ok = ok && std::fgetc(file) == EOF;
    std::fclose(file);
    if (!ok) {
        if (error->empty()) {
            *error = path + " is not a call stream file";
        }
        streams->clear();
    }
    return ok;
}
