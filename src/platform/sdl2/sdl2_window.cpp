// Windows, their device contexts, pixel formats and GL contexts.
#include <cstdlib>

#include "platform/common/window_classes.h"
#include "platform/sdl2/sdl2_objects.h"

static PlatformWindowObject* windows = nullptr;
static WindowHandle focusWindow = nullptr;

PlatformWindowObject* Sdl2Windows() {
    return windows;
}

PlatformWindowObject* Sdl2WindowFromId(Uint32 windowId) {
    for (PlatformWindowObject* window = windows; window; window = window->next) {
        if (SDL_GetWindowID(window->sdl) == windowId) {
            return window;
        }
    }
    return nullptr;
}

// SDL picks the X visual when the window is made, so the framebuffer
// attributes must be in force before then; a window made before any pixel
// format was set gets the show's own request (16 colour and 16 depth bits).
static PixelFormatRequest lastPixelFormat = {
    .nSize = sizeof(PixelFormatRequest),
    .nVersion = 1,
    .dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER,
    .iPixelType = PFD_TYPE_RGBA,
    .cColorBits = 16,
    .cDepthBits = 16,
};

void Sdl2ApplyPixelFormat(const PixelFormatRequest* request) {
    // At least these sizes: a 24-bit X display satisfies a 16-bit request.
    const bool deep = request->cColorBits > 16;
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, deep ? 8 : 5);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, deep ? 8 : 6);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, deep ? 8 : 5);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, request->cAlphaBits);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, request->cDepthBits);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, request->cStencilBits);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, (request->dwFlags & PFD_DOUBLEBUFFER) ? 1 : 0);
}

WindowHandle PlatformCreateWindow(uint32_t /*extendedStyle*/, const char* className,
                                  const char* title, uint32_t style, int x, int y, int width,
                                  int height, InstanceHandle instance) {
    const WindowProcedure procedure = WindowClassProcedure(className, instance);
    if (procedure == nullptr || !Sdl2VideoReady() || width <= 0 || height <= 0) {
        return nullptr;
    }
    Sdl2ApplyPixelFormat(&lastPixelFormat);

    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    SDL_DisplayMode mode;
    const bool fullscreen = (style & WS_POPUP) && Sdl2FullscreenMode(&mode);
    if (fullscreen) {
        flags |= SDL_WINDOW_FULLSCREEN;
    } else if (style & WS_OVERLAPPEDWINDOW) {
        flags |= SDL_WINDOW_RESIZABLE;
    }
    // The window manager adds the frame: sizes here are client sizes.
    SDL_Window* sdl = SDL_CreateWindow(title, x, y, width, height, flags);
    if (sdl == nullptr) {
        return nullptr;
    }
    if (fullscreen) {
        SDL_SetWindowDisplayMode(sdl, &mode);
    }
    auto* window = static_cast<PlatformWindowObject*>(std::calloc(1, sizeof(PlatformWindowObject)));
    if (window == nullptr) {
        SDL_DestroyWindow(sdl);
        return nullptr;
    }
    window->sdl = sdl;
    window->procedure = procedure;
    window->dc.window = window;
    window->next = windows;
    windows = window;
    return window;
}

int PlatformDestroyWindow(WindowHandle window) {
    PlatformWindowObject** link = &windows;
    while (*link && *link != window) {
        link = &(*link)->next;
    }
    if (*link == nullptr) {
        return 0;
    }
    *link = window->next;
    if (focusWindow == window) {
        focusWindow = nullptr;
    }
    SDL_DestroyWindow(window->sdl);
    std::free(window);
    return 1;
}

void PlatformShowWindow(WindowHandle window, int /*showCommand*/) {
    SDL_ShowWindow(window->sdl);
}

void PlatformSetForegroundWindow(WindowHandle window) {
    SDL_RaiseWindow(window->sdl);
}

void PlatformSetFocus(WindowHandle window) {
    focusWindow = window;
}

WindowHandle PlatformGetFocus() {
    return focusWindow;
}

void Sdl2SetFocusFromEvent(WindowHandle window, bool gained) {
    if (gained) {
        focusWindow = window;
    } else if (focusWindow == window) {
        focusWindow = nullptr;
    }
}

DeviceContextHandle PlatformGetDC(WindowHandle window) {
    return window ? &window->dc : nullptr;
}

int PlatformReleaseDC(WindowHandle window, DeviceContextHandle dc) {
    // The class's own device context lives as long as its window.
    return window != nullptr && dc == &window->dc;
}

int PlatformChoosePixelFormat(DeviceContextHandle dc, const PixelFormatRequest* request) {
    const uint32_t needed = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    if (dc == nullptr || request->nSize != sizeof(PixelFormatRequest) || request->nVersion != 1 ||
        (request->dwFlags & needed) != needed || request->iPixelType != PFD_TYPE_RGBA) {
        return 0;
    }
    // One format serves every request this backend accepts.
    return 1;
}

int PlatformSetPixelFormat(DeviceContextHandle dc, int format, const PixelFormatRequest* request) {
    // As on Windows, a window's pixel format is set once.
    if (dc == nullptr || format != 1 || dc->pixelFormat != 0) {
        return 0;
    }
    dc->pixelFormat = format;
    lastPixelFormat = *request;
    Sdl2ApplyPixelFormat(request);
    return 1;
}

RenderContextHandle PlatformCreateContext(DeviceContextHandle dc) {
    if (dc == nullptr || dc->pixelFormat == 0) {
        return nullptr;
    }
    // SDL makes a new context current; a created context should not be
    // current until it is asked to be, so the previous one is put back.
    SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
    SDL_GLContext previous = SDL_GL_GetCurrentContext();
    SDL_GLContext gl = SDL_GL_CreateContext(dc->window->sdl);
    if (gl == nullptr) {
        return nullptr;
    }
    SDL_GL_MakeCurrent(previousWindow, previous);
    auto* context = static_cast<PlatformRenderContextObject*>(
        std::calloc(1, sizeof(PlatformRenderContextObject)));
    if (context == nullptr) {
        SDL_GL_DeleteContext(gl);
        return nullptr;
    }
    context->gl = gl;
    return context;
}

int PlatformMakeCurrent(DeviceContextHandle dc, RenderContextHandle context) {
    if (context == nullptr) {
        return SDL_GL_MakeCurrent(SDL_GL_GetCurrentWindow(), nullptr) == 0;
    }
    if (dc == nullptr) {
        return 0;
    }
    return SDL_GL_MakeCurrent(dc->window->sdl, context->gl) == 0;
}

int PlatformDeleteContext(RenderContextHandle context) {
    if (context == nullptr) {
        return 0;
    }
    if (SDL_GL_GetCurrentContext() == context->gl) {
        SDL_GL_MakeCurrent(SDL_GL_GetCurrentWindow(), nullptr);
    }
    SDL_GL_DeleteContext(context->gl);
    std::free(context);
    return 1;
}

int PlatformSwapBuffers(DeviceContextHandle dc) {
    if (dc == nullptr) {
        return 0;
    }
    SDL_GL_SwapWindow(dc->window->sdl);
    return 1;
}

void PlatformAdjustWindowRect(WindowRect* /*rect*/, uint32_t /*style*/,
                              uint32_t /*extendedStyle*/) {
    // Window sizes on this backend are client sizes (see PlatformCreateWindow).
}
