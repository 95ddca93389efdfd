// The show as one thing to drive, for whatever holds its OpenGL context: the
// live display, vup-record, the benchmarks, the render tests, a web page.
// Load it at a size, then draw turns: RunTimeline (show/timeline.h) with the
// live clock's frame delta and elapsed time, or the virtual clock below.
//
// Needs: a current OpenGL 1.1 context with GLU, the platform's message box
// and focus calls (the picture reader reports through them) and the sound
// library calls InitScene makes. Nothing of a window layer, EGL or an
// encoder.
#pragma once

#include <cstdint>

#include "show/timeline.h"

// The viewport and projection for a width x height picture, then the scene
// resources (InitScene), in the order a display open makes them. 1 on
// success; 0 when a picture could not be loaded (the reader has said why).
int LoadShow(int width, int height);

// Puts the scenes' persistent values, the light's position, the texture
// names and the song back to their start values, as a fresh process has
// them. The show itself never calls it; ResetProcessState
// (shell/process_reset.h) does, and drivers that only draw the show (the
// render tests, the page's title picture).
void ResetShowState();

// The scenes' persistent values and the light's position: everything a turn
// reads besides its two times and advances after drawing.
struct ShowValues {
    float shrinkAccumulator;
    float pathParameter;
    float polyhedronAngle;
    float latticeAngle;
    float lightPosition[4];
};
ShowValues SaveShowValues();
void RestoreShowValues(const ShowValues& values);
// The values a fresh process starts with; textures and the song are kept.
void ResetShowValues();

// The virtual clock: the show without a real clock, as a live loop drawing
// at a fixed frame rate would see it. Every time is a whole number of
// milliseconds, as the live clock's readings are, so the scenes' values add
// up exactly as they would live. Frame 0 is the load, at show time 0.

// Show time of frame N at fps frames a second: N * 1000 / fps rounded down,
// the reading a millisecond clock would give at that moment.
int64_t FrameShowTimeMs(int64_t frame, int fps);

// Milliseconds between frame N - 1 and frame N; frame 0's is 0.
int64_t FrameDeltaMs(int64_t frame, int fps);

// The drawing turn of frame N, after frames 0 .. N - 1 have had theirs.
// With draw 0 the turn only runs: the scenes advance their values and the
// light, but no pixel changes, which makes skipping ahead cheap. Returns
// RunTimeline's result: 0 once the show is over.
int RunShowFrame(int64_t frame, int fps, int draw);

// The show at stillMs, reached as a recording at fps reaches it: the turns
// of every frame before that moment, drawn only for the last of them (a
// turn on an interval bound draws nothing and shows what the buffer held),
// then the moment itself, drawn. Starts from frame 0, so the show must be
// freshly loaded. stop, when not null, is asked before each turn; when it
// answers non-zero the stepping ends there and 0 is returned. 1 once the
// still is drawn.
int StepShowToStill(int64_t stillMs, int fps, int (*stop)());

// A moment of the show that can be drawn again and again, the same (a show
// paused there): the values before the last turn that leads to it, that
// turn, drawn so that a moment on an interval bound shows what it would, and
// the moment's own turn.
struct ShowMoment {
    ShowValues values;
    int64_t previousMs;  // -1 when the moment is the show's start
    int64_t previousDeltaMs;
    int64_t ms;
    int64_t deltaMs;
};

// StepShowToStill without drawing the still: the turns before its last two,
// none drawn, and the moment noted. 0 when stop asked to end there.
int StepShowToMoment(int64_t stillMs, int fps, int (*stop)(), ShowMoment* moment);

// StepShowToMoment for a live show moved there: the values are reset first,
// and a turn whose scene goes on at the next only advances its values, with
// no GL; the last turn of each scene runs in GL, undrawn, for the state it
// leaves (light 1's position). Milliseconds where StepShowToMoment takes a
// second and more, and the moment drawn the same.
void SeekShowToMoment(int64_t stillMs, int fps, ShowMoment* moment);

// The moment's last two turns from its values: the still, as StepShowToStill
// draws it. The values are left advanced by both turns, as after a live turn.
void DrawShowMoment(const ShowMoment& moment);
