// vup_bench_show_cpu: the show's own code per frame, with every GL call
// going to an entry point that does nothing. What is left is the scene's
// arithmetic and loops and the cost of making the calls, the part of a
// frame that is the show's and not the driver's.
#include <benchmark/benchmark.h>

#include "scene_states.h"

static void ShowCode(benchmark::State& state, const SceneState* scene) {
    scene->apply();
    for (auto _ : state) {
        DrawSceneState(*scene);
        benchmark::ClobberMemory();
    }
}

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    for (int i = 0; i < kSceneStateCount; ++i) {
        benchmark::RegisterBenchmark((std::string("ShowCode/") + kSceneStates[i].name).c_str(),
                                     ShowCode, &kSceneStates[i]);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
