// The opening picture (slot 1, still) and the shrinking picture: slot 1
// shrinking toward its centre by an exponential law, then the end picture
// (slot 2) once it has shrunk to nothing.
#include "assets/scene_resources.h"
#include "geometry/vector.h"
#include "platform/gl.h"
#include "show/scenes.h"

// Milliseconds of shrinking so far, plus one. Frozen once the shrink ends.
float shrinkAccumulator = kShrinkAccumulatorStart;

// Base of the shrink law: the square's sides move in by base^accumulator - 1.
static constexpr float kShrinkBase = 1.001f;
// The sides have met in the middle (the square was 20 units wide).
static constexpr float kShrinkEnd = 10.0f;

static void BeginPictureFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glTranslatef(0.0f, 0.0f, -20.0f);
}

// A textured quad facing the viewer from its lower-left to its upper-right
// corner; texture (0, 0) is the picture's bottom-left.
static void DrawPictureQuad(float left, float bottom, float right, float top) {
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(left, bottom, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(right, bottom, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(right, top, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(left, top, 0.0f);
    glEnd();
}

void DrawOpeningPicture(double /*frameMs*/) {
    BeginPictureFrame();
    glBindTexture(GL_TEXTURE_2D, textureNames[kSlotMain]);
    DrawPictureQuad(-7.0f, -14.0f, 13.0f, 6.0f);
}

static float ShrinkAt(float accumulator) {
    return static_cast<float>(PowF(kShrinkBase, accumulator) - 1.0);
}

void AdvanceShrinkingPicture(double frameMs) {
    // Once gone, the picture stays gone: the accumulator stops.
    if (ShrinkAt(shrinkAccumulator) < kShrinkEnd) {
        shrinkAccumulator = static_cast<float>(shrinkAccumulator + frameMs);
    }
}

void DrawShrinkingPicture(double frameMs) {
    BeginPictureFrame();
    const float shrink = ShrinkAt(shrinkAccumulator);
    if (shrink < kShrinkEnd) {
        glBindTexture(GL_TEXTURE_2D, textureNames[kSlotMain]);
        DrawPictureQuad(shrink - 7.0f, shrink - 14.0f, 13.0f - shrink, 6.0f - shrink);
        AdvanceShrinkingPicture(frameMs);
    } else {
        glBindTexture(GL_TEXTURE_2D, textureNames[kSlotEnd]);
        DrawPictureQuad(-7.0f, -7.0f, 7.0f, 7.0f);
    }
}
