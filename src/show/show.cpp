#include "show/show.h"

#include <algorithm>
#include <iterator>

#include "assets/scene_resources.h"
#include "platform/gl.h"
#include "show/scenes.h"
#include "show/viewport.h"

int LoadShow(int width, int height) {
    ResizeViewport(width, height);
    return InitScene();
}

ShowValues SaveShowValues() {
    ShowValues values = {shrinkAccumulator, pathParameter, polyhedronAngle, latticeAngle, {}};
    std::copy(std::begin(lightPosition), std::end(lightPosition), values.lightPosition);
    return values;
}

void RestoreShowValues(const ShowValues& values) {
    shrinkAccumulator = values.shrinkAccumulator;
    pathParameter = values.pathParameter;
    polyhedronAngle = values.polyhedronAngle;
    latticeAngle = values.latticeAngle;
    std::copy(std::begin(values.lightPosition), std::end(values.lightPosition), lightPosition);
}

void ResetShowValues() {
    ShowValues start = {kShrinkAccumulatorStart, kPathParameterStart, kPolyhedronAngleStart,
                        kLatticeAngleStart, {}};
    std::copy(std::begin(kLightPositionStart), std::end(kLightPositionStart), start.lightPosition);
    RestoreShowValues(start);
}

void ResetShowState() {
    ResetShowValues();
    std::fill(std::begin(textureNames), std::end(textureNames), 0u);
    songHandle = nullptr;
}

int64_t FrameShowTimeMs(int64_t frame, int fps) {
    // Frames are never negative, so integer division rounds down.
    return frame * 1000 / fps;
}

int64_t FrameDeltaMs(int64_t frame, int fps) {
    if (frame <= 0) {
        return 0;
    }
    return FrameShowTimeMs(frame, fps) - FrameShowTimeMs(frame - 1, fps);
}

// An empty scissor box discards every fragment, clears included, while the
// scenes still run all their code. No scene touches the scissor test.
static int RunTurn(int64_t frameMs, int64_t showMs, int draw) {
    if (draw) {
        glDisable(GL_SCISSOR_TEST);
    } else {
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, 0, 0, 0);
    }
    return RunTimeline(static_cast<double>(frameMs), static_cast<double>(showMs));
}

int RunShowFrame(int64_t frame, int fps, int draw) {
    return RunTurn(FrameDeltaMs(frame, fps), FrameShowTimeMs(frame, fps), draw);
}

// The frames before a still at fps: the first whose time reaches it.
static int64_t FramesBefore(int64_t stillMs, int fps) {
    int64_t frameCount = 0;
    while (FrameShowTimeMs(frameCount, fps) < stillMs) {
        ++frameCount;
    }
    return frameCount;
}

// Once every turn before the moment's last two has run.
static void NoteMoment(int64_t stillMs, int fps, int64_t frameCount, ShowMoment* moment) {
    moment->values = SaveShowValues();
    moment->previousMs = frameCount > 0 ? FrameShowTimeMs(frameCount - 1, fps) : -1;
    moment->previousDeltaMs = frameCount > 0 ? FrameDeltaMs(frameCount - 1, fps) : 0;
    moment->ms = stillMs;
    moment->deltaMs = stillMs - (frameCount > 0 ? moment->previousMs : 0);
}

int StepShowToMoment(int64_t stillMs, int fps, int (*stop)(), ShowMoment* moment) {
    const int64_t frameCount = FramesBefore(stillMs, fps);
    for (int64_t n = 0; n + 1 < frameCount; ++n) {
        if (stop != nullptr && stop() != 0) {
            return 0;
        }
        RunShowFrame(n, fps, 0);
    }
    if (frameCount > 0 && stop != nullptr && stop() != 0) {
        return 0;
    }
    NoteMoment(stillMs, fps, frameCount, moment);
    return 1;
}

void SeekShowToMoment(int64_t stillMs, int fps, ShowMoment* moment) {
    ResetShowValues();
    const int64_t frameCount = FramesBefore(stillMs, fps);
    for (int64_t n = 0; n + 1 < frameCount; ++n) {
        const int64_t ms = FrameShowTimeMs(n, fps);
        const int scene = TimelineSceneAt(static_cast<double>(ms));
        const int nextScene = TimelineSceneAt(static_cast<double>(FrameShowTimeMs(n + 1, fps)));
        if (scene >= 0 && scene == nextScene) {
            AdvanceTimeline(static_cast<double>(FrameDeltaMs(n, fps)), static_cast<double>(ms));
        } else {
            RunShowFrame(n, fps, 0);
        }
    }
    NoteMoment(stillMs, fps, frameCount, moment);
}

void DrawShowMoment(const ShowMoment& moment) {
    RestoreShowValues(moment.values);
    if (moment.previousMs >= 0) {
        RunTurn(moment.previousDeltaMs, moment.previousMs, 1);
    }
    RunTurn(moment.deltaMs, moment.ms, 1);
}

int StepShowToStill(int64_t stillMs, int fps, int (*stop)()) {
    ShowMoment moment;
    if (!StepShowToMoment(stillMs, fps, stop, &moment)) {
        return 0;
    }
    DrawShowMoment(moment);
    return 1;
}
