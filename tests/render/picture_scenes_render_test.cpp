#include <gtest/gtest.h>

#include "render_support.h"
#include "show/scenes.h"

static const Rgb kBlack = {0, 0, 0};

// Checks the four quadrants of a slot's picture drawn as the square
// [left, right] x [bottom, top] at depth 20, sampled halfway between the
// square's centre and its quarter points, clear of the filtered blends at
// the quadrant borders and the picture's edges.
static void ExpectQuadrants(const SceneRenderTest& test, int slot, double left, double bottom,
                            double right, double top) {
    const double xs[2] = {left + (right - left) * 0.375, left + (right - left) * 0.625};
    const double ys[2] = {bottom + (top - bottom) * 0.375, bottom + (top - bottom) * 0.625};
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 2; ++column) {
            EXPECT_TRUE(ColourNear(test.PixelAtEye(xs[column], ys[row], -20),
                                   TestPictureColour(slot, row * 2 + column), 2))
                << "slot " << slot << " quadrant " << row * 2 + column;
        }
    }
}

TEST_F(SceneRenderTest, OpeningPictureShowsSlotOneUprightOnBlack) {
    DrawOpeningPicture(16);
    ReadFrame("opening_picture");
    // The square spans x -7..13, y -14..6 at depth 20: its lower part and its
    // right edge lie outside the view, its centre (3, -4) is on screen.
    ExpectQuadrants(*this, 1, -7, -14, 13, 6);
    EXPECT_TRUE(ColourNear(PixelAtEye(-9, 0, -20), kBlack, 0));
    EXPECT_TRUE(ColourNear(PixelAtEye(3, 7.5, -20), kBlack, 0));
    EXPECT_TRUE(ColourNear(PixelAt(0, 599), kBlack, 0));
}

TEST_F(SceneRenderTest, ShrinkingPictureKeepsItsCentre) {
    shrinkAccumulator = 2000;  // s = 6.382: the square is 7.236 wide
    DrawShrinkingPicture(16);
    ReadFrame("shrinking_picture");
    const double s = 6.382;
    ExpectQuadrants(*this, 1, s - 7, s - 14, 13 - s, 6 - s);
    EXPECT_TRUE(ColourNear(PixelAtEye(3 - 4.5, -4, -20), kBlack, 0));
    EXPECT_TRUE(ColourNear(PixelAtEye(3 + 4.5, -4, -20), kBlack, 0));
    EXPECT_TRUE(ColourNear(PixelAtEye(3, -4 + 4.5, -20), kBlack, 0));
    // The view ends at y -8.28 at this depth.
    EXPECT_TRUE(ColourNear(PixelAtEye(3, -8, -20), kBlack, 0));
}

static bool IsBlack(const Rgb& colour) {
    return colour.r == 0 && colour.g == 0 && colour.b == 0;
}

TEST_F(SceneRenderTest, EndPictureIsCentredOnTheView) {
    shrinkAccumulator = 2399;
    DrawShrinkingPicture(16);
    ReadFrame("end_picture");
    ExpectQuadrants(*this, 2, -7, -7, 7, 7);

    // Its extent across the middle row and column is symmetric about the
    // middle of the screen and matches the projected 14 x 14 square.
    int left = -1, right = -1, bottom = -1, top = -1;
    for (int x = 0; x < 800; ++x) {
        if (!IsBlack(PixelAt(x, 300))) {
            right = x;
            left = left < 0 ? x : left;
        }
    }
    for (int y = 0; y < 600; ++y) {
        if (!IsBlack(PixelAt(400, y))) {
            top = y;
            bottom = bottom < 0 ? y : bottom;
        }
    }
    int projectedLeft = 0, projectedBottom = 0;
    ProjectEye(-7, -7, -20, &projectedLeft, &projectedBottom);
    EXPECT_NEAR(left, projectedLeft, 1);
    EXPECT_NEAR(bottom, projectedBottom, 1);
    EXPECT_NEAR(left + right, 799, 1);
    EXPECT_NEAR(bottom + top, 599, 1);
}
