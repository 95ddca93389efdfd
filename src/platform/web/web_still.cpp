#include "platform/web/web_still.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "assets/scene_resources.h"
#include "frame_schedule.h"
#include "platform/gl.h"
#include "platform/web/web_page.h"
#include "platform/webgl/gl11.h"
#include "platform/webgl/webgl_context.h"
#include "shell/demo_main.h"
#include "shell/display.h"
#include "show/timeline.h"

// The recorder's default rate: the frames before the still are stepped at it,
// so the scenes' values add up to what the recorder's still shows.
static constexpr int kStillFps = 60;
static constexpr double kShowSeconds = 85.0;

static bool ParseSeconds(const char* text, double* seconds) {
    if (text == nullptr || *text == '\0') {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    const double parsed = std::strtod(text, &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(parsed) || parsed < 0.0 ||
        parsed > kShowSeconds) {
        return false;
    }
    *seconds = parsed;
    return true;
}

// TEMPORARY: the recorder's drawing turn on its virtual clock (vup-record's
// show driver), repeated here until the show has one shared way to step to a
// still. A turn that is not drawn runs the scenes behind an empty scissor
// box, which the GL layer turns into no work at all.
static int64_t previousShowMs = 0;

static void RunTurn(int64_t showMs, bool draw) {
    const double frameMs = static_cast<double>(showMs - previousShowMs);
    previousShowMs = showMs;
    if (draw) {
        glDisable(GL_SCISSOR_TEST);
    } else {
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, 0, 0, 0);
    }
    RunTimeline(frameMs, static_cast<double>(showMs));
}

int WebStillRun(const char* secondsText) {
    double seconds = 0.0;
    if (!ParseSeconds(secondsText, &seconds)) {
        WebPageFail("still= needs a show time from 0 to 85 seconds.");
        return 1;
    }
    if (!WebglOpenContext(kWebCanvasId)) {
        WebPageFail("This browser cannot draw with WebGL.");
        return 1;
    }
    ResizeViewport(kDisplayWidth, kDisplayHeight);
    if (!InitScene()) {
        WebPageFail("Initialization Failed.");
        return 1;
    }

    const int64_t stillMs = StillShowTimeMs(seconds);
    int64_t frameCount = 0;
    while (FrameShowTimeMs(frameCount, kStillFps) < stillMs) {
        ++frameCount;
    }
    for (int64_t n = 0; n < frameCount; ++n) {
        RunTurn(FrameShowTimeMs(n, kStillFps), n == frameCount - 1);
    }
    Gl11FlushDraws();
    const int64_t drawsBefore = Gl11DrawCount();
    RunTurn(stillMs, true);
    Gl11FlushDraws();
    // The show never asks; a still that met an error is not one to trust.
    const GLenum error = glGetError();
    if (error != GL_NO_ERROR) {
        char message[64];
        std::snprintf(message, sizeof message, "The GL layer reported error 0x%04X.", error);
        WebPageFail(message);
        return 1;
    }
    WebPageMarkReady(static_cast<int>(Gl11DrawCount() - drawsBefore));
    return 0;
}
