#include "render_support.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>

#include "assets/scene_resources.h"
#include "fakes/bmp_builder.h"
#include "platform/egl/offscreen_gl.h"
#include "show/show.h"

static constexpr int kWidth = 800;
static constexpr int kHeight = 600;
static constexpr int kPictureSize = 8;

Rgb TestPictureColour(int slot, int quadrant) {
    static const Rgb colours[kTextureSlotCount][4] = {
        {{200, 40, 40}, {40, 200, 40}, {40, 40, 200}, {200, 200, 40}},
        {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}},
        {{0, 255, 255}, {255, 0, 255}, {128, 64, 0}, {64, 0, 128}},
        {{250, 128, 0}, {0, 128, 250}, {128, 250, 0}, {90, 90, 90}},
    };
    return colours[slot][quadrant];
}

// An 8 x 8 bitmap file of four solid quadrants, rows bottom first.
static Bytes TestPicture(int slot) {
    std::vector<std::vector<uint32_t>> rows(kPictureSize, std::vector<uint32_t>(kPictureSize));
    for (int row = 0; row < kPictureSize; ++row) {
        for (int column = 0; column < kPictureSize; ++column) {
            const int quadrant = (row >= kPictureSize / 2 ? 2 : 0) + (column >= kPictureSize / 2);
            const Rgb colour = TestPictureColour(slot, quadrant);
            rows[row][column] = static_cast<uint32_t>(colour.r << 16 | colour.g << 8 | colour.b);
        }
    }
    BmpDesc picture;
    picture.width = kPictureSize;
    picture.height = kPictureSize;
    picture.pixels = PackRows(24, rows);
    return BuildBmp(picture);
}

// The show loaded as a display open loads it, from a directory holding the
// test pictures, with the scenes' values and the light at their start.
void SceneRenderTest::SetUp() {
    ASSERT_EQ(OffscreenGlCreate(kWidth, kHeight), 1) << "no offscreen OpenGL context";
    const std::string dir = MakeTempDir();
    char previousDir[PATH_MAX];
    ASSERT_NE(getcwd(previousDir, sizeof previousDir), nullptr);
    ASSERT_EQ(mkdir((dir + "/Data").c_str(), 0755), 0);
    for (int slot = 0; slot < kTextureSlotCount; ++slot) {
        ASSERT_TRUE(WriteBytes(dir + "/" + kPictureFiles[slot], TestPicture(slot)));
    }
    ASSERT_EQ(chdir(dir.c_str()), 0);
    ResetShowState();
    const int loaded = LoadShow(kWidth, kHeight);
    ASSERT_EQ(chdir(previousDir), 0);
    RemoveTree(dir);
    ASSERT_EQ(loaded, 1) << "the test pictures did not load";
}

void SceneRenderTest::TearDown() {
    OffscreenGlDestroy();
}

// The frame as an RGB PNG: rows top first (the frame's are bottom first),
// alpha dropped, as the screen shows it.
static void WritePng(const std::vector<uint8_t>& rgba, const std::string& directory,
                     const std::string& name) {
    std::vector<uint8_t> rgb;
    rgb.reserve(static_cast<size_t>(kWidth) * kHeight * 3);
    for (int row = kHeight - 1; row >= 0; --row) {
        for (int column = 0; column < kWidth; ++column) {
            const uint8_t* pixel = &rgba[(static_cast<size_t>(row) * kWidth + column) * 4];
            rgb.insert(rgb.end(), pixel, pixel + 3);
        }
    }
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    image.width = kWidth;
    image.height = kHeight;
    image.format = PNG_FORMAT_RGB;
    const std::string path = directory + "/" + name + ".png";
    png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr);
}

void SceneRenderTest::ReadFrame(const std::string& name) {
    frame.assign(static_cast<size_t>(kWidth) * kHeight * 4, 0);
    OffscreenGlReadPixels(frame.data());
    if (const char* directory = std::getenv("VUP_RENDER_DUMP")) {
        WritePng(frame, directory, name);
    }
}

Rgb SceneRenderTest::PixelAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= kWidth || y >= kHeight || frame.empty()) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") is outside the frame";
        return {-1, -1, -1};
    }
    const uint8_t* pixel = &frame[(static_cast<size_t>(y) * kWidth + x) * 4];
    return {pixel[0], pixel[1], pixel[2]};
}

Rgb SceneRenderTest::PixelAtEye(double x, double y, double z) const {
    int windowX = 0;
    int windowY = 0;
    ProjectEye(x, y, z, &windowX, &windowY);
    return PixelAt(windowX, windowY);
}

void ProjectEye(double x, double y, double z, int* windowX, int* windowY) {
    const double focal = 1.0 / std::tan(45.0 / 2.0 * M_PI / 180.0);
    const double aspect = static_cast<double>(kWidth) / kHeight;
    const double ndcX = x * focal / aspect / -z;
    const double ndcY = y * focal / -z;
    *windowX = static_cast<int>(std::floor((ndcX + 1.0) * 0.5 * kWidth));
    *windowY = static_cast<int>(std::floor((ndcY + 1.0) * 0.5 * kHeight));
}

::testing::AssertionResult ColourNear(const Rgb& actual, const Rgb& expected, int tolerance) {
    if (std::abs(actual.r - expected.r) <= tolerance &&
        std::abs(actual.g - expected.g) <= tolerance &&
        std::abs(actual.b - expected.b) <= tolerance) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "colour (" << actual.r << ", " << actual.g << ", " << actual.b << "), expected ("
           << expected.r << ", " << expected.g << ", " << expected.b << ") within " << tolerance;
}
