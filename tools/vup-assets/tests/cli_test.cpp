#include "cli.h"

#include <fstream>
#include <iterator>

#include "asset_files.h"

namespace {

CommandResult RunTool(std::vector<std::string> args) {
    args.insert(args.begin(), "vup-assets");
    std::vector<const char*> argv;
    for (const std::string& arg : args) {
        argv.push_back(arg.c_str());
    }
    return Capture([&] { return RunVupAssets(static_cast<int>(argv.size()), argv.data()); });
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace

TEST_F(AssetDirTest, DecodeWritesAP6PictureTopRowFirst) {
    BmpDesc desc;
    desc.width = 2;
    desc.height = 2;
    // Bottom row: A B; top row: C D.
    desc.pixels = PackRows(24, {{0x0A0A01, 0x0B0B02}, {0x0C0C03, 0x0D0D04}});
    WritePicture("two.bmp", desc);
    const std::string output = dir + "/two.ppm";
    const CommandResult result = RunTool({"decode", dir + "/two.bmp", output});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    const std::string expected = std::string("P6\n2 2\n255\n") +
                                 "\x0C\x0C\x03\x0D\x0D\x04"
                                 "\x0A\x0A\x01\x0B\x0B\x02";
    EXPECT_EQ(ReadFile(output), expected);
}

TEST_F(AssetDirTest, DecodeFailuresSayWhyAndLeaveNoOutput) {
    BmpDesc refused = GreetingsPicture();
    refused.compression = 4;
    WritePicture("jpeg.bmp", refused);
    const CommandResult bad = RunTool({"decode", dir + "/jpeg.bmp", dir + "/jpeg.ppm"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_TRUE(Contains(bad.err, "vup-assets: Image file conversion error.\n")) << bad.err;
    EXPECT_FALSE(std::filesystem::exists(dir + "/jpeg.ppm"));

    const CommandResult missing = RunTool({"decode", dir + "/none.bmp", dir + "/none.ppm"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(Contains(missing.err, "Failed to open DIB file " + dir + "/none.bmp."))
        << missing.err;

    const std::string unwritable = dir + "/no/such/dir/out.ppm";
    const CommandResult blocked = RunTool({"decode", dir + "/Data/Greetz.bmp", unwritable});
    EXPECT_EQ(blocked.status, 1);
    EXPECT_EQ(blocked.err,
              "vup-assets: cannot write " + unwritable + ": No such file or directory\n");
}

TEST_F(AssetDirTest, CheckTakesTheDirectoryFromTheCommandLine) {
    const CommandResult result = RunTool({"check", dir});
    EXPECT_EQ(result.status, 0);
    EXPECT_TRUE(Contains(result.out, "Result: the show would start.")) << result.out;
    std::filesystem::remove(dir + "/Data/Greetz.bmp");
    EXPECT_EQ(RunTool({"check", dir}).status, 1);
}

TEST(VupAssetsCommandLine, BadUsageIsOneLineAndStatus2) {
    const std::vector<std::vector<std::string>> usages = {
        {}, {"frobnicate"}, {"decode", "a.bmp"}, {"decode", "a", "b", "c"}, {"check", "a", "b"}};
    for (const std::vector<std::string>& args : usages) {
        const CommandResult result = RunTool(args);
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err.rfind("vup-assets: ", 0), 0u) << result.err;
        EXPECT_TRUE(Contains(result.err, "--help")) << result.err;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    }
}

TEST(VupAssetsCommandLine, HelpDescribesBothCommands) {
    for (const char* flag : {"--help", "-h"}) {
        const CommandResult result = RunTool({flag});
        EXPECT_EQ(result.status, 0);
        EXPECT_TRUE(Contains(result.out, "vup-assets check [DIR]"));
        EXPECT_TRUE(Contains(result.out, "vup-assets decode FILE.bmp OUT.ppm"));
        EXPECT_EQ(result.err, "");
    }
}
