#include "smf_parser.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "smf_test_files.h"

namespace {

// Parses from a heap block of exactly the given length, so that the address
// sanitizer sees any read past it.
bool Parse(const SmfBytes& bytes, SmfSummary* summary, std::string* error,
           size_t length = SIZE_MAX) {
    if (length == SIZE_MAX) {
        length = bytes.size();
    }
    unsigned char* copy = static_cast<unsigned char*>(std::malloc(length == 0 ? 1 : length));
    if (length != 0) {
        std::memcpy(copy, bytes.data(), length);
    }
    const bool valid = ParseSmf(copy, length, summary, error);
    std::free(copy);
    return valid;
}

}  // namespace

TEST(SmfParser, ReadsAFormat0TuneWithRunningStatusSysexAndMeta) {
    SmfSummary summary;
    std::string error;
    ASSERT_TRUE(Parse(SimpleTune(), &summary, &error)) << error;
    EXPECT_EQ(summary.format, 0);
    EXPECT_EQ(summary.trackCount, 1);
    EXPECT_EQ(summary.division, 480);
    EXPECT_FALSE(summary.smpte);
    EXPECT_EQ(summary.ticksPerQuarter, 480u);
    EXPECT_EQ(summary.noteOns, 4u);
    EXPECT_EQ(summary.lengthTicks, 1920u);
    EXPECT_DOUBLE_EQ(summary.lengthSeconds, 2.0);
}

TEST(SmfParser, Format1LengthFollowsTheTempoMapAcrossTracksAndSkipsUnknownChunks) {
    // Tempo track: 120 bpm, then 240 bpm from tick 480, then 60 bpm from tick
    // 1440 (written in a second track, which the map must merge in).
    const SmfBytes file =
        Join({Header(1, 3, 480), Chunk("XYZW", {1, 2, 3}),
              Track({Tempo(0, 500000), Tempo(480, 250000), EndOfTrack(0)}),
              Track({Event(0, {0x90, 0x30, 0x40}), Event(1920, {0x80, 0x30, 0x00}), EndOfTrack(0)}),
              Track({Tempo(1440, 1000000), EndOfTrack(0)}), Chunk("XYZW", {})});
    SmfSummary summary;
    std::string error;
    ASSERT_TRUE(Parse(file, &summary, &error)) << error;
    EXPECT_EQ(summary.format, 1);
    EXPECT_EQ(summary.trackCount, 3);
    EXPECT_EQ(summary.tempoChanges, 3u);
    EXPECT_EQ(summary.lengthTicks, 1920u);
    // 480 ticks at 0.5 s, 960 at 0.25 s, 480 at 1 s per quarter.
    EXPECT_DOUBLE_EQ(summary.lengthSeconds, 0.5 + 0.5 + 1.0);
}

TEST(SmfParser, Format2PlaysItsPatternsOneAfterAnother) {
    const SmfBytes file = Join(
        {Header(2, 2, 96), Track({Tempo(0, 250000), EndOfTrack(96)}), Track({EndOfTrack(192)})});
    SmfSummary summary;
    std::string error;
    ASSERT_TRUE(Parse(file, &summary, &error)) << error;
    EXPECT_EQ(summary.lengthTicks, 288u);
    EXPECT_DOUBLE_EQ(summary.lengthSeconds, 0.25 + 1.0);
}

TEST(SmfParser, SmpteDivisionCountsFramesNotQuarterNotes) {
    // -25 frames per second, 40 ticks per frame: 1000 ticks a second.
    const SmfBytes file = Join({Header(0, 1, 0xE728), Track({Tempo(0, 100000), EndOfTrack(2500)})});
    SmfSummary summary;
    std::string error;
    ASSERT_TRUE(Parse(file, &summary, &error)) << error;
    EXPECT_TRUE(summary.smpte);
    EXPECT_EQ(summary.framesPerSecond, 25);
    EXPECT_EQ(summary.ticksPerFrame, 40);
    EXPECT_DOUBLE_EQ(summary.lengthSeconds, 2.5);
}

TEST(SmfParser, RefusesMalformedFilesSayingWhatAndWhere) {
    struct Case {
        const char* what;
        SmfBytes file;
        const char* message;
    };
    const SmfBytes end = EndOfTrack(0);
    const Case cases[] = {
        {"not a MIDI file", {'R', 'I', 'F', 'F', 0, 0, 0, 6}, "\"MThd\""},
        {"empty", {}, "\"MThd\""},
        {"short header", Join({Chunk("MThd", {0, 0, 0, 1}), Track({end})}), "shorter than 6"},
        {"format 3", Join({Header(3, 1, 96), Track({end})}), "format"},
        {"no tracks", Header(1, 0, 96), "no tracks"},
        {"format 0 with two tracks", Join({Header(0, 2, 96), Track({end}), Track({end})}),
         "exactly one track"},
        {"division 0", Join({Header(0, 1, 0), Track({end})}), "division is 0"},
        {"SMPTE at 23 fps", Join({Header(0, 1, 0xE90A), Track({end})}), "SMPTE"},
        {"fewer tracks than declared", Join({Header(1, 2, 96), Track({end})}), "before all"},
        {"more tracks than declared", Join({Header(1, 1, 96), Track({end}), Track({end})}),
         "more track chunks"},
        {"chunk past the end", Join({Header(0, 1, 96), SmfBytes{'M', 'T', 'r', 'k', 0, 0, 1, 0}}),
         "past the end of the file"},
        {"no end of track", Join({Header(0, 1, 96), Track({Event(0, {0x90, 1, 2})})}),
         "no end-of-track"},
        {"events after the end", Join({Header(0, 1, 96), Track({end, Event(0, {0x90, 1, 2})})}),
         "follow the end"},
        {"data byte first", Join({Header(0, 1, 96), Track({Event(0, {0x40, 0x40}), end})}),
         "no running status"},
        {"running status after a meta event",
         Join({Header(0, 1, 96), Track({Event(0, {0x90, 1, 2}), Event(0, {0xFF, 0x01, 0x00}),
                                        Event(0, {3, 4}), end})}),
         "no running status"},
        {"five-byte delta",
         Join({Header(0, 1, 96), Track({SmfBytes{0x81, 0x80, 0x80, 0x80, 0x00}, end})}),
         "longer than four bytes"},
        {"meta past the chunk",
         Join({Header(0, 1, 96), Track({Event(0, {0xFF, 0x01, 0x09, 'x'})})}),
         "meta event runs past"},
        {"tempo of two bytes",
         Join({Header(0, 1, 96), Track({Event(0, {0xFF, 0x51, 2, 1, 1}), end})}), "three bytes"},
        {"tempo of zero", Join({Header(0, 1, 96), Track({Tempo(0, 0), end})}), "0 microseconds"},
        {"end of track with data", Join({Header(0, 1, 96), Track({Event(0, {0xFF, 0x2F, 1, 0})})}),
         "carries data"},
        {"real-time byte", Join({Header(0, 1, 96), Track({Event(0, {0xF8}), end})}), "cannot hold"},
        {"high data byte", Join({Header(0, 1, 96), Track({Event(0, {0x90, 0x3C, 0x90}), end})}),
         "high bit"},
        {"sysex past the chunk", Join({Header(0, 1, 96), Track({Event(0, {0xF0, 0x05, 1})})}),
         "system-exclusive"},
    };
    for (const Case& c : cases) {
        SmfSummary summary;
        std::string error;
        EXPECT_FALSE(Parse(c.file, &summary, &error)) << c.what;
        EXPECT_NE(error.find(c.message), std::string::npos) << c.what << ": " << error;
        EXPECT_EQ(error.rfind("byte ", 0), 0u) << c.what << ": " << error;
    }
}

TEST(SmfParser, EveryTruncationIsRefusedWithoutReadingPastTheEnd) {
    const SmfBytes file = SimpleTune();
    for (size_t length = 0; length < file.size(); ++length) {
        SmfSummary summary;
        std::string error;
        EXPECT_FALSE(Parse(file, &summary, &error, length)) << length;
        EXPECT_FALSE(error.empty());
    }
}
