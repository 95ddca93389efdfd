// Windows, their pixel formats and GL contexts.
#include <cstdlib>

#include "platform/sdl2/sdl2_backend.h"

static void ApplyPixelFormat(const PixelFormatRequest* request) {
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
    ApplyPixelFormat(&sdl2.lastPixelFormat);

    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    const bool fullscreen = (style & WS_POPUP) && sdl2.fullscreenModeSet;
    if (fullscreen) {
        flags |= SDL_WINDOW_FULLSCREEN;
    } else if (style & WS_OVERLAPPEDWINDOW) {
        flags |= SDL_WINDOW_RESIZABLE;
    }
    // The window manager adds the frame: sizes here are client sizes.
    SDL_Window* native = SDL_CreateWindow(title, x, y, width, height, flags);
    if (native == nullptr) {
        return nullptr;
    }
    if (fullscreen) {
        SDL_SetWindowDisplayMode(native, &sdl2.fullscreenMode);
    }
    WindowHandle window = KitWindowAdd(procedure, native);
    if (window == nullptr) {
        SDL_DestroyWindow(native);
    }
    return window;
}

int PlatformDestroyWindow(WindowHandle window) {
    if (!KitWindowIsLive(window)) {
        return 0;
    }
    SDL_DestroyWindow(SdlWindowOf(window));
    return KitWindowRemove(window) ? 1 : 0;
}

void PlatformShowWindow(WindowHandle window, int /*showCommand*/) {
    SDL_ShowWindow(SdlWindowOf(window));
}

void PlatformSetForegroundWindow(WindowHandle window) {
    SDL_RaiseWindow(SdlWindowOf(window));
}

int PlatformSetWindowTitle(WindowHandle window, const char* title) {
    if (!KitWindowIsLive(window) || title == nullptr) {
        return 0;
    }
    SDL_SetWindowTitle(SdlWindowOf(window), title);
    return 1;
}

int PlatformChoosePixelFormat(DeviceContextHandle dc, const PixelFormatRequest* request) {
    // One format serves every request this backend accepts.
    return KitPixelFormatUsable(dc, request) ? 1 : 0;
}

int PlatformSetPixelFormat(DeviceContextHandle dc, int format, const PixelFormatRequest* request) {
    if (!KitSetPixelFormat(dc, format)) {
        return 0;
    }
    sdl2.lastPixelFormat = *request;
    ApplyPixelFormat(request);
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
    SDL_GLContext gl = SDL_GL_CreateContext(SdlWindowOf(dc->window));
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
    return SDL_GL_MakeCurrent(SdlWindowOf(dc->window), context->gl) == 0;
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
    SDL_GL_SwapWindow(SdlWindowOf(dc->window));
    return 1;
}
