// Window classes, the forwarding window procedure and the message queue,
// against the real user32 (Wine's when run from Linux).
#include <gtest/gtest.h>

#include "platform/platform.h"
#include "platform/win32/win32_records.h"

namespace {

struct ReceivedMessage {
    WindowHandle window;
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
};

constexpr uint32_t kProbeMessage = WM_USER + 5;
constexpr intptr_t kProbeResult = 0x5A5A;

ReceivedMessage lastProbe;
int probesSeenByFirst;
int probesSeenBySecond;

// Records the probe message and answers it; everything else gets the default
// handling, as the shell's procedure does.
intptr_t FirstProcedure(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (message == kProbeMessage) {
        lastProbe = {window, message, wParam, lParam};
        ++probesSeenByFirst;
        return kProbeResult;
    }
    return PlatformDefWindowProc(window, message, wParam, lParam);
}

intptr_t SecondProcedure(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (message == kProbeMessage) {
        ++probesSeenBySecond;
        return 0;
    }
    return PlatformDefWindowProc(window, message, wParam, lParam);
}

class Win32Window : public ::testing::Test {
protected:
    void SetUp() override {
        lastProbe = {};
        probesSeenByFirst = 0;
        probesSeenBySecond = 0;
        instance = PlatformGetModuleHandle();
        ASSERT_NE(instance, nullptr);
    }

    void TearDown() override {
        if (window != nullptr) {
            PlatformDestroyWindow(window);
        }
        PlatformUnregisterClass(kClassName, instance);
        DrainQueue();
    }

    int Register(WindowProcedure procedure) {
        const WindowClassDesc desc = {
            CS_HREDRAW | CS_VREDRAW | CS_OWNDC,
            procedure,
            instance,
            IDI_WINLOGO_ID,
            IDC_ARROW_ID,
            kClassName,
        };
        return PlatformRegisterClass(&desc);
    }

    WindowHandle Create() {
        return PlatformCreateWindow(WS_EX_APPWINDOW, kClassName, "probe",
                                    WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0, 64, 64,
                                    instance);
    }

    static void DrainQueue() {
        MSG ignored;
        while (PeekMessageA(&ignored, nullptr, 0, 0, PM_REMOVE)) {
        }
    }

    static constexpr const char* kClassName = "VupBackendProbe";
    InstanceHandle instance = nullptr;
    WindowHandle window = nullptr;
};

TEST_F(Win32Window, SentMessagesReachTheRegisteredProcedureWithFullParameters) {
    ASSERT_EQ(Register(FirstProcedure), 1);
    window = Create();
    ASSERT_NE(window, nullptr);

    const uintptr_t wideParam = ~static_cast<uintptr_t>(0) - 1;
    const LRESULT result = SendMessageA(ToHwnd(window), kProbeMessage, wideParam, -77);

    EXPECT_EQ(result, kProbeResult);
    EXPECT_EQ(lastProbe.window, window);
    EXPECT_EQ(lastProbe.message, kProbeMessage);
    EXPECT_EQ(lastProbe.wParam, wideParam);
    EXPECT_EQ(lastProbe.lParam, -77);
}

TEST_F(Win32Window, TheTitleBarTextIsSet) {
    ASSERT_EQ(Register(FirstProcedure), 1);
    window = Create();
    ASSERT_NE(window, nullptr);
    // The shell's titles are UTF-8, whatever the system's code page.
    EXPECT_EQ(PlatformSetWindowTitle(window, "Vup \u2014 0:42 paused"), 1);
    wchar_t text[32] = {};
    GetWindowTextW(ToHwnd(window), text, 32);
    EXPECT_STREQ(text, L"Vup \u2014 0:42 paused");
}

TEST_F(Win32Window, ASecondRegistrationFailsAndKeepsTheFirstProcedure) {
    ASSERT_EQ(Register(FirstProcedure), 1);
    EXPECT_EQ(Register(SecondProcedure), 0);
    window = Create();
    ASSERT_NE(window, nullptr);

    SendMessageA(ToHwnd(window), kProbeMessage, 1, 2);
    EXPECT_EQ(probesSeenByFirst, 1);
    EXPECT_EQ(probesSeenBySecond, 0);
}

TEST_F(Win32Window, PostedMessagesComeOutOfTheQueueAndDispatchToTheProcedure) {
    ASSERT_EQ(Register(FirstProcedure), 1);
    window = Create();
    ASSERT_NE(window, nullptr);
    DrainQueue();

    ASSERT_TRUE(PostMessageA(ToHwnd(window), kProbeMessage, 0xBEEF, -3));
    PlatformMessage message = {};
    ASSERT_EQ(PlatformPeekMessage(&message), 1);
    EXPECT_EQ(message.window, window);
    EXPECT_EQ(message.message, kProbeMessage);
    EXPECT_EQ(message.wParam, 0xBEEFu);
    EXPECT_EQ(message.lParam, -3);
    EXPECT_EQ(probesSeenByFirst, 0);  // removed, not yet handled

    EXPECT_EQ(PlatformDispatchMessage(&message), kProbeResult);
    EXPECT_EQ(probesSeenByFirst, 1);
    EXPECT_EQ(lastProbe.wParam, 0xBEEFu);

    EXPECT_EQ(PlatformPeekMessage(&message), 0);
}

TEST_F(Win32Window, AQuitMessageCarriesItsExitCode) {
    DrainQueue();
    PlatformPostQuitMessage(3);
    PlatformMessage message = {};
    ASSERT_EQ(PlatformPeekMessage(&message), 1);
    EXPECT_EQ(message.message, static_cast<uint32_t>(WM_QUIT));
    EXPECT_EQ(message.wParam, 3u);
}

TEST_F(Win32Window, TranslatingAKeyDownQueuesItsCharacter) {
    ASSERT_EQ(Register(FirstProcedure), 1);
    window = Create();
    ASSERT_NE(window, nullptr);
    DrainQueue();

    // 'A' key, repeat count 1, scan code 0x1E.
    ASSERT_TRUE(PostMessageA(ToHwnd(window), WM_KEYDOWN, 'A', 0x001E0001));
    PlatformMessage message = {};
    ASSERT_EQ(PlatformPeekMessage(&message), 1);
    ASSERT_EQ(message.message, static_cast<uint32_t>(WM_KEYDOWN));
    PlatformTranslateMessage(&message);

    ASSERT_EQ(PlatformPeekMessage(&message), 1);
    EXPECT_EQ(message.message, static_cast<uint32_t>(WM_CHAR));
    EXPECT_EQ(message.wParam, static_cast<uintptr_t>('a'));
}

}  // namespace
