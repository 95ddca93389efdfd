#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "wav_file.h"

static uint32_t LittleEndian(const std::vector<uint8_t>& bytes, size_t at, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value = value << 8 | bytes[at + static_cast<size_t>(i)];
    }
    return value;
}

TEST(WavFile, HeaderDescribes16BitStereoAndSamplesFollowLittleEndian) {
    const int16_t samples[] = {1, -1, 0x1234, -32768, 32767, 0};
    const std::string path = testing::TempDir() + "vup-record-wav-test.wav";
    std::string error;
    ASSERT_EQ(WriteWavFile(path, 44100, 3, samples, &error), 1) << error;
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
    std::remove(path.c_str());

    ASSERT_EQ(bytes.size(), 44u + 12u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
    EXPECT_EQ(LittleEndian(bytes, 4, 4), 36u + 12u);
    EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(LittleEndian(bytes, 20, 2), 1u);           // PCM
    EXPECT_EQ(LittleEndian(bytes, 22, 2), 2u);           // stereo
    EXPECT_EQ(LittleEndian(bytes, 24, 4), 44100u);       // rate
    EXPECT_EQ(LittleEndian(bytes, 28, 4), 44100u * 4u);  // bytes per second
    EXPECT_EQ(LittleEndian(bytes, 32, 2), 4u);           // bytes per frame
    EXPECT_EQ(LittleEndian(bytes, 34, 2), 16u);
    EXPECT_EQ(std::string(bytes.begin() + 36, bytes.begin() + 40), "data");
    EXPECT_EQ(LittleEndian(bytes, 40, 4), 12u);
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(static_cast<int16_t>(LittleEndian(bytes, 44 + 2 * i, 2)), samples[i]) << i;
    }
}

TEST(WavFile, UnwritablePathIsReported) {
    const int16_t samples[2] = {0, 0};
    std::string error;
    EXPECT_EQ(WriteWavFile("/nonexistent-folder/x.wav", 44100, 1, samples, &error), 0);
    EXPECT_NE(error.find("/nonexistent-folder/x.wav"), std::string::npos) << error;
}
