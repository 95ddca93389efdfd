#include "smf_writer.h"

#include <gtest/gtest.h>

#include "smf_reader.h"

namespace {

std::vector<uint8_t> Vlq(uint32_t value) {
    std::vector<uint8_t> out;
    AppendVlq(out, value);
    return out;
}

TEST(SmfWriter, VariableLengthQuantitiesUseSevenBitGroups) {
    EXPECT_EQ(Vlq(0x00), (std::vector<uint8_t>{0x00}));
    EXPECT_EQ(Vlq(0x40), (std::vector<uint8_t>{0x40}));
    EXPECT_EQ(Vlq(0x7F), (std::vector<uint8_t>{0x7F}));
    EXPECT_EQ(Vlq(0x80), (std::vector<uint8_t>{0x81, 0x00}));
    EXPECT_EQ(Vlq(0x2000), (std::vector<uint8_t>{0xC0, 0x00}));
    EXPECT_EQ(Vlq(0x3FFF), (std::vector<uint8_t>{0xFF, 0x7F}));
    EXPECT_EQ(Vlq(0x4000), (std::vector<uint8_t>{0x81, 0x80, 0x00}));
    EXPECT_EQ(Vlq(0x1FFFFF), (std::vector<uint8_t>{0xFF, 0xFF, 0x7F}));
    EXPECT_EQ(Vlq(0x200000), (std::vector<uint8_t>{0x81, 0x80, 0x80, 0x00}));
    EXPECT_EQ(Vlq(0x0FFFFFFF), (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0x7F}));
    // Too large for four bytes: clamped, never a fifth byte.
    EXPECT_EQ(Vlq(0xFFFFFFFF), (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0x7F}));
}

TEST(SmfWriter, ChunksDeclareTheirExactLengths) {
    MidiTrack conductor;
    AddTempo(conductor, 0, 416667);
    AddMarker(conductor, 1920, "Drive");
    MidiTrack notes;
    AddProgramChange(notes, 0, 3, 38);
    AddNote(notes, 0, 200, 3, 45, 100);
    AddNote(notes, 20000, 480, 9, 36, 110);  // a delta needing three bytes
    std::vector<uint8_t> file = EncodeSmf(480, {conductor, notes}, 30000);

    ASSERT_GE(file.size(), 14u);
    EXPECT_EQ((std::vector<uint8_t>(file.begin(), file.begin() + 14)),
              (std::vector<uint8_t>{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 2, 0x01, 0xE0}));
    ParsedSmf smf = ParseSmf(file);
    ASSERT_TRUE(smf.ok) << smf.error;
    ASSERT_EQ(smf.tracks.size(), 2u);
    for (const auto& track : smf.tracks) {
        EXPECT_EQ(track.back().metaType, 0x2F);
        EXPECT_EQ(track.back().tick, 30000u);
    }
    const auto& tempo = smf.tracks[0][0];
    EXPECT_EQ(tempo.metaType, 0x51);
    EXPECT_EQ(tempo.data, (std::vector<uint8_t>{0x06, 0x5B, 0x9B}));
    EXPECT_EQ(std::string(smf.tracks[0][1].data.begin(), smf.tracks[0][1].data.end()), "Drive");
    EXPECT_EQ(smf.tracks[0][1].tick, 1920u);
    EXPECT_NEAR(TickToSeconds(smf, 1920), 1920 * 416667 / 480 / 1e6, 1e-9);

    MidiTrack lone;
    AddNote(lone, 0, 10, 0, 60, 90);
    std::vector<uint8_t> single = EncodeSmf(96, {lone}, 0);
    EXPECT_EQ(single[9], 0);  // one track: format 0
    ParsedSmf parsedSingle = ParseSmf(single);
    ASSERT_TRUE(parsedSingle.ok) << parsedSingle.error;
    EXPECT_EQ(parsedSingle.tracks[0].back().tick, 10u);  // never ends before its last note
}

TEST(SmfWriter, EventsComeOutInTimeOrderWithReleasesBeforeRepeats) {
    MidiTrack track;
    AddNote(track, 480, 480, 0, 64, 90);  // added out of order
    AddNote(track, 0, 480, 0, 64, 80);    // same key, ends as the next starts
    AddController(track, 480, 0, 11, 100);
    std::vector<uint8_t> file = EncodeSmf(480, {MidiTrack{}, track}, 0);
    ParsedSmf smf = ParseSmf(file);
    ASSERT_TRUE(smf.ok) << smf.error;
    const auto& events = smf.tracks[1];
    ASSERT_EQ(events.size(), 6u);
    EXPECT_EQ(events[0].tick, 0u);
    EXPECT_EQ(events[0].status, 0x90);
    EXPECT_EQ(events[0].data[1], 80);
    EXPECT_EQ(events[1].status, 0xB0);  // controller before the notes at 480
    EXPECT_EQ(events[2].status, 0x80);  // the first note is released...
    EXPECT_EQ(events[3].status, 0x90);  // ...before the repeat starts
    EXPECT_EQ(events[3].tick, 480u);
    EXPECT_EQ(events[4].status, 0x80);
    EXPECT_EQ(events[4].tick, 960u);
}

TEST(SmfWriter, ChannelAndDataBytesStayInRange) {
    MidiTrack track;
    AddNote(track, 0, 10, 20, 200, 300);
    AddProgramChange(track, 0, -1, 128);
    std::vector<uint8_t> file = EncodeSmf(480, {MidiTrack{}, track}, 0);
    ParsedSmf smf = ParseSmf(file);
    ASSERT_TRUE(smf.ok) << smf.error;
    for (const ParsedEvent& e : smf.tracks[1]) {
        if (e.status == 0xFF) {
            continue;
        }
        for (uint8_t b : e.data) {
            EXPECT_LT(b, 0x80);
        }
    }
    EXPECT_EQ(smf.tracks[1][0].status, 0xC0);  // channel clamped to 0
    EXPECT_EQ(smf.tracks[1][1].status, 0x9F);  // channel clamped to 15
}

TEST(SmfWriter, ZeroLengthAndSilentNotesStillStartBeforeTheyEnd) {
    MidiTrack track;
    AddNote(track, 100, 0, 0, 60, 0);
    ParsedSmf smf = ParseSmf(EncodeSmf(480, {MidiTrack{}, track}, 0));
    ASSERT_TRUE(smf.ok) << smf.error;
    const auto& events = smf.tracks[1];
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].status, 0x90);
    EXPECT_GT(events[0].data[1], 0);  // velocity 0 would be a release
    EXPECT_EQ(events[1].status, 0x80);
    EXPECT_GT(events[1].tick, events[0].tick);
}

}  // namespace
