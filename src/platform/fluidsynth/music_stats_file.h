// The player's live counts, published for a watcher outside the process:
// when the environment names a file in VUP_MUSIC_STATS, every change of a
// count rewrites that file (atomically, by rename). Without the variable
// nothing is written. Used by the soak test to see that re-opening the display
// never leaves two synths playing.
#pragma once

// Writes the current counts, the highest each has reached and how many synths
// have been made so far. The caller serialises calls (one per count change).
void MusicPublishStats();
