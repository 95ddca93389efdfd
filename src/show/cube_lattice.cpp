// A 5 x 5 x 5 lattice of small lit cubes tumbling about a tilted axis, each
// cube pulsing at a rate set by its coordinate sum so that waves run along
// the diagonal planes; beside it the slot-0 picture in a white frame.
#include <cmath>

#include "assets/scene_resources.h"
#include "geometry/primitives.h"
#include "platform/gl.h"
#include "show/scenes.h"

// Rotation in degrees and the cubes' pulsing time base. Grows with the wall
// clock, never wrapped.
float latticeAngle = kLatticeAngleStart;

static constexpr double kAngleRate = 0.07;

// Edge length of the cube at lattice point (x, y, z): between 0.2 and 0.8,
// so neighbouring cubes (1 apart) never touch.
static float PulsingEdge(float x, float y, float z) {
    const double sum = (static_cast<double>(x) + y) + z + static_cast<double>(0.5f);
    const float k = static_cast<float>(static_cast<double>(0.001f) * latticeAngle * sum *
                                       static_cast<double>(10.0f));
    const double edge = std::fabs(static_cast<double>(SinF(k))) * static_cast<double>(0.6f) +
                        static_cast<double>(0.2f);
    return static_cast<float>(edge);
}

static void DrawLattice() {
    // Float loop variables stepped by 1.0 take exactly -2, -1, 0, 1, 2.
    for (float x = -2.0f; x <= 2.0f; x += 1.0f) {
        for (float y = -2.0f; y <= 2.0f; y += 1.0f) {
            for (float z = -2.0f; z <= 2.0f; z += 1.0f) {
                DrawCube(x, y, z, PulsingEdge(x, y, z));
            }
        }
    }
}

static void DrawFramedPicture() {
    // A plain quad in the current colour (white), 2 units behind the picture
    // and larger on every side, so the depth test leaves a white border.
    glBegin(GL_QUADS);
    glVertex3f(-13.0f, -7.0f, -2.0f);
    glVertex3f(-5.0f, -7.0f, -2.0f);
    glVertex3f(-5.0f, 7.0f, -2.0f);
    glVertex3f(-13.0f, 7.0f, -2.0f);
    glEnd();

    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, textureNames[kSlotGreetings]);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-11.5f, -6.0f, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(-5.5f, -6.0f, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(-5.5f, 6.0f, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-11.5f, 6.0f, 0.0f);
    glEnd();
}

void AdvanceCubeLattice(double frameMs) {
    latticeAngle = static_cast<float>(latticeAngle + kAngleRate * frameMs);
}

void DrawCubeLattice(double frameMs) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glEnable(GL_LIGHTING);
    glTranslatef(3.0f, 0.0f, -20.0f);
    glPushMatrix();
    glRotatef(latticeAngle, 0.7f, 0.3f, 0.1f);
    glDisable(GL_TEXTURE_2D);
    // The lattice swings around the rotation centre as it turns.
    glTranslatef(1.0f, 0.0f, 0.0f);
    DrawLattice();
    AdvanceCubeLattice(frameMs);
    glPopMatrix();

    glDisable(GL_LIGHTING);
    DrawFramedPicture();
}
