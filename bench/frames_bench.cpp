// vup_bench_frames --calls=FILE [--verify] [benchmark flags]
//
// Frames at 800 x 600 on the offscreen Mesa context, side by side in one run:
// an empty frame (clear and finish), and for each measured scene state the
// show's own frame and a replay of the same frame's captured GL calls from a
// flat array, with no show logic. Each frame ends with glFinish, which waits
// for the rasteriser as a present would. Rates are frames per second of wall
// time (the driver renders on its own threads, so CPU time would miss it).
//
// --verify draws each state both ways and compares the pixels: the replay
// must draw exactly the show's frame, or the comparison means nothing.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "assets/scene_resources.h"
#include "call_stream.h"
#include "platform/egl/offscreen_gl.h"
#include "platform/gl.h"
#include "scene_states.h"
#include "show_driver.h"

static constexpr int kWidth = 800;
static constexpr int kHeight = 600;

static std::vector<CallStream> capturedFrames;

static void SetFrameRate(benchmark::State& state) {
    state.counters["frames_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

static void EmptyFrame(benchmark::State& state) {
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glFinish();
    }
    SetFrameRate(state);
}

static void ShowFrame(benchmark::State& state, const SceneState* scene) {
    scene->apply();
    for (auto _ : state) {
        DrawSceneState(*scene);
        glFinish();
    }
    SetFrameRate(state);
}

static void ReplayFrame(benchmark::State& state, const CallStream* frame) {
    for (auto _ : state) {
        ReplayCallStream(*frame, textureNames);
        glFinish();
    }
    SetFrameRate(state);
}

static std::vector<uint8_t> ReadFrame() {
    std::vector<uint8_t> pixels(static_cast<size_t>(kWidth) * kHeight * 4);
    OffscreenGlReadPixels(pixels.data());
    return pixels;
}

static int Verify() {
    int failures = 0;
    for (int i = 0; i < kSceneStateCount; ++i) {
        const SceneState& scene = kSceneStates[i];
        scene.apply();
        DrawSceneState(scene);
        const std::vector<uint8_t> shown = ReadFrame();
        glClearColor(1.0f, 0.0f, 1.0f, 1.0f);  // a stale frame cannot pass
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
        ReplayCallStream(capturedFrames[i], textureNames);
        const std::vector<uint8_t> replayed = ReadFrame();
        size_t differing = 0;
        size_t lit = 0;
        for (size_t p = 0; p < shown.size(); p += 4) {
            differing += std::memcmp(&shown[p], &replayed[p], 3) != 0;
            lit += shown[p] != 0 || shown[p + 1] != 0 || shown[p + 2] != 0;
        }
        const bool ok = differing == 0 && lit > 0;
        std::printf("%-18s %6u calls  %7zu lit pixels  %7zu differ  %s\n", scene.name,
                    capturedFrames[i].callCount, lit, differing, ok ? "ok" : "FAIL");
        failures += ok ? 0 : 1;
    }
    return failures == 0 ? 0 : 1;
}

static void RegisterFrameBenchmarks() {
    benchmark::RegisterBenchmark("Frame/Empty", EmptyFrame)->UseRealTime();
    for (int i = 0; i < kSceneStateCount; ++i) {
        const std::string name = kSceneStates[i].name;
        benchmark::RegisterBenchmark(("Frame/Show/" + name).c_str(), ShowFrame, &kSceneStates[i])
            ->UseRealTime();
        benchmark::RegisterBenchmark(("Frame/Replay/" + name).c_str(), ReplayFrame,
                                     &capturedFrames[i])
            ->UseRealTime();
    }
}

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    std::string callsPath;
    bool verify = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--calls=", 8) == 0) {
            callsPath = argv[i] + 8;
        } else if (std::strcmp(argv[i], "--verify") == 0) {
            verify = true;
        } else {
            std::fprintf(stderr, "vup_bench_frames: unknown argument %s\n", argv[i]);
            return 2;
        }
    }
    std::string error;
    if (callsPath.empty() || !LoadCallStreams(callsPath, &capturedFrames, &error)) {
        std::fprintf(
            stderr, "vup_bench_frames: %s\n",
            callsPath.empty() ? "--calls=FILE (from vup_bench_capture) is needed" : error.c_str());
        return 2;
    }
    bool matches = static_cast<int>(capturedFrames.size()) == kSceneStateCount;
    for (int i = 0; matches && i < kSceneStateCount; ++i) {
        matches = capturedFrames[i].name == kSceneStates[i].name;
    }
    if (!matches) {
        std::fprintf(stderr, "vup_bench_frames: %s holds other scenes; capture again\n",
                     callsPath.c_str());
        return 2;
    }
    // The pictures from Data/ in the working directory, as the show loads them.
    if (!OpenShow(kWidth, kHeight, &error)) {
        std::fprintf(stderr, "vup_bench_frames: %s\n", error.c_str());
        return 1;
    }
    int status = 0;
    if (verify) {
        status = Verify();
    } else {
        RegisterFrameBenchmarks();
        benchmark::RunSpecifiedBenchmarks();
    }
    benchmark::Shutdown();
    CloseShow();
    return status;
}
