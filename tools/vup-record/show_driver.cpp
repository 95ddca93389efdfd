#include "show_driver.h"

#include <cstring>
#include <vector>

#include "platform/egl/offscreen_gl.h"
#include "platform/gl.h"
#include "show/show.h"

static std::vector<uint8_t> bottomUpFrame;

int OpenShow(int width, int height, std::string* error) {
    if (!OffscreenGlCreate(width, height)) {
        *error = "no offscreen OpenGL context (EGL with Mesa is needed)";
        return 0;
    }
    if (!LoadShow(width, height)) {
        OffscreenGlDestroy();
        *error = "Initialization Failed. (the pictures under Data/ could not be loaded)";
        return 0;
    }
    bottomUpFrame.assign(static_cast<size_t>(width) * height * 4, 0);
    return 1;
}

void CloseShow() {
    OffscreenGlDestroy();
    bottomUpFrame.clear();
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
