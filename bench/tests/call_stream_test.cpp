// The flat call streams the replay benchmark sends to GL: what goes in comes
// out bit for bit, and what cannot be replayed faithfully is refused.
#include "call_stream.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

static float FloatOf(uint32_t word) {
    float value;
    std::memcpy(&value, &word, sizeof value);
    return value;
}

static std::string TempPath() {
    char path[] = "/tmp/vup-call-stream-XXXXXX";
    const int fd = mkstemp(path);
    close(fd);
    return path;
}

TEST(CallStream, CallsKeepTheirArgumentsExactly) {
    CallStream stream;
    std::string error;
    const double third = static_cast<double>(1.0f / 3.0f);
    const double tiny = static_cast<double>(std::numeric_limits<float>::denorm_min());
    const double nan = std::numeric_limits<double>::quiet_NaN();
    ASSERT_TRUE(AppendCall(&stream, "glVertex3f", {third, -0.0, tiny}, &error)) << error;
    ASSERT_TRUE(AppendCall(&stream, "glNormal3f", {nan, 1e30f, -2.5}, &error)) << error;
    ASSERT_TRUE(AppendCall(&stream, "glBindTexture", {3553, 2}, &error)) << error;
    ASSERT_TRUE(AppendCall(&stream, "gluLookAt", {0.1, 0.2, 0.3, 1, 2, 3, 0, 1, 0}, &error))
        << error;
    ASSERT_TRUE(AppendCall(&stream, "glEnd", {}, &error)) << error;
    EXPECT_EQ(stream.callCount, 5u);
    ASSERT_EQ(stream.words.size(), 4u + 4u + 3u + 19u + 1u);

    EXPECT_EQ(stream.words[0], kOpVertex3f);
    EXPECT_EQ(FloatOf(stream.words[1]), 1.0f / 3.0f);
    EXPECT_TRUE(std::signbit(FloatOf(stream.words[2])));
    EXPECT_EQ(FloatOf(stream.words[3]), std::numeric_limits<float>::denorm_min());
    EXPECT_TRUE(std::isnan(FloatOf(stream.words[5])));
    EXPECT_EQ(stream.words[8], kOpBindTexture);
    EXPECT_EQ(stream.words[9], 3553u);
    EXPECT_EQ(stream.words[10], 2u);
    double eyeX;
    std::memcpy(&eyeX, &stream.words[12], sizeof eyeX);
    EXPECT_EQ(eyeX, 0.1);  // doubles keep all 64 bits
    EXPECT_EQ(stream.words.back(), kOpEnd);

    const std::string path = TempPath();
    ASSERT_TRUE(SaveCallStreams(path, {stream, CallStream{"empty", 0, {}}}, &error)) << error;
    std::vector<CallStream> loaded;
    ASSERT_TRUE(LoadCallStreams(path, &loaded, &error)) << error;
    ASSERT_EQ(loaded.size(), 2u);
    EXPECT_EQ(loaded[0].words, stream.words);
    EXPECT_EQ(loaded[0].callCount, 5u);
    EXPECT_EQ(loaded[1].name, "empty");
    unlink(path.c_str());
}

TEST(CallStream, WhatCannotBeReplayedFaithfullyIsRefused) {
    CallStream stream;
    std::string error;
    EXPECT_FALSE(AppendCall(&stream, "glColor4ub", {1, 2, 3, 4}, &error));
    EXPECT_FALSE(AppendCall(&stream, "glVertex3f", {1, 2}, &error));
    EXPECT_FALSE(AppendCall(&stream, "glVertex3f", {0.1, 0, 0}, &error));  // not a float
    EXPECT_FALSE(AppendCall(&stream, "glEnable", {-1}, &error));
    EXPECT_FALSE(AppendCall(&stream, "glEnable", {2.5}, &error));
    EXPECT_FALSE(AppendCall(&stream, "glBindTexture", {3553, 4}, &error));   // no such slot
    EXPECT_FALSE(AppendCall(&stream, "glBindTexture", {3553, -1}, &error));  // in no slot
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(stream.callCount, 0u);
    EXPECT_TRUE(stream.words.empty());
}

TEST(CallStream, DamagedStreamsAndFilesAreRefused) {
    std::string error;
    CallStream cut{"cut", 1, {kOpVertex3f, 0, 0}};
    EXPECT_FALSE(ValidateCallStream(cut, &error));
    CallStream unknown{"unknown", 1, {kOpCount}};
    EXPECT_FALSE(ValidateCallStream(unknown, &error));
    CallStream miscounted{"miscounted", 2, {kOpEnd}};
    EXPECT_FALSE(ValidateCallStream(miscounted, &error));
    CallStream badSlot{"slot", 1, {kOpBindTexture, 3553, 9}};
    EXPECT_FALSE(ValidateCallStream(badSlot, &error));

    CallStream good;
    ASSERT_TRUE(AppendCall(&good, "glTranslatef", {1, 2, 3}, &error));
    const std::string path = TempPath();
    ASSERT_TRUE(SaveCallStreams(path, {good}, &error));
    FILE* file = std::fopen(path.c_str(), "rb");
    std::vector<char> bytes(4096);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
    std::fclose(file);

    std::vector<CallStream> loaded;
    for (size_t length : {size_t{0}, size_t{5}, bytes.size() - 1}) {
        file = std::fopen(path.c_str(), "wb");
        std::fwrite(bytes.data(), 1, length, file);
        std::fclose(file);
        error.clear();
        EXPECT_FALSE(LoadCallStreams(path, &loaded, &error)) << "cut to " << length << " bytes";
        EXPECT_TRUE(loaded.empty());
        EXPECT_FALSE(error.empty());
    }
    bytes.push_back('x');  // trailing rubbish
    file = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    EXPECT_FALSE(LoadCallStreams(path, &loaded, &error));
    unlink(path.c_str());
    EXPECT_FALSE(LoadCallStreams(path, &loaded, &error));
}
