#include "shell/display.h"

#include "shell/demo_main.h"
#include "show/show.h"
#include "show/viewport.h"

InstanceHandle appInstance = nullptr;
WindowHandle displayWindow = nullptr;
DeviceContextHandle displayDC = nullptr;
RenderContextHandle renderContext = nullptr;

// The fixed part holds from the start; everything else is zero until the fill.
static constexpr PixelFormatRequest kPixelFormatRequestStart = {
    .nSize = sizeof(PixelFormatRequest),
    .nVersion = 1,
    .dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER,
    .iPixelType = PFD_TYPE_RGBA,
};
PixelFormatRequest pixelFormatRequest = kPixelFormatRequestStart;
static bool pixelFormatFilled = false;

void ResetDisplayState() {
    appInstance = nullptr;
    displayWindow = nullptr;
    displayDC = nullptr;
    renderContext = nullptr;
    pixelFormatRequest = kPixelFormatRequestStart;
    pixelFormatFilled = false;
}

static const char kErrorCaption[] = "ERROR";
static const char kShutdownCaption[] = "SHUTDOWN ERROR";
static constexpr uint32_t kErrorFlags = MB_OK | MB_ICONEXCLAMATION;
static constexpr uint32_t kShutdownFlags = MB_OK | MB_ICONINFORMATION;

static void ReportOpenError(const char* text) {
    PlatformMessageBox(nullptr, text, kErrorCaption, kErrorFlags);
}

// From window creation on, a failed open closes the display before its box,
// so the box stands over the restored desktop.
static int FailOpen(const char* text) {
    CloseDisplay();
    ReportOpenError(text);
    return 0;
}

static void FillPixelFormatOnce(int colorBits) {
    if (pixelFormatFilled) {
        return;
    }
    pixelFormatFilled = true;
    pixelFormatRequest.cColorBits = static_cast<uint8_t>(colorBits);
    pixelFormatRequest.cDepthBits = 16;
}

int OpenDisplay(const char* title, int width, int height, int colorBits, uint8_t fullscreen) {
    WindowRect rect = {0, 0, width, height};
    fullscreenMode = fullscreen;
    appInstance = PlatformGetModuleHandle();

    const WindowClassDesc windowClass = {
        CS_HREDRAW | CS_VREDRAW | CS_OWNDC,
        DisplayWindowProc,
        appInstance,
        IDI_WINLOGO_ID,
        IDC_ARROW_ID,
        kWindowClassName,
    };
    if (!PlatformRegisterClass(&windowClass)) {
        ReportOpenError("Failed To Register The Window Class.");
        return 0;
    }

    if (fullscreenMode == 1 &&
        PlatformChangeDisplayMode(width, height, colorBits) != DISP_CHANGE_SUCCESSFUL) {
        const int answer = PlatformMessageBox(nullptr,
                                              "The Requested Fullscreen Mode Is Not Supported By\n"
                                              "Your Video Card. Use Windowed Mode Instead?",
                                              "Kavu GL", MB_YESNO | MB_ICONEXCLAMATION);
        if (answer != IDYES) {
            PlatformMessageBox(nullptr, "Program Will Now Close.", kErrorCaption,
                               MB_OK | MB_ICONSTOP);
            return 0;
        }
        fullscreenMode = 0;
    }

    uint32_t extendedStyle;
    uint32_t style;
    if (fullscreenMode == 1) {
        extendedStyle = WS_EX_APPWINDOW;
        style = WS_POPUP;
        PlatformShowCursor(0);
    } else {
        extendedStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
        style = WS_OVERLAPPEDWINDOW;
    }
    PlatformAdjustWindowRect(&rect, style, extendedStyle);

    displayWindow = PlatformCreateWindow(
        extendedStyle, kWindowClassName, title, style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
        rect.right - rect.left, rect.bottom - rect.top, appInstance);
    if (displayWindow == nullptr) {
        return FailOpen("Window Creation Error.");
    }

    FillPixelFormatOnce(colorBits);

    displayDC = PlatformGetDC(displayWindow);
    if (displayDC == nullptr) {
        return FailOpen("Can't Create A GL Device Context.");
    }
    const int pixelFormat = PlatformChoosePixelFormat(displayDC, &pixelFormatRequest);
    if (pixelFormat == 0) {
        return FailOpen("Can't Find A Suitable PixelFormat.");
    }
    if (!PlatformSetPixelFormat(displayDC, pixelFormat, &pixelFormatRequest)) {
        return FailOpen("Can't Set The PixelFormat.");
    }
    renderContext = PlatformCreateContext(displayDC);
    if (renderContext == nullptr) {
        return FailOpen("Can't Create A GL Rendering Context.");
    }
    if (!PlatformMakeCurrent(displayDC, renderContext)) {
        return FailOpen("Can't Activate The GL Rendering Context.");
    }

    PlatformShowWindow(displayWindow, SW_SHOW);
    PlatformSetForegroundWindow(displayWindow);
    PlatformSetFocus(displayWindow);
    // The requested size, not a measured client area, then the scene resources.
    if (!LoadShow(width, height)) {
        return FailOpen("Initialization Failed.");
    }
    return 1;
}

void CloseDisplay() {
    if (fullscreenMode == 1) {
        PlatformRestoreDisplayMode();
        PlatformShowCursor(1);
    }
    if (renderContext != nullptr) {
        if (!PlatformMakeCurrent(nullptr, nullptr)) {
            PlatformMessageBox(nullptr, "Release Of DC And RC Failed.", kShutdownCaption,
                               kShutdownFlags);
        }
        if (!PlatformDeleteContext(renderContext)) {
            PlatformMessageBox(nullptr, "Release Rendering Context Failed.", kShutdownCaption,
                               kShutdownFlags);
        }
        renderContext = nullptr;
    }
    if (displayDC != nullptr) {
        if (!PlatformReleaseDC(displayWindow, displayDC)) {
            PlatformMessageBox(nullptr, "Release Device Context Failed.", kShutdownCaption,
                               kShutdownFlags);
        }
        displayDC = nullptr;
    }
    if (displayWindow != nullptr) {
        if (!PlatformDestroyWindow(displayWindow)) {
            PlatformMessageBox(nullptr, "Could Not Release hWnd.", kShutdownCaption,
                               kShutdownFlags);
        }
        displayWindow = nullptr;
    }
    if (!PlatformUnregisterClass(kWindowClassName, appInstance)) {
        PlatformMessageBox(nullptr, "Could Not Unregister Class.", kShutdownCaption,
                           kShutdownFlags);
    }
}

intptr_t DisplayWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam,
                           intptr_t lParam) {
    switch (message) {
        case WM_ACTIVATE:
            // The high word is the minimised flag; plain deactivation keeps drawing.
            windowActive = HighWord(wParam) == 0 ? 1 : 0;
            return 0;
        case WM_SYSCOMMAND:
            if (wParam == SC_SCREENSAVE || wParam == SC_MONITORPOWER) {
                return 0;
            }
            break;
        case WM_CLOSE:
            // The window stays until the loop ends and the display is closed.
            PlatformPostQuitMessage(0);
            return 0;
        case WM_KEYDOWN:
            if (wParam < 256) {
                KeyStates[wParam] = 1;
            }
            return 0;
        case WM_KEYUP:
            if (wParam < 256) {
                KeyStates[wParam] = 0;
            }
            return 0;
        case WM_SIZE:
            ResizeViewport(static_cast<int>(LowWord(static_cast<uintptr_t>(lParam))),
                           static_cast<int>(HighWord(static_cast<uintptr_t>(lParam))));
            return 0;
        default:
            break;
    }
    return PlatformDefWindowProc(window, message, wParam, lParam);
}
