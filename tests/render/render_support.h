// Shared set-up for the real-rendering tests: an 800 x 600 offscreen Mesa
// context with the show loaded in it as a display open loads it (viewport
// and projection, InitScene's render state and light 1), test pictures in
// the four texture slots, and frame read-back with pixel look-ups.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

struct Rgb {
    int r;
    int g;
    int b;
};

// The colour of quadrant q (0 bottom-left, 1 bottom-right, 2 top-left, 3
// top-right, as seen) of the test picture in texture slot `slot`.
Rgb TestPictureColour(int slot, int quadrant);

class SceneRenderTest : public ::testing::Test {
public:
    void SetUp() override;
    void TearDown() override;

    // Reads the frame drawn so far; when VUP_RENDER_DUMP names a directory,
    // also writes it there as <name>.png.
    void ReadFrame(const std::string& name);

    // The pixel at window coordinates (x right, y up from the bottom row).
    Rgb PixelAt(int x, int y) const;
    // The pixel an eye-space point projects to under the show's projection.
    Rgb PixelAtEye(double x, double y, double z) const;

    std::vector<uint8_t> frame;
};

// Window pixel of an eye-space point: 45-degree vertical field of view,
// aspect 800 / 600, viewport 800 x 600.
void ProjectEye(double x, double y, double z, int* windowX, int* windowY);

::testing::AssertionResult ColourNear(const Rgb& actual, const Rgb& expected, int tolerance);
