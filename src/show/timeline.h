// The show's fixed 85-second schedule.
#pragma once

// Draws the scene whose interval holds the elapsed time; 1 while the show goes
// on, 0 once it is over.
int RunTimeline(double frameMs, double elapsedMs);

// RunTimeline's turn without GL: the scene's values advance as its drawing
// would advance them, and nothing is drawn or set in GL.
int AdvanceTimeline(double frameMs, double elapsedMs);

// The scene whose interval holds the elapsed time, counted from 0 in the
// schedule's order; -1 on a bound between two, and after the end.
int TimelineSceneAt(double elapsedMs);
