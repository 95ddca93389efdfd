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

void ResetShowState() {
    shrinkAccumulator = kShrinkAccumulatorStart;
    pathParameter = kPathParameterStart;
    polyhedronAngle = kPolyhedronAngleStart;
    latticeAngle = kLatticeAngleStart;
    std::copy(std::begin(kLightPositionStart), std::end(kLightPositionStart), lightPosition);
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

int StepShowToStill(int64_t stillMs, int fps, int (*stop)()) {
    int64_t frameCount = 0;
    while (FrameShowTimeMs(frameCount, fps) < stillMs) {
        ++frameCount;
    }
    for (int64_t n = 0; n < frameCount; ++n) {
        if (stop != nullptr && stop() != 0) {
            return 0;
        }
        RunShowFrame(n, fps, n == frameCount - 1);
    }
    const int64_t previousMs = frameCount > 0 ? FrameShowTimeMs(frameCount - 1, fps) : 0;
    RunTurn(stillMs - previousMs, stillMs, 1);
    return 1;
}
