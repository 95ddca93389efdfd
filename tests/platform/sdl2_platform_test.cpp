// The SDL2 backend on SDL's offscreen video driver (GL through EGL): events
// pushed into SDL's queue come out as the window messages the shell handles.
// Real minimising needs a window system; it is driven under Xvfb by the
// close-and-minimise end-to-end test, and here by SDL's own events.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <vector>

#include "platform/sdl2/sdl2_backend.h"
#include "platform/sdl2/sdl2_keys.h"

namespace {

struct ReceivedMessage {
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
};
std::vector<ReceivedMessage> received;

// Like the shell's window procedure: records, then leaves the rest to the
// default handling.
intptr_t RecordingProcedure(WindowHandle window, uint32_t message, uintptr_t wParam,
                            intptr_t lParam) {
    received.push_back({message, wParam, lParam});
    return message == WM_CLOSE ? 0 : PlatformDefWindowProc(window, message, wParam, lParam);
}

const ReceivedMessage* Find(uint32_t message) {
    for (const ReceivedMessage& each : received) {
        if (each.message == message) {
            return &each;
        }
    }
    return nullptr;
}

class Sdl2Platform : public testing::Test {
protected:
    static void SetUpTestSuite() {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        const WindowClassDesc windowClass = {
            0, RecordingProcedure, PlatformGetModuleHandle(), 0, 0, "Test"};
        ASSERT_TRUE(PlatformRegisterClass(&windowClass));
    }

    void SetUp() override {
        window = OpenWindow();
        ASSERT_NE(window, nullptr);
        PumpAndDispatch();
        received.clear();
    }
    void TearDown() override { PlatformDestroyWindow(window); }

    static WindowHandle OpenWindow() {
        return PlatformCreateWindow(0, "Test", "Test", WS_OVERLAPPEDWINDOW, 0, 0, 320, 240,
                                    PlatformGetModuleHandle());
    }

    // Every waiting message through the window procedure. SDL's poll ends a
    // batch of events with one empty answer, so only two in a row mean none.
    static void PumpAndDispatch() {
        PlatformMessage message;
        while (PlatformPeekMessage(&message) || PlatformPeekMessage(&message)) {
            PlatformDispatchMessage(&message);
        }
    }

    void PushWindowEvent(Uint8 event) const {
        SDL_Event sdl = {};
        sdl.type = SDL_WINDOWEVENT;
        sdl.window.windowID = SDL_GetWindowID(SdlWindowOf(window));
        sdl.window.event = event;
        SDL_PushEvent(&sdl);
    }

    WindowHandle window = nullptr;
};

TEST(Sdl2Keys, KeysMapToTheirVirtualKeyCodes) {
    const struct {
        SDL_Keycode sdl;
        uint32_t virtualKey;
    } keys[] = {{SDLK_a, 'A'},
                {SDLK_z, 'Z'},
                {SDLK_0, '0'},
                {SDLK_9, '9'},
                {SDLK_F1, VK_F1},
                {SDLK_F12, VK_F1 + 11},
                {SDLK_KP_0, VK_NUMPAD0},
                {SDLK_KP_9, VK_NUMPAD0 + 9},
                {SDLK_ESCAPE, VK_ESCAPE},
                {SDLK_KP_ENTER, VK_RETURN},
                {SDLK_RSHIFT, VK_SHIFT},
                {SDLK_RALT, VK_MENU},
                {SDLK_LEFT, VK_LEFT},
                {SDLK_QUOTE, VK_OEM_7},
                {SDLK_F13, 0},
                {SDLK_AUDIOPLAY, 0}};
    for (const auto& key : keys) {
        EXPECT_EQ(VirtualKeyFromSdl(key.sdl), key.virtualKey) << SDL_GetKeyName(key.sdl);
    }
}

TEST_F(Sdl2Platform, KeyEventsBecomeKeyMessagesAndSystemKeysWhileAltIsHeld) {
    const struct {
        Uint32 type;
        SDL_Keycode key;
        Uint16 modifiers;
        Uint8 repeat;
        uint32_t message;
        uint32_t virtualKey;
        uint32_t flagBits;  // previous-state and transition bits of lParam
    } cases[] = {
        {SDL_KEYDOWN, SDLK_ESCAPE, KMOD_NONE, 0, WM_KEYDOWN, VK_ESCAPE, 0},
        {SDL_KEYDOWN, SDLK_F1, KMOD_NONE, 1, WM_KEYDOWN, VK_F1, 1u << 30},
        {SDL_KEYUP, SDLK_F1, KMOD_NONE, 0, WM_KEYUP, VK_F1, 3u << 30},
        {SDL_KEYDOWN, SDLK_LALT, KMOD_LALT, 0, WM_SYSKEYDOWN, VK_MENU, 0},
        {SDL_KEYDOWN, SDLK_x, KMOD_RALT, 0, WM_SYSKEYDOWN, 'X', 0},
        {SDL_KEYUP, SDLK_x, KMOD_LALT, 0, WM_SYSKEYUP, 'X', 3u << 30},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(SDL_GetKeyName(each.key));
        SDL_Event sdl = {};
        sdl.type = each.type;
        sdl.key.windowID = SDL_GetWindowID(SdlWindowOf(window));
        sdl.key.repeat = each.repeat;
        sdl.key.keysym.sym = each.key;
        sdl.key.keysym.mod = each.modifiers;
        ASSERT_EQ(SDL_PushEvent(&sdl), 1);
        PlatformMessage message;
        ASSERT_TRUE(PlatformPeekMessage(&message) || PlatformPeekMessage(&message));
        EXPECT_EQ(message.window, window);
        EXPECT_EQ(message.message, each.message);
        EXPECT_EQ(message.wParam, each.virtualKey);
        EXPECT_EQ(static_cast<uint32_t>(message.lParam) & (3u << 30), each.flagBits);
        EXPECT_EQ(message.lParam & 0xFFFF, 1);  // one key stroke
    }
}

TEST_F(Sdl2Platform, AltF4AndSdlsQuitReachTheWindowAsItsClose) {
    SDL_Event altF4 = {};
    altF4.type = SDL_KEYDOWN;
    altF4.key.windowID = SDL_GetWindowID(SdlWindowOf(window));
    altF4.key.keysym.sym = SDLK_F4;
    altF4.key.keysym.mod = KMOD_LALT;
    SDL_PushEvent(&altF4);
    PumpAndDispatch();
    ASSERT_NE(Find(WM_SYSCOMMAND), nullptr);
    EXPECT_EQ(Find(WM_SYSCOMMAND)->wParam, SC_CLOSE);
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(received.back().message, WM_CLOSE);

    received.clear();
    SDL_Event quit = {};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    PumpAndDispatch();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].message, WM_CLOSE);
}

TEST_F(Sdl2Platform, WindowEventsBecomeSizeAndActivationAndHoldOffTheScreenSaver) {
    SDL_SetWindowSize(SdlWindowOf(window), 640, 480);
    PumpAndDispatch();
    ASSERT_NE(Find(WM_SIZE), nullptr);
    EXPECT_EQ(Find(WM_SIZE)->lParam, MakeLongParam(640, 480));

    const struct {
        Uint8 event;
        uintptr_t activation;
    } activations[] = {
        {SDL_WINDOWEVENT_MINIMIZED, WA_INACTIVE | 0x10000u},
        {SDL_WINDOWEVENT_RESTORED, WA_ACTIVE},
        {SDL_WINDOWEVENT_FOCUS_LOST, WA_INACTIVE},
        {SDL_WINDOWEVENT_FOCUS_GAINED, WA_ACTIVE},
    };
    for (const auto& each : activations) {
        received.clear();
        PushWindowEvent(each.event);
        PumpAndDispatch();
        ASSERT_EQ(received.size(), 1u) << int(each.event);
        EXPECT_EQ(received[0].message, WM_ACTIVATE);
        EXPECT_EQ(received[0].wParam, each.activation) << int(each.event);
        if (each.event == SDL_WINDOWEVENT_FOCUS_LOST) {
            EXPECT_TRUE(SDL_IsScreenSaverEnabled());
            EXPECT_EQ(PlatformGetFocus(), nullptr);
        }
    }
    EXPECT_FALSE(SDL_IsScreenSaverEnabled());
    EXPECT_EQ(PlatformGetFocus(), window);
}

TEST_F(Sdl2Platform, TheTitleIsSetOnTheLiveWindowOnly) {
    EXPECT_EQ(PlatformSetWindowTitle(window, "Vup - paused"), 1);
    EXPECT_STREQ(SDL_GetWindowTitle(SdlWindowOf(window)), "Vup - paused");
    WindowHandle gone = OpenWindow();
    ASSERT_NE(gone, nullptr);
    PlatformDestroyWindow(gone);
    EXPECT_EQ(PlatformSetWindowTitle(gone, "Vup"), 0);
}

TEST_F(Sdl2Platform, ACreatedContextIsCurrentOnlyWhenMadeSo) {
    WindowHandle second = OpenWindow();
    ASSERT_NE(second, nullptr);
    PixelFormatRequest request = {};
    request.nSize = sizeof request;
    request.nVersion = 1;
    request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    request.cColorBits = 16;
    request.cDepthBits = 16;
    DeviceContextHandle first = PlatformGetDC(window);
    DeviceContextHandle other = PlatformGetDC(second);
    ASSERT_EQ(PlatformChoosePixelFormat(first, &request), 1);
    ASSERT_TRUE(PlatformSetPixelFormat(first, 1, &request));
    ASSERT_TRUE(PlatformSetPixelFormat(other, 1, &request));

    RenderContextHandle firstContext = PlatformCreateContext(first);
    ASSERT_NE(firstContext, nullptr);
    EXPECT_EQ(SDL_GL_GetCurrentContext(), nullptr);
    ASSERT_TRUE(PlatformMakeCurrent(first, firstContext));
    RenderContextHandle otherContext = PlatformCreateContext(other);
    ASSERT_NE(otherContext, nullptr);
    EXPECT_EQ(SDL_GL_GetCurrentContext(), firstContext->gl);
    EXPECT_EQ(SDL_GL_GetCurrentWindow(), SdlWindowOf(window));

    ASSERT_TRUE(PlatformMakeCurrent(other, otherContext));
    EXPECT_EQ(SDL_GL_GetCurrentContext(), otherContext->gl);
    EXPECT_TRUE(PlatformDeleteContext(otherContext));
    EXPECT_EQ(SDL_GL_GetCurrentContext(), nullptr) << "deleting the current context detaches it";
    EXPECT_TRUE(PlatformDeleteContext(firstContext));
    PlatformDestroyWindow(second);
}

// A termination signal: the next peek is the quit message, a box is answered
// No without being shown, and the process, once its exit-time cleanup is
// done, ends by the signal.
TEST_F(Sdl2Platform, ATerminationSignalQuitsAndTheProcessEndsByIt) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            std::raise(SIGTERM);
            PlatformMessage message = {};
            const bool quit = PlatformPeekMessage(&message) && message.message == WM_QUIT;
            const bool declined = PlatformMessageBox(nullptr, "Go on?", "Test", MB_YESNO) == IDNO;
            if (!quit || !declined) {
                std::_Exit(2);
            }
            std::exit(0);
        },
        testing::KilledBySignal(SIGTERM), "");
}

}  // namespace
