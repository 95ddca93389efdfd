#include "assets/scene_resources.h"

#include <gtest/gtest.h>
#include <malloc.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "fakes/fake_music.h"
#include "fakes/fake_platform.h"
#include "gl_call_log/gl_call_log.h"
#include "platform/gl.h"
#include "show/show.h"

namespace {

struct ExpectedCall {
    std::string name;
    std::vector<double> args;
};

void PutLittleEndian(std::vector<unsigned char>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<unsigned char>(value >> (8 * i)));
    }
}

// A 24-bit bitmap file with a file header and a 40-byte info header; every
// pixel has the same colour, rows padded to four bytes as the format wants.
std::vector<unsigned char> MakeBitmap(int width, int height) {
    const int rowBytes = (width * 3 + 3) / 4 * 4;
    const uint32_t pixelBytes = static_cast<uint32_t>(rowBytes * height);
    std::vector<unsigned char> file = {'B', 'M'};
    PutLittleEndian(file, 54 + pixelBytes, 4);
    PutLittleEndian(file, 0, 4);
    PutLittleEndian(file, 54, 4);  // pixels right after the headers
    PutLittleEndian(file, 40, 4);
    PutLittleEndian(file, static_cast<uint32_t>(width), 4);
    PutLittleEndian(file, static_cast<uint32_t>(height), 4);
    PutLittleEndian(file, 1, 2);   // planes
    PutLittleEndian(file, 24, 2);  // bits per pixel
    for (int field = 0; field < 6; ++field) {
        PutLittleEndian(file, 0, 4);  // compression, sizes, resolutions, colours
    }
    for (int row = 0; row < height; ++row) {
        for (int x = 0; x < width; ++x) {
            file.insert(file.end(), {0x30, 0x60, 0x90});
        }
        file.insert(file.end(), static_cast<size_t>(rowBytes - width * 3), 0);
    }
    return file;
}

void WriteFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
    ASSERT_EQ(std::fclose(file), 0);
}

struct Picture {
    const char* path;
    int width;
    int height;
};

// Widths that are multiples of 4, so no unpack alignment change is involved.
const Picture kPictures[kTextureSlotCount] = {
    {"Data/Greetz.bmp", 8, 4},
    {"Data/Main.bmp", 16, 8},
    {"Data/VOLVO.bmp", 4, 2},
    {"Data/klump.bmp", 32, 16},
};

std::vector<ExpectedCall> UploadCalls(uint32_t name, int width, int height) {
    return {
        {"glGenTextures", {1, static_cast<double>(name)}},
        {"glBindTexture", {GL_TEXTURE_2D, static_cast<double>(name)}},
        {"glTexImage2D",
         {GL_TEXTURE_2D, 0, 3, static_cast<double>(width), static_cast<double>(height), 0, GL_RGB,
          GL_UNSIGNED_BYTE}},
        {"glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR}},
        {"glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR}},
    };
}

void ExpectLogEquals(const std::vector<ExpectedCall>& expected) {
    const std::vector<GlCall>& log = GlCallLog();
    ASSERT_EQ(log.size(), expected.size()) << GlCallLogText();
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(log[i].name, expected[i].name) << "call " << i << "\n" << GlCallLogText();
        EXPECT_EQ(log[i].args, expected[i].args) << "call " << i << " " << log[i].name;
    }
}

long long Handle(SongHandle song) {
    return static_cast<long long>(reinterpret_cast<uintptr_t>(song));
}

// Each test runs in a fresh directory holding the four pictures, with the
// scene's process-wide state put back afterwards.
class SceneResources : public ::testing::Test {
protected:
    void SetUp() override {
        char* cwd = getcwd(nullptr, 0);
        ASSERT_NE(cwd, nullptr);
        savedDirectory = cwd;
        std::free(cwd);
        char pattern[] = "/tmp/vup_scene_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        directory = pattern;
        ASSERT_EQ(chdir(directory.c_str()), 0);
        std::filesystem::create_directory("Data");
        for (const Picture& picture : kPictures) {
            WriteFile(picture.path, MakeBitmap(picture.width, picture.height));
        }
        ResetShowState();
        songHandle = nullptr;
        FakePlatformReset();
        FakeMusicCalls().clear();
        fakeMusicLoadSucceeds = true;
        GlCallLogClear();
    }
    void TearDown() override {
        ResetShowState();
        fakeMusicLoadSucceeds = true;
        EXPECT_EQ(chdir(savedDirectory.c_str()), 0);
        std::filesystem::remove_all(directory);
    }

    std::string savedDirectory;
    std::string directory;
};

TEST_F(SceneResources, InitSceneLoadsSlotsThenSetsStateAndLightThenStartsTheTune) {
    ASSERT_EQ(InitScene(), 1);

    std::vector<ExpectedCall> expected;
    for (int slot = 0; slot < kTextureSlotCount; ++slot) {
        EXPECT_NE(textureNames[slot], 0u) << "slot " << slot;
        for (ExpectedCall& call :
             UploadCalls(textureNames[slot], kPictures[slot].width, kPictures[slot].height)) {
            expected.push_back(call);
        }
    }
    const std::vector<ExpectedCall> state = {
        {"glEnable", {GL_TEXTURE_2D}},
        {"glShadeModel", {GL_SMOOTH}},
        {"glClearColor", {0, 0, 0, 0.5}},
        {"glClearDepth", {1.0}},
        {"glEnable", {GL_DEPTH_TEST}},
        {"glDepthFunc", {GL_LEQUAL}},
        {"glHint", {GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST}},
        {"glLightfv", {GL_LIGHT1, GL_AMBIENT, 0.5, 0.5, 0.5, 1.0}},
        {"glLightfv", {GL_LIGHT1, GL_DIFFUSE, 1.0, 1.0, 1.0, 1.0}},
        {"glLightfv", {GL_LIGHT1, GL_POSITION, 0.0, 0.0, 10.0, 1.0}},
        {"glEnable", {GL_LIGHT1}},
    };
    expected.insert(expected.end(), state.begin(), state.end());
    ExpectLogEquals(expected);

    const std::vector<FakeMusicCall>& music = FakeMusicCalls();
    ASSERT_EQ(music.size(), 4u);
    EXPECT_EQ(music[0].name, "FSOUND_Init");
    EXPECT_EQ(music[0].args[0], 44100);
    EXPECT_EQ(music[0].args[1], 32);
    EXPECT_EQ(music[0].args[2], 2);
    EXPECT_EQ(music[1].name, "FMUSIC_LoadSong");
    EXPECT_EQ(music[1].path, "data/tulmor.mid");
    ASSERT_NE(songHandle, nullptr);
    EXPECT_EQ(music[2].name, "FMUSIC_SetMasterVolume");
    EXPECT_EQ(music[2].args[0], Handle(songHandle));
    EXPECT_EQ(music[2].args[1], 256);
    EXPECT_EQ(music[3].name, "FMUSIC_PlaySong");
    EXPECT_EQ(music[3].args[0], Handle(songHandle));
    EXPECT_TRUE(FakePlatform().boxes.empty());
}

TEST_F(SceneResources, MissingTuneStillSucceedsAndPassesTheNullHandleOn) {
    fakeMusicLoadSucceeds = false;
    EXPECT_EQ(InitScene(), 1);
    EXPECT_EQ(songHandle, nullptr);
    EXPECT_EQ(GlCallCount("glTexImage2D"), 4u);
    EXPECT_EQ(GlCallCount("glLightfv"), 3u);
    const std::vector<FakeMusicCall>& music = FakeMusicCalls();
    ASSERT_EQ(music.size(), 4u);
    EXPECT_EQ(music[2].name, "FMUSIC_SetMasterVolume");
    EXPECT_EQ(music[2].args[0], 0);
    EXPECT_EQ(music[3].name, "FMUSIC_PlaySong");
    EXPECT_EQ(music[3].args[0], 0);
}

TEST_F(SceneResources, MissingPictureStopsAtItsSlotQuietly) {
    std::filesystem::remove("Data/Main.bmp");
    EXPECT_EQ(InitScene(), 0);
    // Slot 0 went up; nothing after the missing slot 1 was attempted.
    ExpectLogEquals(UploadCalls(textureNames[0], 8, 4));
    EXPECT_NE(textureNames[0], 0u);
    EXPECT_EQ(textureNames[1], 0u);
    EXPECT_EQ(textureNames[2], 0u);
    EXPECT_EQ(textureNames[3], 0u);
    EXPECT_TRUE(FakeMusicCalls().empty());
    EXPECT_TRUE(FakePlatform().boxes.empty());

    GlCallLogClear();
    std::filesystem::remove("Data/Greetz.bmp");
    EXPECT_EQ(InitScene(), 0);
    EXPECT_TRUE(GlCallLog().empty()) << GlCallLogText();
}

TEST_F(SceneResources, ReopenUsesFreshNamesAndTheLightWhereItWasLeft) {
    ASSERT_EQ(InitScene(), 1);
    const uint32_t firstMain = textureNames[kSlotMain];
    lightPosition[0] = -3.0f;
    lightPosition[1] = 2.5f;
    lightPosition[2] = 7.0f;
    GlCallLogClear();
    FakeMusicCalls().clear();

    ASSERT_EQ(InitScene(), 1);
    EXPECT_NE(textureNames[kSlotMain], firstMain);
    const std::vector<GlCall> lights = GlCallsNamed("glLightfv");
    ASSERT_EQ(lights.size(), 3u);
    EXPECT_EQ(lights[2].args, (std::vector<double>{GL_LIGHT1, GL_POSITION, -3.0, 2.5, 7.0, 1.0}));
    EXPECT_EQ(FakeMusicCalls().size(), 4u);
}

TEST_F(SceneResources, NarrowRowsUploadByteAlignedAndRestoreTheDefault) {
    struct Case {
        int width;
        bool byteAligned;
    };
    const Case cases[] = {{1, true}, {2, true}, {3, true}, {4, false}, {5, true}, {8, false}};
    for (const Case& c : cases) {
        WriteFile("Data/narrow.bmp", MakeBitmap(c.width, 2));
        GlCallLogClear();
        ASSERT_EQ(LoadTexture(kSlotKlump, "Data/narrow.bmp"), 1) << "width " << c.width;
        const std::vector<GlCall>& log = GlCallLog();
        if (!c.byteAligned) {
            EXPECT_EQ(GlCallCount("glPixelStorei"), 0u) << "width " << c.width;
            continue;
        }
        ASSERT_EQ(log.size(), 7u) << GlCallLogText();
        EXPECT_EQ(log[2].name, "glPixelStorei");
        EXPECT_EQ(log[2].args, (std::vector<double>{GL_UNPACK_ALIGNMENT, 1}));
        EXPECT_EQ(log[3].name, "glTexImage2D");
        EXPECT_EQ(log[3].args[3], c.width);
        EXPECT_EQ(log[4].name, "glPixelStorei");
        EXPECT_EQ(log[4].args, (std::vector<double>{GL_UNPACK_ALIGNMENT, 4}));
    }
}

TEST_F(SceneResources, UnloadableInputLeavesTheSlotAlone) {
    textureNames[kSlotEnd] = 77;
    EXPECT_EQ(LoadImageIfPresent(nullptr), nullptr);
    EXPECT_EQ(LoadImageIfPresent("Data/nothing.bmp"), nullptr);
    EXPECT_EQ(LoadTexture(kSlotEnd, "Data/nothing.bmp"), 0);
    EXPECT_EQ(LoadTexture(kSlotEnd, nullptr), 0);
    // Slots beyond the table are refused before anything is read.
    EXPECT_EQ(LoadTexture(-1, "Data/Main.bmp"), 0);
    EXPECT_EQ(LoadTexture(kTextureSlotCount, "Data/Main.bmp"), 0);
    EXPECT_EQ(textureNames[kSlotEnd], 77u);
    EXPECT_TRUE(GlCallLog().empty()) << GlCallLogText();
    EXPECT_TRUE(FakePlatform().boxes.empty());
}

// The uploaded picture must not stay behind: a 512 x 512 picture holds 768 KiB,
// far more than the bookkeeping of one load. (Under AddressSanitizer the heap
// figures are not kept, and its leak check covers the same fault.)
TEST_F(SceneResources, LoadTextureFreesThePicture) {
    WriteFile("Data/large.bmp", MakeBitmap(512, 512));
    const struct mallinfo2 before = mallinfo2();
    const int loaded = LoadTexture(kSlotMain, "Data/large.bmp");
    const struct mallinfo2 after = mallinfo2();
    ASSERT_EQ(loaded, 1);
    const long long held = static_cast<long long>(after.uordblks + after.hblkhd) -
                           static_cast<long long>(before.uordblks + before.hblkhd);
    EXPECT_LT(held, 64 * 1024);
}

}  // namespace
