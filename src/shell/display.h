// The display: a window of class "OpenGL" with an OpenGL context on its
// device context, fullscreen over a switched display mode or windowed.
#pragma once

#include <cstdint>

#include "platform/platform.h"

extern InstanceHandle appInstance;
extern WindowHandle displayWindow;
extern DeviceContextHandle displayDC;
extern RenderContextHandle renderContext;

// One request for the whole run; its variable part is filled once, by the
// first open that gets past window creation.
extern PixelFormatRequest pixelFormatRequest;

constexpr const char* kWindowClassName = "OpenGL";

// 1 when the display is open and the scene resources are loaded; 0 after any
// failure, which has shown its message box and closed what it made.
int OpenDisplay(const char* title, int width, int height, int colorBits, uint8_t fullscreen);

// Releases everything the display holds, attempting every release and
// reporting each failure; handles end up null.
void CloseDisplay();

// Forgets the handles and the filled pixel-format request, as a fresh
// process starts (releasing nothing: the platform's own reset does that).
void ResetDisplayState();

intptr_t DisplayWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam,
                           intptr_t lParam);
