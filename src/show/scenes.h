// The show's scenes. Each draws one complete frame into the back buffer,
// clearing it first, and advances its own persistent value by frameMs.
#pragma once

void DrawOpeningPicture(double frameMs);
void DrawShrinkingPicture(double frameMs);
void DrawBezierPath(double frameMs);
void DrawPulsingPolyhedron(double frameMs);
void DrawCubeLattice(double frameMs);

// What each animated scene's turn does to its persistent value (and the
// path's to the light), without drawing: a show moved to a moment steps
// through the turns before it with these.
void AdvanceShrinkingPicture(double frameMs);
void AdvanceBezierPath(double frameMs);
void AdvancePulsingPolyhedron(double frameMs);
void AdvanceCubeLattice(double frameMs);

// Persistent animation values, one per animated scene. The show never resets
// them; ResetShowState (show/show.h) puts them back to their start values.
extern float shrinkAccumulator;
constexpr float kShrinkAccumulatorStart = 1.0f;
extern float pathParameter;
constexpr float kPathParameterStart = 0.0f;
extern float polyhedronAngle;
constexpr float kPolyhedronAngleStart = 0.0f;
extern float latticeAngle;
constexpr float kLatticeAngleStart = 0.0f;
