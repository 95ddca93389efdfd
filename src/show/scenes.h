// The show's scenes. Each draws one complete frame into the back buffer,
// clearing it first, and advances its own persistent value by frameMs.
#pragma once

void DrawOpeningPicture(double frameMs);
void DrawShrinkingPicture(double frameMs);
void DrawBezierPath(double frameMs);
void DrawPulsingPolyhedron(double frameMs);
void DrawCubeLattice(double frameMs);

// Persistent animation values, one per animated scene, never reset.
extern float shrinkAccumulator;
extern float pathParameter;
extern float polyhedronAngle;
extern float latticeAngle;
