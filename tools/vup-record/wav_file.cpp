#include "wav_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

static void PutLittleEndian(std::vector<uint8_t>* out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out->push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

int WriteWavFile(const std::string& path, int sampleRate, int64_t frameCount,
                 const int16_t* interleavedStereo, std::string* error) {
    constexpr int kChannels = 2;
    constexpr int kBytesPerSample = 2;
    const uint64_t dataBytes = static_cast<uint64_t>(frameCount) * kChannels * kBytesPerSample;
    if (frameCount < 0 || dataBytes > 0xFFFFFFFFull - 36) {
        *error = "audio too long for a WAV file";
        return 0;
    }

    std::vector<uint8_t> bytes;
    bytes.reserve(44 + dataBytes);
    bytes.insert(bytes.end(), {'R', 'I', 'F', 'F'});
    PutLittleEndian(&bytes, static_cast<uint32_t>(36 + dataBytes), 4);
    bytes.insert(bytes.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    PutLittleEndian(&bytes, 16, 4);  // format chunk size
    PutLittleEndian(&bytes, 1, 2);   // PCM
    PutLittleEndian(&bytes, kChannels, 2);
    PutLittleEndian(&bytes, static_cast<uint32_t>(sampleRate), 4);
    PutLittleEndian(&bytes, static_cast<uint32_t>(sampleRate * kChannels * kBytesPerSample), 4);
    PutLittleEndian(&bytes, kChannels * kBytesPerSample, 2);
    PutLittleEndian(&bytes, 8 * kBytesPerSample, 2);
    bytes.insert(bytes.end(), {'d', 'a', 't', 'a'});
    PutLittleEndian(&bytes, static_cast<uint32_t>(dataBytes), 4);
    // Samples go out little-endian whatever the host's byte order.
    for (int64_t i = 0; i < frameCount * kChannels; ++i) {
        PutLittleEndian(&bytes, static_cast<uint16_t>(interleavedStereo[i]), 2);
    }

    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        *error = "cannot write " + path + ": " + std::strerror(errno);
        return 0;
    }
    const size_t wrote = std::fwrite(bytes.data(), 1, bytes.size(), file);
    const int closed = std::fclose(file);
    if (wrote != bytes.size() || closed != 0) {
        *error = "cannot write " + path + ": " + std::strerror(errno);
        std::remove(path.c_str());
        return 0;
    }
    return 1;
}
