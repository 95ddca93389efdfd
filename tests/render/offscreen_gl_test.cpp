#include "platform/egl/offscreen_gl.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/gl.h"

// The offscreen context must give real fixed-function rendering with a depth
// buffer, read back bottom row first.
TEST(OffscreenGl, DrawsFixedFunctionWithDepthAndReadsBottomRowFirst) {
    ASSERT_EQ(OffscreenGlCreate(64, 32), 1);
    EXPECT_EQ(OffscreenGlWidth(), 64);
    EXPECT_EQ(OffscreenGlHeight(), 32);
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_GE(depthBits, 16);

    glClearColor(0, 0, 1, 1);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // A red lower half in front, then a green full-screen quad behind it.
    glColor3f(1, 0, 0);
    glRectf(-1, -1, 1, 0);
    glColor3f(0, 1, 0);
    glBegin(GL_QUADS);
    glVertex3f(-1, -1, 0.5f);
    glVertex3f(1, -1, 0.5f);
    glVertex3f(1, 1, 0.5f);
    glVertex3f(-1, 1, 0.5f);
    glEnd();

    std::vector<uint8_t> pixels(64 * 32 * 4);
    OffscreenGlReadPixels(pixels.data());
    const uint8_t* bottomLeft = &pixels[0];
    const uint8_t* topRight = &pixels[(31 * 64 + 63) * 4];
    EXPECT_EQ(bottomLeft[0], 255);
    EXPECT_EQ(bottomLeft[1], 0);
    EXPECT_EQ(topRight[0], 0);
    EXPECT_EQ(topRight[1], 255);
    EXPECT_EQ(topRight[3], 255);
    OffscreenGlDestroy();
}

TEST(OffscreenGl, CanBeCreatedAgainAfterDestroyButNotTwice) {
    ASSERT_EQ(OffscreenGlCreate(16, 16), 1);
    EXPECT_EQ(OffscreenGlCreate(16, 16), 0);
    OffscreenGlDestroy();
    OffscreenGlDestroy();
    EXPECT_EQ(OffscreenGlWidth(), 0);
    ASSERT_EQ(OffscreenGlCreate(800, 600), 1);
    EXPECT_EQ(OffscreenGlWidth(), 800);
    OffscreenGlDestroy();
}

TEST(OffscreenGl, RefusesEmptySizes) {
    EXPECT_EQ(OffscreenGlCreate(0, 600), 0);
    EXPECT_EQ(OffscreenGlCreate(800, -1), 0);
}
