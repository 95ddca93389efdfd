// Stills of every scene compared with the small references in tests/golden/.
// A change to a scene's geometry, rate or state moves or recolours large
// parts of its picture and fails the still that shows it; rasteriser noise
// stays inside the tolerance. Set VUP_UPDATE_GOLDEN=1 to rewrite the
// references from the current show (tools/vup-record/update-golden.sh).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "png_file.h"
#include "show/schedule.h"
#include "show/show.h"
#include "show_driver.h"
#include "thumbnail.h"

struct GoldenStill {
    int seconds;
    const char* scene;
};

// Every scene's stills, in show order, as the schedule names them. Whole
// seconds, so each still is a frame of the 60 fps grid and the single pass
// below reaches it exactly as `vup-record --frame S` does.
static std::vector<GoldenStill> ScheduledStills() {
    std::vector<GoldenStill> stills;
    for (const ScheduledScene& scene : kSchedule) {
        for (int i = 0; i < scene.stills.count; ++i) {
            stills.push_back({static_cast<int>(scene.stills.at[i]), scene.id});
        }
    }
    return stills;
}
static const std::vector<GoldenStill> kStills = ScheduledStills();
static const int kStillCount = static_cast<int>(kStills.size());
constexpr int kFps = 60;
constexpr int kThumbWidth = 100;
constexpr int kThumbHeight = 75;

static std::string StillName(const GoldenStill& still) {
    return std::string(still.scene) + "_" + std::to_string(still.seconds) + "s";
}

static std::string ReferencePath(const GoldenStill& still) {
    return "tests/golden/" + StillName(still) + ".png";
}

static int64_t StillFrame(const GoldenStill& still) {
    return static_cast<int64_t>(still.seconds) * kFps;
}

class GoldenStills : public testing::TestWithParam<int> {
protected:
    // The show runs once for all stills: every frame of the grid in order,
    // drawing only the stills and the frame before each (a turn on an
    // interval bound shows what that frame left).
    static void SetUpTestSuite() {
        thumbnails.assign(kStillCount, {});
        if (!OpenShow(800, 600, &openError)) {
            return;
        }
        std::vector<uint8_t> frame(800 * 600 * 4);
        const int64_t lastFrame = StillFrame(kStills[kStillCount - 1]);
        int next = 0;
        for (int64_t n = 0; n <= lastFrame; ++n) {
            const bool isStill = n == StillFrame(kStills[next]);
            RunShowFrame(n, kFps, isStill || n + 1 == StillFrame(kStills[next]));
            if (isStill) {
                ReadShowFrame(frame.data());
                thumbnails[next] = MakeThumbnail(frame.data(), 800, 600, kThumbWidth, kThumbHeight);
                ++next;
            }
        }
        CloseShow();
    }

    static std::vector<std::vector<uint8_t>> thumbnails;
    static std::string openError;
};

std::vector<std::vector<uint8_t>> GoldenStills::thumbnails;
std::string GoldenStills::openError;

TEST_P(GoldenStills, MatchesItsReference) {
    const GoldenStill& still = kStills[GetParam()];
    ASSERT_TRUE(openError.empty()) << openError;
    ASSERT_EQ(FrameShowTimeMs(StillFrame(still), kFps), still.seconds * 1000);
    const std::vector<uint8_t>& actual = thumbnails[GetParam()];
    ASSERT_FALSE(actual.empty());

    const char* update = std::getenv("VUP_UPDATE_GOLDEN");
    if (update != nullptr && std::string(update) == "1") {
        std::string error;
        ASSERT_EQ(
            WritePngFile(ReferencePath(still), kThumbWidth, kThumbHeight, 3, actual.data(), &error),
            1)
            << error;
        std::printf("rewrote %s\n", ReferencePath(still).c_str());
        return;
    }

    int width = 0;
    int height = 0;
    std::vector<uint8_t> reference;
    ASSERT_EQ(ReadPngRgb(ReferencePath(still), &width, &height, &reference), 1)
        << "no reference " << ReferencePath(still)
        << "; make it with tools/vup-record/update-golden.sh";
    ASSERT_EQ(width, kThumbWidth);
    ASSERT_EQ(height, kThumbHeight);

    const ThumbnailDifference difference = CompareThumbnails(actual, reference);
    if (!WithinRasterTolerance(difference)) {
        const std::string actualPath =
            testing::TempDir() + "golden-actual-" + StillName(still) + ".png";
        std::string error;
        WritePngFile(actualPath, kThumbWidth, kThumbHeight, 3, actual.data(), &error);
        ADD_FAILURE() << still.scene << " at " << still.seconds << " s differs from "
                      << ReferencePath(still) << ": mean " << difference.meanAbsolute << ", "
                      << difference.farOffFraction * 100.0 << "% of channels off by more than "
                      << kFarOff << ", largest " << difference.largest << "; this run's still is "
                      << actualPath;
    }
}

INSTANTIATE_TEST_SUITE_P(Show, GoldenStills, testing::Range(0, kStillCount),
                         [](const testing::TestParamInfo<int>& param) {
                             return StillName(kStills[param.param]);
                         });

// Every reference in tests/golden/ is a still the schedule names: a scene
// renamed or a still moved leaves no reference behind unchecked.
TEST(GoldenStillsFolder, HoldsOnlyTheScheduledStills) {
    std::vector<std::string> named;
    for (const GoldenStill& still : kStills) {
        named.push_back(StillName(still) + ".png");
    }
    for (const auto& entry : std::filesystem::directory_iterator("tests/golden")) {
        const std::string file = entry.path().filename().string();
        EXPECT_NE(std::find(named.begin(), named.end(), file), named.end())
            << "tests/golden/" << file << " is no still of the schedule (src/show/schedule.h)";
    }
}
