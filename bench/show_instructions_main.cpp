// vup_bench_show_instructions [FRAMES]: instructions of the show's own code
// per frame, counted by Valgrind's callgrind, which gives the same count on
// every run. Run it as
//   valgrind --tool=callgrind --collect-atstart=no vup_bench_show_instructions
// Each scene state's frames are collected alone and dumped under the
// state's name; GL calls go to entry points that do nothing (noop_gl.cpp).
#include <valgrind/callgrind.h>

#include <cstdio>
#include <cstdlib>

#include "scene_states.h"

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::atoi(argv[1]) : 100;
    if (frames <= 0) {
        std::fprintf(stderr, "usage: vup_bench_show_instructions [FRAMES]\n");
        return 2;
    }
    if (!RUNNING_ON_VALGRIND) {
        std::fprintf(stderr, "note: not under valgrind; nothing is counted\n");
    }
    for (int i = 0; i < kSceneStateCount; ++i) {
        const SceneState& scene = kSceneStates[i];
        scene.apply();
        DrawSceneState(scene);  // first touches outside the count
        CALLGRIND_ZERO_STATS;
        CALLGRIND_TOGGLE_COLLECT;
        for (int frame = 0; frame < frames; ++frame) {
            DrawSceneState(scene);
        }
        CALLGRIND_TOGGLE_COLLECT;
        CALLGRIND_DUMP_STATS_AT(scene.name);
        std::printf("%s %d frames\n", scene.name, frames);
    }
    return 0;
}
