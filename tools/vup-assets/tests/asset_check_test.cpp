#include "asset_check.h"

#include "asset_files.h"

namespace {

CommandResult RunCheck(const std::string& dir) {
    return Capture([&] { return CheckAssets(dir, stdout); });
}

}  // namespace

TEST_F(AssetDirTest, GoodFilesPassAndEachLineDescribesItsFile) {
    const CommandResult result = RunCheck(dir);
    EXPECT_EQ(result.status, 0) << result.out;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out,
              "Data/Greetz.bmp: 4 x 4, 24 bits per pixel, info header with file header, "
              "uncompressed; OpenGL 1.1 texture size: yes\n"
              "Data/Main.bmp: 8 x 2, 8 bits per pixel, info header without file header, RLE8, "
              "4 colours; OpenGL 1.1 texture size: yes\n"
              "Data/VOLVO.bmp: 8 x 8, 4 bits per pixel, core header with file header, "
              "uncompressed, 16 colours; OpenGL 1.1 texture size: yes\n"
              "Data/klump.bmp: 4 x 4, 16 bits per pixel, info header with file header, bit fields "
              "(red 0000F800, green 000007E0, blue 0000001F); OpenGL 1.1 texture size: yes\n"
              "data/tulmor.mid: Standard MIDI File format 0, 1 track, division 480 ticks per "
              "quarter note, 4 notes, length 2.0 s (shorter than the show's 85 s)\n"
              "Result: the show would start.\n");
}

TEST_F(AssetDirTest, RefusedAndMissingPicturesStopTheShowWithTheReadersMessages) {
    BmpDesc unknown = MainPicture();
    unknown.headerSize = 108;
    WritePicture("Data/Main.bmp", unknown);
    BmpDesc truncated = KlumpPicture();
    truncated.pixels.resize(10);
    WritePicture("Data/klump.bmp", truncated);
    std::filesystem::remove(dir + "/Data/VOLVO.bmp");

    const CommandResult result = RunCheck(dir);
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(Contains(
        result.out, "Data/Main.bmp: refused by the picture reader: Unknown DIB file format.\n"))
        << result.out;
    EXPECT_TRUE(Contains(result.out, "Data/VOLVO.bmp: missing\n")) << result.out;
    EXPECT_TRUE(
        Contains(result.out,
                 "Data/klump.bmp: refused by the picture reader: Image file conversion error.\n"))
        << result.out;
    EXPECT_TRUE(Contains(
        result.out, "Result: the show would not start: 3 of 4 pictures missing or refused.\n"));
    EXPECT_EQ(result.err,
              "vup-assets: Data/Main.bmp: Unknown DIB file format.\n"
              "vup-assets: Data/klump.bmp: Image file conversion error.\n");
}

TEST_F(AssetDirTest, ATuneProblemIsOnlyAWarning) {
    struct Case {
        const char* what;
        bool present;
        SmfBytes content;
        const char* warning;
    };
    const SmfBytes tune = SimpleTune();
    const Case cases[] = {
        {"missing",
         false,
         {},
         "data/tulmor.mid: warning: missing; the show plays on without music"},
        {"empty", true, {}, "data/tulmor.mid: warning: empty or unreadable; the show plays on"},
        {"not MIDI", true, {'R', 'I', 'F', 'F'}, "warning: not a valid Standard MIDI File (byte 0"},
        {"cut short", true, SmfBytes(tune.begin(), tune.end() - 1),
         "warning: not a valid Standard MIDI File (byte 14: a chunk runs past the end of the "
         "file); the show plays on without music\n"},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(dir + "/data/tulmor.mid");
        if (c.present) {
            ASSERT_TRUE(WriteBytes(dir + "/data/tulmor.mid", c.content));
        }
        const CommandResult result = RunCheck(dir);
        EXPECT_EQ(result.status, 0) << c.what;
        EXPECT_TRUE(Contains(result.out, c.warning)) << c.what << ":\n" << result.out;
        EXPECT_TRUE(Contains(result.out, "Result: the show would start.")) << c.what;
    }
}

TEST_F(AssetDirTest, SizesOpenGl11CannotUseAreFlaggedButDoNotStopTheShow) {
    BmpDesc odd = GreetingsPicture();
    odd.width = 3;
    odd.pixels.assign(4 * 12, 0x40);
    WritePicture("Data/Greetz.bmp", odd);
    BmpDesc narrow = GreetingsPicture();
    narrow.width = 2;
    narrow.height = -4;
    narrow.pixels.assign(4 * 8, 0x40);
    WritePicture("Data/Main.bmp", narrow);

    const CommandResult result = RunCheck(dir);
    EXPECT_EQ(result.status, 0);
    EXPECT_TRUE(Contains(result.out,
                         "Data/Greetz.bmp: 3 x 4, 24 bits per pixel, info header with "
                         "file header, uncompressed; OpenGL 1.1 texture size: no, 3 x "
                         "4 is not a power of two on each side"))
        << result.out;
    EXPECT_TRUE(Contains(result.out,
                         "Data/Main.bmp: 2 x 4, 24 bits per pixel, info header with file "
                         "header, uncompressed, rows stored top row first; OpenGL 1.1 "
                         "texture size: no, rows of 6 bytes break the default 4-byte "
                         "unpack alignment"))
        << result.out;
}
