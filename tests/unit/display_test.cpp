#include "shell_fixture.h"

using DisplayTest = ShellTest;

struct OpenFailure {
    const char* failingCall;
    const char* text;
};

// Every step that can fail after window creation: closes what was made before
// its box, so the box stands over the restored desktop.
TEST_F(DisplayTest, EachFailedStepAfterWindowCreationClosesThenReportsOnce) {
    const OpenFailure failures[] = {
        {"CreateWindow", "Window Creation Error."},
        {"GetDC", "Can't Create A GL Device Context."},
        {"ChoosePixelFormat", "Can't Find A Suitable PixelFormat."},
        {"SetPixelFormat", "Can't Set The PixelFormat."},
        {"CreateContext", "Can't Create A GL Rendering Context."},
        {"MakeCurrent", "Can't Activate The GL Rendering Context."},
    };
    for (const OpenFailure& failure : failures) {
        SCOPED_TRACE(failure.failingCall);
        FakePlatformReset();
        FakePlatform().failures.push_back(failure.failingCall);

        EXPECT_EQ(OpenDisplay("Vup", 800, 600, 16, 1), 0);

        FakePlatformState& fake = FakePlatform();
        ASSERT_EQ(fake.boxes.size(), 1u);
        EXPECT_EQ(fake.boxes[0].text, failure.text);
        EXPECT_EQ(fake.boxes[0].caption, "ERROR");
        EXPECT_EQ(fake.boxes[0].flags, 0x30u);
        EXPECT_EQ(fake.boxes[0].owner, nullptr);
        const int unregister = FakeCallIndex("UnregisterClass");
        ASSERT_GE(unregister, 0);
        EXPECT_LT(static_cast<size_t>(unregister), fake.boxes[0].callsBefore);
        EXPECT_FALSE(fake.classRegistered);
        EXPECT_FALSE(fake.displayModeChanged);
        EXPECT_EQ(fake.cursorHidden, 0);
        EXPECT_EQ(fake.windowsAlive, 0);
        EXPECT_EQ(fake.contextsAlive, 0);
        EXPECT_EQ(fake.current, nullptr);
        EXPECT_EQ(displayWindow, nullptr);
        EXPECT_EQ(displayDC, nullptr);
        EXPECT_EQ(renderContext, nullptr);
    }
}

TEST_F(DisplayTest, ClassRegistrationFailureMakesNothingElse) {
    FakePlatform().failures.push_back("RegisterClass");
    EXPECT_EQ(OpenDisplay("Vup", 800, 600, 16, 1), 0);
    const FakePlatformState& fake = FakePlatform();
    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(fake.boxes[0].text, "Failed To Register The Window Class.");
    EXPECT_EQ(fake.boxes[0].flags, 0x30u);
    EXPECT_EQ(FakeCallCount("ChangeDisplayMode"), 0);
    EXPECT_EQ(FakeCallCount("CreateWindow"), 0);
}

TEST_F(DisplayTest, MissingPictureFailsTheOpenWithOneBoxAfterTheClose) {
    RemovePicture("Main.bmp");
    EXPECT_EQ(OpenDisplay("Vup", 800, 600, 16, 1), 0);
    const FakePlatformState& fake = FakePlatform();
    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(fake.boxes[0].text, "Initialization Failed.");
    EXPECT_EQ(fake.contextsAlive, 0);
    EXPECT_EQ(fake.windowsAlive, 0);
    EXPECT_FALSE(fake.classRegistered);
}

TEST_F(DisplayTest, SuccessfulFullscreenOpenFollowsTheStepOrder) {
    ASSERT_EQ(OpenDisplay("Vup", 800, 600, 16, 1), 1);
    const std::vector<std::string> expected = {
        "GetModuleHandle",
        "RegisterClass",
        "ChangeDisplayMode",
        "HideCursor",
        "AdjustWindowRect",
        "CreateWindow",
        "GetDC",
        "ChoosePixelFormat",
        "SetPixelFormat",
        "CreateContext",
        "MakeCurrent",
        "ShowWindow",
        "SetForegroundWindow",
        "SetFocus",
    };
    const FakePlatformState& fake = FakePlatform();
    ASSERT_GE(fake.calls.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(fake.calls.begin(), fake.calls.begin() + expected.size()),
              expected);
    EXPECT_EQ(fake.lastTitle, "Vup");
    EXPECT_EQ(fake.lastStyle, WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    EXPECT_EQ(fake.lastExtendedStyle, WS_EX_APPWINDOW);
    EXPECT_EQ(fake.lastWidth, 800);
    EXPECT_EQ(fake.lastHeight, 600);
    EXPECT_EQ(fake.lastPixelFormat.nSize, 40);
    EXPECT_EQ(fake.lastPixelFormat.dwFlags, 0x25u);
    EXPECT_EQ(fake.lastPixelFormat.cColorBits, 16);
    EXPECT_EQ(fake.lastPixelFormat.cDepthBits, 16);
    EXPECT_TRUE(fake.boxes.empty());

    // The viewport is set for the requested size before the scene is loaded.
    const std::vector<GlCall> viewports = GlCallsNamed("glViewport");
    ASSERT_FALSE(viewports.empty());
    EXPECT_EQ(viewports[0].args, (std::vector<double>{0, 0, 800, 600}));
    EXPECT_EQ(GlCallCount("glTexImage2D"), 4u);

    CloseDisplay();
    EXPECT_FALSE(fake.displayModeChanged);
    EXPECT_EQ(fake.cursorHidden, 0);
    EXPECT_FALSE(fake.classRegistered);
    EXPECT_EQ(fake.windowsAlive, 0);
}

TEST_F(DisplayTest, RefusedFullscreenAnsweredYesOpensTheSameDisplayWindowed) {
    FakePlatform().failures.push_back("ChangeDisplayMode");
    FakePlatform().answers.push_back(IDYES);
    ASSERT_EQ(OpenDisplay("Vup", 800, 600, 16, 1), 1);

    const FakePlatformState& fake = FakePlatform();
    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(fake.boxes[0].text,
              "The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed "
              "Mode Instead?");
    EXPECT_EQ(fake.boxes[0].caption, "Kavu GL");
    EXPECT_EQ(fake.boxes[0].flags, 0x34u);
    EXPECT_EQ(fullscreenMode, 0);
    EXPECT_EQ(fake.lastStyle, WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    EXPECT_EQ(fake.lastExtendedStyle, WS_EX_APPWINDOW | WS_EX_WINDOWEDGE);
    // The window grows by the frame so the client area stays 800 x 600.
    EXPECT_EQ(fake.lastWidth, 808);
    EXPECT_EQ(fake.lastHeight, 628);
    EXPECT_EQ(FakeCallCount("HideCursor"), 0);

    CloseDisplay();
    EXPECT_EQ(FakeCallCount("RestoreDisplayMode"), 0);
    EXPECT_EQ(FakeCallCount("ShowCursor"), 0);
}

TEST_F(DisplayTest, RefusedFullscreenAnsweredNoClosesTheProgramLeavingOnlyTheClass) {
    FakePlatform().failures.push_back("ChangeDisplayMode");
    FakePlatform().answers.push_back(IDNO);
    EXPECT_EQ(OpenDisplay("Vup", 800, 600, 16, 1), 0);
    const FakePlatformState& fake = FakePlatform();
    ASSERT_EQ(fake.boxes.size(), 2u);
    EXPECT_EQ(fake.boxes[1].text, "Program Will Now Close.");
    EXPECT_EQ(fake.boxes[1].caption, "ERROR");
    EXPECT_EQ(fake.boxes[1].flags, 0x10u);
    EXPECT_EQ(FakeCallCount("CreateWindow"), 0);
    EXPECT_TRUE(fake.classRegistered);
}

TEST_F(DisplayTest, CloseAttemptsEveryReleaseAndReportsEachFailure) {
    ASSERT_EQ(OpenDisplay("Vup", 800, 600, 16, 0), 1);
    FakePlatformState& fake = FakePlatform();
    fake.failures = {"DetachContext", "DeleteContext", "ReleaseDC", "DestroyWindow",
                     "UnregisterClass"};
    CloseDisplay();

    const char* const expected[] = {
        "Release Of DC And RC Failed.",   "Release Rendering Context Failed.",
        "Release Device Context Failed.", "Could Not Release hWnd.",
        "Could Not Unregister Class.",
    };
    ASSERT_EQ(fake.boxes.size(), 5u);
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(fake.boxes[i].text, expected[i]);
        EXPECT_EQ(fake.boxes[i].caption, "SHUTDOWN ERROR");
        EXPECT_EQ(fake.boxes[i].flags, 0x40u);
    }
    EXPECT_EQ(renderContext, nullptr);
    EXPECT_EQ(displayDC, nullptr);
    EXPECT_EQ(displayWindow, nullptr);

    // With the handles dropped, a second close only tries the class.
    fake.calls.clear();
    CloseDisplay();
    EXPECT_EQ(FakeCallCount("DeleteContext"), 0);
    EXPECT_EQ(FakeCallCount("DestroyWindow"), 0);
    EXPECT_EQ(FakeCallCount("UnregisterClass"), 1);
}

TEST_F(DisplayTest, PixelFormatRequestKeepsTheDepthOfTheFirstOpen) {
    ASSERT_EQ(OpenDisplay("Vup", 800, 600, 16, 0), 1);
    CloseDisplay();
    ASSERT_EQ(OpenDisplay("Plomvixtorandebu", 800, 600, 32, 0), 1);
    EXPECT_EQ(FakePlatform().lastPixelFormat.cColorBits, 16);
    CloseDisplay();
}

TEST_F(DisplayTest, WindowProcedureFollowsTheMessageTable) {
    // Minimised (high word set) stops drawing; a plain deactivation does not.
    DisplayWindowProc(nullptr, WM_ACTIVATE, WA_INACTIVE | 0x10000u, 0);
    EXPECT_EQ(windowActive, 0);
    DisplayWindowProc(nullptr, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(windowActive, 1);
    DisplayWindowProc(nullptr, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ(windowActive, 1);

    DisplayWindowProc(nullptr, WM_KEYDOWN, VK_F1, 0);
    EXPECT_EQ(KeyStates[VK_F1], 1);
    DisplayWindowProc(nullptr, WM_KEYUP, VK_F1, 0);
    EXPECT_EQ(KeyStates[VK_F1], 0);
    DisplayWindowProc(nullptr, WM_KEYDOWN, 256, 0);  // out of the table: ignored

    EXPECT_EQ(FakeCallCount("DefWindowProc"), 0);
    DisplayWindowProc(nullptr, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
    DisplayWindowProc(nullptr, WM_SYSCOMMAND, SC_MONITORPOWER, 0);
    EXPECT_EQ(FakeCallCount("DefWindowProc"), 0);
    DisplayWindowProc(nullptr, WM_SYSCOMMAND, SC_CLOSE, 0);
    DisplayWindowProc(nullptr, WM_SYSKEYDOWN, VK_F4, 0);
    EXPECT_EQ(FakeCallCount("DefWindowProc"), 2);
    EXPECT_EQ(KeyStates[VK_F4], 0);

    DisplayWindowProc(nullptr, WM_CLOSE, 0, 0);
    EXPECT_EQ(FakeCallCount("PostQuitMessage"), 1);
    EXPECT_EQ(FakePlatform().quitCode, 0);
    EXPECT_EQ(FakeCallCount("DestroyWindow"), 0);
}

TEST_F(DisplayTest, SizeMessagesResetViewportAndProjection) {
    DisplayWindowProc(nullptr, WM_SIZE, 0, MakeLongParam(640, 0));
    DisplayWindowProc(nullptr, WM_SIZE, 0, MakeLongParam(0, 480));
    const std::vector<GlCall> viewports = GlCallsNamed("glViewport");
    const std::vector<GlCall> projections = GlCallsNamed("gluPerspective");
    ASSERT_EQ(viewports.size(), 2u);
    ASSERT_EQ(projections.size(), 2u);
    // A zero height becomes 1; a zero width is passed on, giving aspect 0.
    EXPECT_EQ(viewports[0].args, (std::vector<double>{0, 0, 640, 1}));
    EXPECT_EQ(projections[0].args, (std::vector<double>{45.0, 640.0, 0.10000000149011612, 100.0}));
    EXPECT_EQ(projections[1].args[1], 0.0);
    // Projection first, then the modelview is left selected and reset.
    const std::vector<GlCall> modes = GlCallsNamed("glMatrixMode");
    EXPECT_EQ(modes.back().args[0], GL_MODELVIEW);
}
