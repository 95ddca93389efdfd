// Placeholder scenes: a plain clear until the real scenes land.
#include "platform/gl.h"
#include "show/scenes.h"

float shrinkAccumulator = 1.0f;
float pathParameter = 0.0f;
float polyhedronAngle = 0.0f;
float latticeAngle = 0.0f;

static void ClearFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
}
void DrawOpeningPicture(double) {
    ClearFrame();
}
void DrawShrinkingPicture(double) {
    ClearFrame();
}
void DrawBezierPath(double) {
    ClearFrame();
}
void DrawPulsingPolyhedron(double) {
    ClearFrame();
}
void DrawCubeLattice(double) {
    ClearFrame();
}
