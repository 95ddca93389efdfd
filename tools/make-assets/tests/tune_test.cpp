#include "tune.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "smf_reader.h"

namespace {

struct NoteOn {
    double seconds;
    int channel;
    int key;
};

// What part a General MIDI program plays here, by its family of eight.
std::string RoleOfProgram(int program) {
    switch (program / 8) {
        case 4:
            return "bass";
        case 6:   // ensembles and choirs
        case 11:  // synth pads
            return "harmony";
        case 10:
            return "lead";
        default:
            return "other";
    }
}

class TuneTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { smf = new ParsedSmf(ParseSmf(ComposeTune())); }
    static void TearDownTestSuite() {
        delete smf;
        smf = nullptr;
    }

    static std::vector<NoteOn> NoteOns() {
        std::vector<NoteOn> notes;
        for (const auto& track : smf->tracks) {
            for (const ParsedEvent& e : track) {
                if ((e.status & 0xF0) == 0x90 && e.data[1] > 0) {
                    notes.push_back({TickToSeconds(*smf, e.tick), e.status & 0x0F, e.data[0]});
                }
            }
        }
        return notes;
    }

    static ParsedSmf* smf;
};

ParsedSmf* TuneTest::smf = nullptr;

TEST_F(TuneTest, IsAWellFormedFormatOneFile) {
    ASSERT_TRUE(smf->ok) << smf->error;
    EXPECT_EQ(smf->format, 1);
    EXPECT_GE(smf->tracks.size(), 5u);
    EXPECT_EQ(smf->division, kTicksPerQuarter);
}

TEST_F(TuneTest, OutlastsTheShowAndEndsWithItsFinalChord) {
    ASSERT_TRUE(smf->ok) << smf->error;
    double end = 0.0;
    for (const auto& track : smf->tracks) {
        end = std::max(end, TickToSeconds(*smf, track.back().tick));
    }
    EXPECT_GE(end, 88.0);
    EXPECT_LE(end, 95.0);
    // Nothing new starts after the final chord at the show's end: it just
    // rings out.
    double lastStart = 0.0;
    for (const NoteOn& note : NoteOns()) {
        lastStart = std::max(lastStart, note.seconds);
    }
    EXPECT_NEAR(lastStart, kScheduleEndSeconds, 0.5);
}

TEST_F(TuneTest, SectionsTurnWithTheScenes) {
    ASSERT_TRUE(smf->ok) << smf->error;
    std::map<std::string, double> markers;
    for (const auto& track : smf->tracks) {
        for (const ParsedEvent& e : track) {
            if (e.status == 0xFF && e.metaType == 0x06) {
                markers[std::string(e.data.begin(), e.data.end())] = TickToSeconds(*smf, e.tick);
            }
        }
    }
    // Each scene's section from its start, the final chord from the end.
    std::vector<std::pair<const char*, double>> expected;
    for (const ScheduledTimes& scene : kScheduleTimes) {
        if (scene.tuneSection != nullptr) {
            expected.emplace_back(scene.tuneSection, scene.from);
        }
    }
    expected.emplace_back(kScheduleEndTuneSection, kScheduleEndSeconds);
    ASSERT_EQ(expected.size(), kTuneSections.size());
    for (const auto& [name, seconds] : expected) {
        ASSERT_TRUE(markers.count(name)) << name;
        EXPECT_NEAR(markers[name], seconds, 0.5) << name;
    }
}

TEST_F(TuneTest, HasDrumsBassHarmonyAndLead) {
    ASSERT_TRUE(smf->ok) << smf->error;
    std::map<int, int> programOf;
    for (const auto& track : smf->tracks) {
        for (const ParsedEvent& e : track) {
            if ((e.status & 0xF0) == 0xC0) {
                programOf[e.status & 0x0F] = e.data[0];
            }
        }
    }
    std::set<std::string> roles;
    for (const NoteOn& note : NoteOns()) {
        if (note.channel == 9) {
            roles.insert("drums");
        } else if (programOf.count(note.channel)) {
            roles.insert(RoleOfProgram(programOf[note.channel]));
        }
    }
    for (const char* role : {"drums", "bass", "harmony", "lead"}) {
        EXPECT_TRUE(roles.count(role)) << role;
    }
}

TEST_F(TuneTest, EveryNoteIsReleasedAndNoSectionIsSilent) {
    ASSERT_TRUE(smf->ok) << smf->error;
    for (const auto& track : smf->tracks) {
        std::map<std::pair<int, int>, int> sounding;
        for (const ParsedEvent& e : track) {
            int kind = e.status & 0xF0;
            if (kind != 0x80 && kind != 0x90) {
                continue;
            }
            auto key = std::make_pair(e.status & 0x0F, static_cast<int>(e.data[0]));
            if (kind == 0x90 && e.data[1] > 0) {
                ++sounding[key];
            } else {
                EXPECT_GT(sounding[key], 0) << "release without a note at tick " << e.tick;
                --sounding[key];
            }
        }
        for (const auto& [key, count] : sounding) {
            EXPECT_EQ(count, 0) << "channel " << key.first << " key " << key.second;
        }
    }
    std::vector<NoteOn> notes = NoteOns();
    for (const ScheduledTimes& scene : kScheduleTimes) {
        int count = 0;
        for (const NoteOn& note : notes) {
            count += note.seconds >= scene.from && note.seconds < scene.to;
        }
        EXPECT_GE(count, 20) << "under the " << scene.name << " from " << scene.from << " s";
    }
}

}  // namespace
