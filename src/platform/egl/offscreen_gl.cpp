#include "platform/egl/offscreen_gl.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include "platform/gl.h"

// Framebuffer-object entry points, looked up at run time: only needed when
// the EGL platform gives no pbuffer to draw into.
#ifndef GL_FRAMEBUFFER
#define GL_FRAMEBUFFER 0x8D40
#define GL_RENDERBUFFER 0x8D41
#define GL_COLOR_ATTACHMENT0 0x8CE0
#define GL_DEPTH_ATTACHMENT 0x8D00
#define GL_FRAMEBUFFER_COMPLETE 0x8CD5
#define GL_DEPTH_COMPONENT24 0x81A6
#endif
#ifndef GL_RGBA8
#define GL_RGBA8 0x8058
#endif

typedef void (*GenNamesProc)(GLsizei, GLuint*);
typedef void (*DeleteNamesProc)(GLsizei, const GLuint*);
typedef void (*BindNameProc)(GLenum, GLuint);
typedef void (*RenderbufferStorageProc)(GLenum, GLenum, GLsizei, GLsizei);
typedef void (*FramebufferRenderbufferProc)(GLenum, GLenum, GLenum, GLuint);
typedef GLenum (*CheckFramebufferStatusProc)(GLenum);

struct OffscreenState {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLContext context = EGL_NO_CONTEXT;
    EGLSurface surface = EGL_NO_SURFACE;
    GLuint framebuffer = 0;
    GLuint renderbuffers[2] = {0, 0};  // colour, depth
    int width = 0;
    int height = 0;
};

static OffscreenState offscreen;

// The surfaceless platform needs no X server, no GPU and no render node;
// the default display is the fallback for EGL builds without it.
static EGLDisplay OpenEglDisplay() {
    const char* extensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (extensions != nullptr && getPlatformDisplay != nullptr) {
        EGLDisplay display =
            getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        if (display != EGL_NO_DISPLAY && eglInitialize(display, nullptr, nullptr)) {
            return display;
        }
    }
    EGLDisplay display = eglGetDisplay(EGL_DEFAULT_DISPLAY);
    if (display != EGL_NO_DISPLAY && eglInitialize(display, nullptr, nullptr)) {
        return display;
    }
    return EGL_NO_DISPLAY;
}

static int ChooseConfig(EGLDisplay display, EGLint surfaceType, EGLConfig* config) {
    const EGLint attributes[] = {EGL_SURFACE_TYPE,
                                 surfaceType,
                                 EGL_RED_SIZE,
                                 8,
                                 EGL_GREEN_SIZE,
                                 8,
                                 EGL_BLUE_SIZE,
                                 8,
                                 EGL_ALPHA_SIZE,
                                 8,
                                 EGL_DEPTH_SIZE,
                                 16,
                                 EGL_RENDERABLE_TYPE,
                                 EGL_OPENGL_BIT,
                                 EGL_NONE};
    EGLint count = 0;
    return eglChooseConfig(display, attributes, config, 1, &count) && count > 0 ? 1 : 0;
}

// Draws into a framebuffer object of the requested size; used when the
// context is current without a surface.
static int CreateFramebufferObject(int width, int height) {
    auto genFramebuffers = reinterpret_cast<GenNamesProc>(eglGetProcAddress("glGenFramebuffers"));
    auto bindFramebuffer = reinterpret_cast<BindNameProc>(eglGetProcAddress("glBindFramebuffer"));
    auto genRenderbuffers = reinterpret_cast<GenNamesProc>(eglGetProcAddress("glGenRenderbuffers"));
    auto bindRenderbuffer = reinterpret_cast<BindNameProc>(eglGetProcAddress("glBindRenderbuffer"));
    auto renderbufferStorage =
        reinterpret_cast<RenderbufferStorageProc>(eglGetProcAddress("glRenderbufferStorage"));
    auto framebufferRenderbuffer = reinterpret_cast<FramebufferRenderbufferProc>(
        eglGetProcAddress("glFramebufferRenderbuffer"));
    auto checkStatus =
        reinterpret_cast<CheckFramebufferStatusProc>(eglGetProcAddress("glCheckFramebufferStatus"));
    if (genFramebuffers == nullptr || bindFramebuffer == nullptr || genRenderbuffers == nullptr ||
        bindRenderbuffer == nullptr || renderbufferStorage == nullptr ||
        framebufferRenderbuffer == nullptr || checkStatus == nullptr) {
        return 0;
    }
    genFramebuffers(1, &offscreen.framebuffer);
    bindFramebuffer(GL_FRAMEBUFFER, offscreen.framebuffer);
    genRenderbuffers(2, offscreen.renderbuffers);
    bindRenderbuffer(GL_RENDERBUFFER, offscreen.renderbuffers[0]);
    renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                            offscreen.renderbuffers[0]);
    bindRenderbuffer(GL_RENDERBUFFER, offscreen.renderbuffers[1]);
    renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                            offscreen.renderbuffers[1]);
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    return checkStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE ? 1 : 0;
}

int OffscreenGlCreate(int width, int height) {
    if (offscreen.display != EGL_NO_DISPLAY || width <= 0 || height <= 0) {
        return 0;
    }
    offscreen.display = OpenEglDisplay();
    if (offscreen.display == EGL_NO_DISPLAY || !eglBindAPI(EGL_OPENGL_API)) {
        OffscreenGlDestroy();
        return 0;
    }
    // Prefer a pbuffer: the default framebuffer then behaves like a window's.
    EGLConfig config = nullptr;
    const int havePbufferConfig = ChooseConfig(offscreen.display, EGL_PBUFFER_BIT, &config);
    if (!havePbufferConfig && !ChooseConfig(offscreen.display, 0, &config)) {
        OffscreenGlDestroy();
        return 0;
    }
    // No version attributes: Mesa then gives a compatibility context with
    // the whole fixed-function pipeline.
    offscreen.context = eglCreateContext(offscreen.display, config, EGL_NO_CONTEXT, nullptr);
    if (offscreen.context == EGL_NO_CONTEXT) {
        OffscreenGlDestroy();
        return 0;
    }
    if (havePbufferConfig) {
        const EGLint pbufferAttributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
        offscreen.surface = eglCreatePbufferSurface(offscreen.display, config, pbufferAttributes);
    }
    if (!eglMakeCurrent(offscreen.display, offscreen.surface, offscreen.surface,
                        offscreen.context)) {
        OffscreenGlDestroy();
        return 0;
    }
    if (offscreen.surface == EGL_NO_SURFACE && !CreateFramebufferObject(width, height)) {
        OffscreenGlDestroy();
        return 0;
    }
    offscreen.width = width;
    offscreen.height = height;
    glViewport(0, 0, width, height);
    return 1;
}

void OffscreenGlReadPixels(uint8_t* rgba) {
    if (offscreen.context == EGL_NO_CONTEXT || rgba == nullptr) {
        return;
    }
    glFinish();
    // Rows are width x 4 bytes, always a multiple of any pack alignment.
    glReadPixels(0, 0, offscreen.width, offscreen.height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
}

int OffscreenGlWidth() {
    return offscreen.width;
}

int OffscreenGlHeight() {
    return offscreen.height;
}

void OffscreenGlDestroy() {
    if (offscreen.display == EGL_NO_DISPLAY) {
        return;
    }
    if (offscreen.framebuffer != 0) {
        auto deleteFramebuffers =
            reinterpret_cast<DeleteNamesProc>(eglGetProcAddress("glDeleteFramebuffers"));
        auto deleteRenderbuffers =
            reinterpret_cast<DeleteNamesProc>(eglGetProcAddress("glDeleteRenderbuffers"));
        if (deleteFramebuffers != nullptr && deleteRenderbuffers != nullptr) {
            deleteFramebuffers(1, &offscreen.framebuffer);
            deleteRenderbuffers(2, offscreen.renderbuffers);
        }
    }
    eglMakeCurrent(offscreen.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (offscreen.surface != EGL_NO_SURFACE) {
        eglDestroySurface(offscreen.display, offscreen.surface);
    }
    if (offscreen.context != EGL_NO_CONTEXT) {
        eglDestroyContext(offscreen.display, offscreen.context);
    }
    eglTerminate(offscreen.display);
    offscreen = OffscreenState{};
}
