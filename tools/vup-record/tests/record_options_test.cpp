#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "record_options.h"

// Parses a command line given without the program name.
static int Parse(std::vector<const char*> args, RecordOptions* options, std::string* error) {
    args.insert(args.begin(), "vup-record");
    return ParseRecordOptions(static_cast<int>(args.size()), args.data(), options, error);
}

TEST(RecordOptions, DefaultsRecordTheWholeShowAt60FpsAndTheDisplaySize) {
    RecordOptions options;
    std::string error;
    ASSERT_EQ(Parse({"--out", "show.mp4"}, &options, &error), 1) << error;
    EXPECT_EQ(options.mode, RecordMode::kVideo);
    EXPECT_EQ(options.outPath, "show.mp4");
    EXPECT_EQ(options.fps, 60);
    EXPECT_EQ(options.fromSeconds, 0.0);
    EXPECT_EQ(options.toSeconds, 85.0);
    EXPECT_EQ(options.width, 800);
    EXPECT_EQ(options.height, 600);
}

TEST(RecordOptions, FrameTimesGoWithARecordingOnly) {
    RecordOptions options;
    std::string error;
    ASSERT_EQ(Parse({"--out", "show.mp4"}, &options, &error), 1) << error;
    EXPECT_EQ(options.frameTimesPath, "");
    ASSERT_EQ(Parse({"--frame-times", "times.csv", "--out", "show.mp4"}, &options, &error), 1)
        << error;
    EXPECT_EQ(options.frameTimesPath, "times.csv");
    EXPECT_EQ(options.mode, RecordMode::kVideo);
}

TEST(RecordOptions, EveryOptionIsTakenWithItsValue) {
    RecordOptions options;
    std::string error;
    ASSERT_EQ(Parse({"--fps", "30", "--from", "12.5", "--to", "20", "--size", "1024x768", "--out",
                     "frames/"},
                    &options, &error),
              1)
        << error;
    EXPECT_EQ(options.mode, RecordMode::kPngFrames);
    EXPECT_EQ(options.outPath, "frames/");
    EXPECT_EQ(options.fps, 30);
    EXPECT_EQ(options.fromSeconds, 12.5);
    EXPECT_EQ(options.toSeconds, 20.0);
    EXPECT_EQ(options.width, 1024);
    EXPECT_EQ(options.height, 768);

    ASSERT_EQ(Parse({"--frame", "45", "still.png", "--size", "400x300"}, &options, &error), 1)
        << error;
    EXPECT_EQ(options.mode, RecordMode::kStill);
    EXPECT_EQ(options.stillSeconds, 45.0);
    EXPECT_EQ(options.outPath, "still.png");
    EXPECT_EQ(options.width, 400);

    ASSERT_EQ(Parse({"--out", "SHOW.MP4"}, &options, &error), 1) << error;
    EXPECT_EQ(options.mode, RecordMode::kVideo);
}

TEST(RecordOptions, AnExistingFolderWithoutSlashTakesFrames) {
    char folder[] = "/tmp/vup-record-options-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    RecordOptions options;
    std::string error;
    EXPECT_EQ(Parse({"--out", folder}, &options, &error), 1) << error;
    EXPECT_EQ(options.mode, RecordMode::kPngFrames);
    rmdir(folder);
}

TEST(RecordOptions, HelpWinsOverEverythingElse) {
    RecordOptions options;
    std::string error;
    ASSERT_EQ(Parse({"--fps", "0", "--help"}, &options, &error), 0);  // fails before --help
    ASSERT_EQ(Parse({"--out", "x.mp4", "--help"}, &options, &error), 1);
    EXPECT_EQ(options.mode, RecordMode::kHelp);
    ASSERT_EQ(Parse({"-h"}, &options, &error), 1);
    EXPECT_EQ(options.mode, RecordMode::kHelp);
}

TEST(RecordOptions, BadCommandLinesGiveOneLineReasons) {
    const std::vector<std::vector<const char*>> bad = {
        {},
        {"--bogus"},
        {"show.mp4"},
        {"--out"},
        {"--out", ""},
        {"--out", "show.avi"},
        {"--out", "show.mp4", "--size", "801x600"},
        {"--out", "show.mp4", "--fps"},
        {"--out", "show.mp4", "--fps", "0"},
        {"--out", "show.mp4", "--fps", "1001"},
        {"--out", "show.mp4", "--fps", "2.5"},
        {"--out", "show.mp4", "--fps", "30x"},
        {"--out", "show.mp4", "--fps", "-30"},
        {"--out", "show.mp4", "--from", "-1"},
        {"--out", "show.mp4", "--from", "nan"},
        {"--out", "show.mp4", "--to", "86"},
        {"--out", "show.mp4", "--to", "inf"},
        {"--out", "show.mp4", "--to", "1e400"},
        {"--out", "show.mp4", "--from", "5", "--to", "5"},
        {"--out", "show.mp4", "--from", "6", "--to", "5"},
        {"--out", "show.mp4", "--from", "0.05", "--to", "0.08", "--fps", "10"},
        {"--out", "show.mp4", "--size", "800"},
        {"--out", "show.mp4", "--size", "0x600"},
        {"--out", "show.mp4", "--size", "800x"},
        {"--out", "show.mp4", "--size", "x600"},
        {"--out", "show.mp4", "--size", "800x600x2"},
        {"--out", "show.mp4", "--size", "9000x600"},
        {"--frame", "5"},
        {"--frame", "5", ""},
        {"--frame", "abc", "x.png"},
        {"--frame", "90", "x.png"},
        {"--frame", "5", "x.png", "--from", "1"},
        {"--frame", "5", "x.png", "--out", "show.mp4"},
        {"--out", "show.mp4", "--frame-times"},
        {"--out", "show.mp4", "--frame-times", ""},
        {"--frame", "5", "x.png", "--frame-times", "times.csv"},
    };
    for (const auto& args : bad) {
        RecordOptions options;
        std::string error;
        std::string line;
        for (const char* arg : args) {
            line += std::string(arg) + " ";
        }
        EXPECT_EQ(Parse(args, &options, &error), 0) << line;
        EXPECT_FALSE(error.empty()) << line;
        EXPECT_EQ(error.find('\n'), std::string::npos) << line;
    }
}
