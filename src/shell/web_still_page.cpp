#include "shell/web_still_page.h"

#include <cstdint>
#include <cstdio>

#include "platform/gl.h"
#include "platform/web/web_page.h"
#include "platform/webgl/gl11.h"
#include "platform/webgl/webgl_context.h"
#include "shell/demo_main.h"
#include "shell/web_show_files.h"
#include "show/schedule.h"
#include "show/show.h"
#include "show/show_time.h"

int WebStillRun(const char* secondsText) {
    double seconds = 0.0;
    if (!ParseShowSeconds(secondsText, &seconds)) {
        char text[96];
        std::snprintf(text, sizeof(text), "still= needs a show time from 0 to %g seconds.",
                      kScheduleEndSeconds);
        WebPageFail(text);
        return 1;
    }
    if (WebFetchShowFiles(1) == 0) {
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
    StepShowToStill(StillShowTimeMs(seconds), kDefaultFrameRate, nullptr);
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
