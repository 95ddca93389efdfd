// The show's fixed schedule (show/schedule.h) run frame by frame.
#pragma once

// Draws the scene whose interval holds the elapsed time; 1 while the show goes
// on, 0 once it is over.
int RunTimeline(double frameMs, double elapsedMs);
