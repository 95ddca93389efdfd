// The Win32 emulation kit (platform/common/) on its own: windows stand for
// the backend's native ones by a tag, and the messages go through the kit's
// queue, dispatch and default handling as a backend's would.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fresh_process/fresh_process.h"
#include "platform/common/win32_kit.h"

namespace {

std::vector<PlatformMessage> received;

// Like the shell's window procedure: records, closes on WM_CLOSE, and leaves
// everything else to the default handling.
intptr_t Recording(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    received.push_back({window, message, wParam, lParam});
    return message == WM_CLOSE ? 0 : PlatformDefWindowProc(window, message, wParam, lParam);
}

int nativeTag;

class Win32Kit : public testing::Test {
protected:
    void SetUp() override {
        const WindowClassDesc windowClass = {0, Recording, PlatformGetModuleHandle(), 0, 0, "Test"};
        ASSERT_TRUE(WindowClassAdd(&windowClass));
        window = KitWindowAdd(WindowClassProcedure("Test", PlatformGetModuleHandle()), &nativeTag);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override {
        KitReset();
        received.clear();
    }

    // Every waiting message through its window's procedure; the last one
    // taken (the quit, when one was posted).
    static PlatformMessage DispatchAll() {
        PlatformMessage message = {};
        while (MessageQueueTake(&message) && message.message != WM_QUIT) {
            PlatformDispatchMessage(&message);
        }
        return message;
    }

    WindowHandle window = nullptr;
};

TEST_F(Win32Kit, MessagesReachTheLiveWindowInOrderAndAltF4ClosesIt) {
    MessageQueuePost(window, WM_KEYDOWN, 'A', 1);
    const PlatformMessage altF4 = KeyMessage(window, VK_F4, true, false, true, 0x3E);
    MessageQueuePost(altF4.window, altF4.message, altF4.wParam, altF4.lParam);
    PlatformPostQuitMessage(3);
    MessageQueuePost(window, WM_KEYUP, 'A', 1);

    const PlatformMessage last = DispatchAll();
    EXPECT_EQ(last.message, WM_QUIT) << "the quit comes after every waiting message";
    EXPECT_EQ(last.wParam, 3u);
    const std::vector<uint32_t> expected = {WM_KEYDOWN, WM_SYSKEYDOWN, WM_SYSCOMMAND, WM_CLOSE,
                                            WM_KEYUP};
    std::vector<uint32_t> messages;
    for (const PlatformMessage& each : received) {
        messages.push_back(each.message);
    }
    EXPECT_EQ(messages, expected);
    EXPECT_EQ(received[2].wParam, SC_CLOSE);
    PlatformMessage none;
    EXPECT_EQ(MessageQueueTake(&none), 0) << "a quit comes out once";

    // Destroyed, the window takes its waiting messages and the focus with it,
    // and a message that still names it goes nowhere.
    PlatformSetFocus(window);
    MessageQueuePost(window, WM_KEYDOWN, 'B', 1);
    ASSERT_TRUE(KitWindowRemove(window));
    EXPECT_TRUE(MessageQueueEmpty());
    EXPECT_EQ(PlatformGetFocus(), nullptr);
    received.clear();
    const PlatformMessage stale = {window, WM_KEYDOWN, 'B', 1};
    EXPECT_EQ(PlatformDispatchMessage(&stale), 0);
    EXPECT_TRUE(received.empty());
    EXPECT_EQ(PlatformGetDC(window), nullptr);
    EXPECT_FALSE(KitWindowRemove(window));
}

TEST_F(Win32Kit, AWindowKeepsOneDeviceContextWhosePixelFormatIsSetOnce) {
    WindowHandle other = KitWindowAdd(Recording, &nativeTag);
    DeviceContextHandle dc = PlatformGetDC(window);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(PlatformGetDC(window), dc);
    EXPECT_NE(PlatformGetDC(other), dc);
    EXPECT_TRUE(PlatformReleaseDC(window, dc));
    EXPECT_FALSE(PlatformReleaseDC(other, dc));

    PixelFormatRequest request = {};
    request.nSize = sizeof request;
    request.nVersion = 1;
    request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    EXPECT_TRUE(KitPixelFormatUsable(dc, &request));
    PixelFormatRequest wrong[] = {request, request, request, request};
    wrong[0].nSize = 0;
    wrong[1].nVersion = 2;
    wrong[2].dwFlags = PFD_DRAW_TO_WINDOW | PFD_DOUBLEBUFFER;  // no OpenGL
    wrong[3].iPixelType = 1;                                   // colour index
    for (const PixelFormatRequest& each : wrong) {
        EXPECT_FALSE(KitPixelFormatUsable(dc, &each)) << "request " << &each - wrong;
    }
    EXPECT_FALSE(KitPixelFormatUsable(nullptr, &request));

    EXPECT_EQ(KitSetPixelFormat(dc, 2), 0) << "one format, 1";
    EXPECT_EQ(KitSetPixelFormat(dc, 1), 1);
    EXPECT_EQ(KitSetPixelFormat(dc, 1), 0) << "a window's format is set once";
    EXPECT_EQ(KitSetPixelFormat(PlatformGetDC(other), 1), 1);
}

TEST_F(Win32Kit, AClassNameIsRegisteredOncePerInstance) {
    const WindowClassDesc again = {0, Recording, PlatformGetModuleHandle(), 0, 0, "Test"};
    EXPECT_FALSE(WindowClassAdd(&again));
    const WindowClassDesc otherInstance = {0, Recording, nullptr, 0, 0, "Test"};
    EXPECT_TRUE(WindowClassAdd(&otherInstance));
    const std::string tooLong(64, 'x');
    const WindowClassDesc longName = {0, Recording, nullptr, 0, 0, tooLong.c_str()};
    EXPECT_FALSE(WindowClassAdd(&longName));

    EXPECT_TRUE(PlatformUnregisterClass("Test", PlatformGetModuleHandle()));
    EXPECT_FALSE(PlatformUnregisterClass("Test", PlatformGetModuleHandle()));
    EXPECT_EQ(WindowClassProcedure("Test", PlatformGetModuleHandle()), nullptr);
    EXPECT_TRUE(WindowClassAdd(&again));
}

TEST(KeyMessages, AreBuiltAsWindowsBuildsThem) {
    const struct {
        bool down, repeat, alt;
        uint32_t virtualKey;
        uint32_t message;
        uint32_t flags;  // lParam: count 1, scan code 0x21 in bits 16-23
    } cases[] = {
        {true, false, false, 'F', WM_KEYDOWN, 0x00210001u},
        {true, true, false, 'F', WM_KEYDOWN, 0x40210001u},
        {false, false, false, 'F', WM_KEYUP, 0xC0210001u},
        {true, false, true, 'F', WM_SYSKEYDOWN, 0x00210001u},
        {false, false, true, 'F', WM_SYSKEYUP, 0xC0210001u},
        {true, false, false, VK_MENU, WM_SYSKEYDOWN, 0x00210001u},
    };
    int tag;
    auto* window = reinterpret_cast<WindowHandle>(&tag);
    for (const auto& each : cases) {
        const PlatformMessage message =
            KeyMessage(window, each.virtualKey, each.down, each.repeat, each.alt, 0x121);
        EXPECT_EQ(message.window, window);
        EXPECT_EQ(message.message, each.message) << each.virtualKey << " " << each.down;
        EXPECT_EQ(message.wParam, each.virtualKey);
        EXPECT_EQ(static_cast<uint32_t>(message.lParam), each.flags)
            << each.virtualKey << " " << each.down << each.repeat << each.alt;
    }
}

// Everything the kit keeps, back as the process started it.
TEST_F(Win32Kit, ResetLeavesTheKitAsTheProcessStarted) {
    KitWindowAdd(Recording, &nativeTag);
    KitFocusFollows(window, true);
    KitSetPixelFormat(PlatformGetDC(window), 1);
    MessageQueuePost(window, WM_KEYDOWN, 'A', 1);
    PlatformPostQuitMessage(1);
    ASSERT_FALSE(FreshProcessDifferences().empty());

    KitReset();
    std::string differences;
    for (const std::string& line : FreshProcessDifferences()) {
        differences += line + "\n";
    }
    EXPECT_EQ(differences, "");
}

}  // namespace
