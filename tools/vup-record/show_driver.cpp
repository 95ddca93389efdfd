#include "show_driver.h"

#include <cstring>
#include <vector>

#include "assets/scene_resources.h"
#include "platform/egl/offscreen_gl.h"
#include "platform/gl.h"
#include "shell/display.h"
#include "show/timeline.h"

// The reading of the previous drawing turn; the show's start reads 0.
static int64_t previousShowMs = 0;
static std::vector<uint8_t> bottomUpFrame;

int OpenShow(int width, int height, std::string* error) {
    if (!OffscreenGlCreate(width, height)) {
        *error = "no offscreen OpenGL context (EGL with Mesa is needed)";
        return 0;
    }
    // The live display sets its viewport, then loads the scene; a window
    // resized to another size gets the same call with its new size, which is
    // all that differs here.
    ResizeViewport(width, height);
    if (!InitScene()) {
        OffscreenGlDestroy();
        *error = "Initialization Failed. (the pictures under Data/ could not be loaded)";
        return 0;
    }
    previousShowMs = 0;
    bottomUpFrame.assign(static_cast<size_t>(width) * height * 4, 0);
    return 1;
}

void CloseShow() {
    OffscreenGlDestroy();
    bottomUpFrame.clear();
}

int RunShowTurn(int64_t showMs, bool draw) {
    const double frameMs = static_cast<double>(showMs - previousShowMs);
    previousShowMs = showMs;
    // An empty scissor box discards every fragment, clears included, while
    // the scenes still run all their code. No scene touches the scissor test.
    if (draw) {
        glDisable(GL_SCISSOR_TEST);
    } else {
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, 0, 0, 0);
    }
    return RunTimeline(frameMs, static_cast<double>(showMs));
}

void FinishShowFrame() {
    glFinish();
}

void ReadShowFrame(uint8_t* rgbaTopFirst) {
    OffscreenGlReadPixels(bottomUpFrame.data());
    // glReadPixels delivers the bottom row first.
    const int height = OffscreenGlHeight();
    const size_t rowBytes = static_cast<size_t>(OffscreenGlWidth()) * 4;
    for (int y = 0; y < height; ++y) {
        std::memcpy(rgbaTopFirst + static_cast<size_t>(y) * rowBytes,
                    bottomUpFrame.data() + static_cast<size_t>(height - 1 - y) * rowBytes,
                    rowBytes);
    }
}

int ShowWidth() {
    return OffscreenGlWidth();
}

int ShowHeight() {
    return OffscreenGlHeight();
}
