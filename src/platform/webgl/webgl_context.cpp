#include "platform/webgl/webgl_context.h"

#include <cstdint>

#include "platform/webgl/gl11.h"

// webgl_backend.js
extern "C" int VupWebglCreate(const char* canvasId, int32_t* width, int32_t* height);

int WebglOpenContext(const char* canvasId) {
    int32_t width = 0;
    int32_t height = 0;
    if (!VupWebglCreate(canvasId, &width, &height)) {
        return 0;
    }
    Gl11ResetContext(width, height);
    return 1;
}
