#include "platform/web/web_still.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "frame_schedule.h"
#include "platform/gl.h"
#include "platform/web/web_page.h"
#include "platform/webgl/gl11.h"
#include "platform/webgl/webgl_context.h"
#include "record_options.h"
#include "shell/demo_main.h"
#include "show/show.h"

// The frames before the still are stepped at the recorder's default rate, so
// the scenes' values add up to what its still shows.
static const int kStillFps = RecordOptions().fps;

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
    if (!LoadShow(kDisplayWidth, kDisplayHeight)) {
        WebPageFail("Initialization Failed.");
        return 1;
    }
    StepShowToStill(StillShowTimeMs(seconds), kStillFps, nullptr);
    Gl11FlushDraws();
    // The show never asks; a still that met an error is not one to trust.
    const GLenum error = glGetError();
    if (error != GL_NO_ERROR) {
        char message[64];
        std::snprintf(message, sizeof message, "The GL layer reported error 0x%04X.", error);
        WebPageFail(message);
        return 1;
    }
    WebPageMarkReady(static_cast<int>(Gl11DrawsSinceColorClear()));
    return 0;
}
