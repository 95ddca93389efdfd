#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "platform/gl.h"
#include "render_support.h"
#include "show/scenes.h"

static const Rgb kBlack = {0, 0, 0};
static const Rgb kWhite = {255, 255, 255};

// Light 1 with the default material: global ambient 0.2 x 0.2 plus the
// light's ambient 0.5 x 0.2; a face turned away from the light shows only this.
static const int kAmbientLevel = static_cast<int>(std::lround((0.2 * 0.2 + 0.5 * 0.2) * 255));
static const Rgb kAmbientGrey = {kAmbientLevel, kAmbientLevel, kAmbientLevel};

static void PlaceLight(float x, float y, float z) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const float position[4] = {x, y, z, 1.0f};
    glLightfv(GL_LIGHT1, GL_POSITION, position);
}

TEST_F(SceneRenderTest, PolyhedronFacesLitTowardTheLightAndAmbientAway) {
    // The front pyramid's upper face (triangle 5) at angle 0: centroid
    // (0, 1.8, 3.47) in the solid, translated by (3, 0, -30).
    const double faceX = 3, faceY = 1.8, faceZ = -30 + 3.4667;
    polyhedronAngle = 0;
    DrawPulsingPolyhedron(0);
    ReadFrame("polyhedron_lit_from_front");
    EXPECT_TRUE(ColourNear(PixelAtEye(faceX, faceY, faceZ), kWhite, 0));

    // The same face with the light far behind the solid.
    PlaceLight(3, 0, -100);
    DrawPulsingPolyhedron(0);
    ReadFrame("polyhedron_lit_from_behind");
    EXPECT_TRUE(ColourNear(PixelAtEye(faceX, faceY, faceZ), kAmbientGrey, 2));

    // The picture below left of the solid, at depth 40, is drawn unlit.
    const double xs[2] = {-13 + 2.75, -2 - 2.75};
    const double ys[2] = {-16 + 2.75, -5 - 2.75};
    for (int quadrant = 0; quadrant < 4; ++quadrant) {
        EXPECT_TRUE(ColourNear(PixelAtEye(xs[quadrant % 2], ys[quadrant / 2], -40),
                               TestPictureColour(3, quadrant), 2))
            << "quadrant " << quadrant;
    }
}

TEST_F(SceneRenderTest, PolyhedronFacesAreEitherSaturatedOrAmbient) {
    // The normals are 5 to 24 units long and never normalised, so a face
    // turned toward the light saturates and one turned away (or whose normal
    // points into the solid) keeps the ambient level: no shades between.
    // Turned by 200 degrees, the solid shows faces of both kinds.
    polyhedronAngle = 100;
    DrawPulsingPolyhedron(0);
    ReadFrame("polyhedron_angle_100");
    int ambient = 0;
    int saturated = 0;
    int other = 0;
    // Everything but the picture (eye x -13..-2, y -16..-5 at depth 40).
    int pictureRight = 0;
    int pictureTop = 0;
    ProjectEye(-2, -5, -40, &pictureRight, &pictureTop);
    for (int y = 0; y < 600; ++y) {
        for (int x = 0; x < 800; ++x) {
            if (x <= pictureRight + 1 && y <= pictureTop + 1) {
                continue;
            }
            const Rgb pixel = PixelAt(x, y);
            const bool grey = pixel.r == pixel.g && pixel.g == pixel.b;
            if (grey && std::abs(pixel.r - kAmbientLevel) <= 2) {
                ++ambient;
            } else if (grey && pixel.r == 255) {
                ++saturated;
            } else if (!grey || pixel.r != 0) {
                ++other;
            }
        }
    }
    EXPECT_GT(ambient, 500);
    EXPECT_GT(saturated, 500);
    // Only partly covered pixels along the edges fall between.
    EXPECT_LT(other, (ambient + saturated) / 10);
}

TEST_F(SceneRenderTest, LatticeBesideAWhiteFramedPicture) {
    latticeAngle = 0;
    DrawCubeLattice(0);
    ReadFrame("cube_lattice");

    // The frame (eye x -10..-2, y -7..7 at depth 22) shows around the picture
    // (x -8.5..-2.5, y -6..6 at depth 20) on every side.
    EXPECT_TRUE(ColourNear(PixelAtEye(-9.675, 0, -22), kWhite, 0));
    EXPECT_TRUE(ColourNear(PixelAtEye(-2.375, 0, -22), kWhite, 0));
    EXPECT_TRUE(ColourNear(PixelAtEye(-6, 6.8, -22), kWhite, 0));
    EXPECT_TRUE(ColourNear(PixelAtEye(-6, -6.8, -22), kWhite, 0));
    EXPECT_TRUE(ColourNear(PixelAtEye(-10.5, 0, -22), kBlack, 0));
    EXPECT_TRUE(ColourNear(PixelAtEye(-6, 7.5, -22), kBlack, 0));
    const double xs[2] = {-7, -4};
    const double ys[2] = {-3, 3};
    for (int quadrant = 0; quadrant < 4; ++quadrant) {
        EXPECT_TRUE(ColourNear(PixelAtEye(xs[quadrant % 2], ys[quadrant / 2], -20),
                               TestPictureColour(0, quadrant), 2))
            << "quadrant " << quadrant;
    }

    // The nearest middle cube, (0, 0, 2) in the unturned lattice, sits at
    // eye (4, 0, -18); its front face (z -17.9) is lit by light 1 at (0, 0, 10).
    const double toLight[3] = {0 - 4, 0, 10 + 17.9};
    const double cosine = toLight[2] / std::sqrt(toLight[0] * toLight[0] + toLight[2] * toLight[2]);
    const int lit = static_cast<int>(std::lround((0.2 * 0.2 + 0.5 * 0.2 + 0.8 * cosine) * 255));
    EXPECT_TRUE(ColourNear(PixelAtEye(4, 0, -17.9), {lit, lit, lit}, 3));
    EXPECT_GT(lit, kAmbientLevel + 150);
    // Between the cubes, the background.
    EXPECT_TRUE(ColourNear(PixelAtEye(4.5, 0.5, -18), kBlack, 0));
}

TEST_F(SceneRenderTest, BezierPathLooksDownTheTubeTrail) {
    pathParameter = 0;
    DrawBezierPath(0);
    ReadFrame("bezier_path");

    // The modelview matrix the scene leaves is its camera; project the first
    // tube's centre (curve point at 0.006) with it.
    GLdouble modelview[16];
    GLdouble projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    // Curve point at 0.006 of (0,0,0), (5,6.5,40), (-12,-2,80), (15,4,120).
    const double t = 0.006, u = 1 - t;
    const double w1 = 3 * t * u * u, w2 = 3 * t * t * u, w3 = t * t * t;
    const double centre[3] = {5 * w1 - 12 * w2 + 15 * w3, 6.5 * w1 - 2 * w2 + 4 * w3,
                              40 * w1 + 80 * w2 + 120 * w3};
    GLdouble windowX = 0, windowY = 0, windowZ = 0;
    ASSERT_EQ(gluProject(centre[0], centre[1], centre[2], modelview, projection, viewport, &windowX,
                         &windowY, &windowZ),
              GL_TRUE);
    const double depth = -(modelview[2] * centre[0] + modelview[6] * centre[1] +
                           modelview[10] * centre[2] + modelview[14]);
    // The tube runs almost along the line of sight: seen through its open
    // near end, its inner walls fill the band between the projected half
    // sides of its far and near ends.
    const double focal = 1.0 / std::tan(22.5 * M_PI / 180.0) * 300;
    const double nearHalf = 0.05 / (depth - 0.05) * focal;
    const double farHalf = 0.05 / (depth + 0.05) * focal;
    const double wall = (nearHalf + farHalf) / 2;
    ASSERT_GT(nearHalf - farHalf, 4);
    const int offsets[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    for (const auto& offset : offsets) {
        const Rgb pixel = PixelAt(static_cast<int>(windowX + offset[0] * wall),
                                  static_cast<int>(windowY + offset[1] * wall));
        // Grey: lit by light 1, never above half brightness on these walls.
        EXPECT_EQ(pixel.r, pixel.g);
        EXPECT_EQ(pixel.g, pixel.b);
        EXPECT_GE(pixel.r, kAmbientLevel - 2) << offset[0] << ", " << offset[1];
        EXPECT_LT(pixel.r, 128) << offset[0] << ", " << offset[1];
    }
    EXPECT_TRUE(ColourNear(PixelAt(0, 0), kBlack, 0));
    EXPECT_TRUE(ColourNear(PixelAt(799, 599), kBlack, 0));
}
