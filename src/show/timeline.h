// The show's fixed 85-second schedule.
#pragma once

// Draws the scene whose interval holds the elapsed time; 1 while the show goes
// on, 0 once it is over.
int RunTimeline(double frameMs, double elapsedMs);
