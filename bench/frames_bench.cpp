// vup_bench_frames --calls=FILE [--verify] [benchmark flags]
//
// Frames at 800 x 600 on the offscreen Mesa context, side by side in one run:
// an empty frame (clear and finish), and for each measured scene state the
// show's own frame and a replay of the same frame's captured GL calls from a
// flat array, with no show logic, taking turns. Each frame ends with
// glFinish, which waits for the rasteriser as a present would. Times are
// wall time (the driver renders on its own threads, so CPU time would miss
// it), as medians per frame.
//
// --verify draws each state both ways and compares the pixels: the replay
// must draw exactly the show's frame, or the comparison means nothing.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "assets/scene_resources.h"
#include "call_stream.h"
#include "platform/egl/offscreen_gl.h"
#include "platform/gl.h"
#include "scene_states.h"
#include "show/show.h"
#include "show/show_time.h"
#include "show_driver.h"

static constexpr int kWidth = 800;
static constexpr int kHeight = 600;

static std::vector<CallStream> capturedFrames;

// Wall time of one frame, from its first call to the end of glFinish.
template <typename DrawFrame>
static double TimeFrameNs(DrawFrame draw) {
    const auto start = std::chrono::steady_clock::now();
    draw();
    glFinish();
    return std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start)
        .count();
}

// The median is what a frame usually takes: a frame that another process
// on the machine delayed does not move it.
static double MedianOf(std::vector<double> values) {
    if (values.empty()) {
        return 0.0;
    }
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

static void EmptyFrame(benchmark::State& state) {
    std::vector<double> times;
    for (auto _ : state) {
        times.push_back(TimeFrameNs([] { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); }));
    }
    state.counters["frame_ns"] = MedianOf(times);
}

// The show's frame and the replay of its calls in turns, A B B A ..., so that
// both meet the same moments of the machine's load; the counters are each
// side's median frame time.
static void ShowAgainstReplay(benchmark::State& state, int index) {
    const SceneState& scene = kSceneStates[index];
    const CallStream& frame = capturedFrames[index];
    scene.apply();
    std::vector<double> show;
    std::vector<double> replay;
    bool showFirst = true;
    for (auto _ : state) {
        const auto drawShow = [&] { DrawSceneState(scene); };
        const auto drawReplay = [&] { ReplayCallStream(frame, textureNames); };
        if (showFirst) {
            show.push_back(TimeFrameNs(drawShow));
            replay.push_back(TimeFrameNs(drawReplay));
        } else {
            replay.push_back(TimeFrameNs(drawReplay));
            show.push_back(TimeFrameNs(drawShow));
        }
        showFirst = !showFirst;
    }
    const double showNs = MedianOf(show);
    const double replayNs = MedianOf(replay);
    state.counters["show_ns"] = showNs;
    state.counters["replay_ns"] = replayNs;
    state.counters["show_per_replay_rate"] = showNs > 0.0 ? replayNs / showNs : 0.0;
}

// A live show moved by a key: stepped from the start to the moment and the
// moment drawn. Each repetition sweeps every 5 s from the end back to the
// start and forward again, as the arrow keys do, plus moments between; the
// counters are the sweep's worst and median seek.
static void SeekSweep(benchmark::State& state) {
    std::vector<int64_t> targets;
    for (int64_t ms = static_cast<int64_t>(kShowSeconds * 1000.0); ms >= 0; ms -= 5000) {
        targets.push_back(ms);
    }
    for (int64_t ms = 2500; ms < static_cast<int64_t>(kShowSeconds * 1000.0); ms += 5000) {
        targets.push_back(ms + 17);
    }
    std::vector<double> worst;
    std::vector<double> all;
    for (auto _ : state) {
        double sweepWorst = 0.0;
        for (const int64_t ms : targets) {
            const double ns = TimeFrameNs([ms] {
                ShowMoment moment;
                SeekShowToMoment(ms, kDefaultFrameRate, &moment);
                DrawShowMoment(moment);
            });
            sweepWorst = std::max(sweepWorst, ns);
            all.push_back(ns);
        }
        worst.push_back(sweepWorst);
    }
    state.counters["worst_seek_ns"] = MedianOf(worst);
    state.counters["median_seek_ns"] = MedianOf(all);
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
    benchmark::RegisterBenchmark("Frame/SeekSweep", SeekSweep)->UseRealTime();
    for (int i = 0; i < kSceneStateCount; ++i) {
        benchmark::RegisterBenchmark(
            (std::string("Frame/ShowAgainstReplay/") + kSceneStates[i].name).c_str(),
            ShowAgainstReplay, i)
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
    // The driver the figures belong to, in the JSON output's context.
    benchmark::AddCustomContext("gl_renderer",
                                reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    benchmark::AddCustomContext("gl_version",
                                reinterpret_cast<const char*>(glGetString(GL_VERSION)));
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
