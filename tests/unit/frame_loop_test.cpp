#include "shell_fixture.h"

#include "show/show_time.h"

// The fake clock advances by clockStep after every reading; reading 0 is the
// start time, taken before the display opens, and reading k the k-th drawing
// turn. Scripts run just before a reading, so a message queued there is
// removed at the start of the turn after it.
class FrameLoopTest : public ShellTest {
protected:
    int Run() { return DemoMain(nullptr, nullptr, nullptr, 0); }

    // Which frames cleared the screen: one glClear per drawn frame.
    size_t FramesDrawn() { return GlCallCount("glClear"); }
};

TEST_F(FrameLoopTest, TheShowEndsByItselfAfter85SecondsWithoutPresentingTheLastTurn) {
    FakePlatform().clockStep = 1000;
    EXPECT_EQ(Run(), kExitShowEnded);
    const FakePlatformState& fake = FakePlatform();
    // Readings 1..86 are drawing turns at 1 s .. 86 s: 84 draw (10, 35, 50, 70,
    // 75 and 85 s draw nothing), 85 are presented, and 86 s ends the show.
    EXPECT_EQ(fake.clockReads, 87);
    EXPECT_EQ(fake.swaps, 85);
    EXPECT_EQ(FramesDrawn(), 79u);
    EXPECT_FALSE(fake.classRegistered);
    EXPECT_EQ(fake.windowsAlive, 0);
}

TEST_F(FrameLoopTest, EscapeEndsTheLoopWithoutPresentingThatTurn) {
    FakePlatform().onClockRead = [](int reading) {
        if (reading == 3) {
            FakePostMessage(WM_KEYDOWN, VK_ESCAPE);
        }
    };
    EXPECT_EQ(Run(), kExitShowEnded);
    // Turns 1..3 present; the message is handled before turn 4, which draws
    // but is not presented.
    EXPECT_EQ(FakePlatform().swaps, 3);
    EXPECT_EQ(FramesDrawn(), 4u);
    EXPECT_EQ(FakeCallCount("DestroyWindow"), 1);
}

TEST_F(FrameLoopTest, QuitMessageEndsTheLoopBeforeAnyFurtherFrame) {
    FakePlatform().onClockRead = [](int reading) {
        if (reading == 2) {
            FakePostMessage(WM_CLOSE);
        }
    };
    EXPECT_EQ(Run(), kExitShowEnded);
    EXPECT_EQ(FakePlatform().clockReads, 3);
    EXPECT_EQ(FramesDrawn(), 2u);
    EXPECT_EQ(FakePlatform().swaps, 2);
    EXPECT_EQ(FakeCallCount("DestroyWindow"), 1);
}

TEST_F(FrameLoopTest, MinimisedWindowPresentsWithoutDrawingAndEscapeStillEndsIt) {
    FakePlatform().onClockRead = [](int reading) {
        if (reading == 2) {
            FakePostMessage(WM_ACTIVATE, WA_INACTIVE | 0x10000u);
        }
        if (reading == 6) {
            FakePostMessage(WM_KEYDOWN, VK_ESCAPE);
        }
    };
    EXPECT_EQ(Run(), kExitShowEnded);
    // Turns 1-2 draw; 3-6 are inactive: presented, not drawn; 7 ends.
    EXPECT_EQ(FramesDrawn(), 2u);
    EXPECT_EQ(FakePlatform().swaps, 6);
}

TEST_F(FrameLoopTest, RestoringAfterTheShowsEndEndsItOnTheFirstActiveTurn) {
    FakePlatform().clockStep = 1000;
    FakePlatform().onClockRead = [](int reading) {
        if (reading == 5) {
            FakePostMessage(WM_ACTIVATE, WA_INACTIVE | 0x10000u);
        }
        if (reading == 99) {
            FakePostMessage(WM_ACTIVATE, WA_ACTIVE);
        }
    };
    EXPECT_EQ(Run(), kExitShowEnded);
    EXPECT_EQ(FakePlatform().clockReads, 101);
    EXPECT_EQ(FramesDrawn(), 5u);
}

TEST_F(FrameLoopTest, F1ReopensInTheOtherModeAndTheScheduleKeepsItsStart) {
    FakePlatform().clock = 5000;
    FakePlatform().clockStep = 1000;
    FakePlatform().onClockRead = [](int reading) {
        if (reading == 3) {
            FakePostMessage(WM_KEYDOWN, VK_F1);
        }
    };
    EXPECT_EQ(Run(), kExitShowEnded);
    const FakePlatformState& fake = FakePlatform();
    EXPECT_EQ(FakeCallCount("CreateWindow"), 2);
    EXPECT_EQ(fake.lastTitle, "Plomvixtorandebu");
    EXPECT_EQ(fake.lastStyle, WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    EXPECT_EQ(fullscreenMode, 0);
    EXPECT_EQ(KeyStates[VK_F1], 0);
    // The re-open read no clock of its own: the show still ends at 86 s.
    EXPECT_EQ(fake.clockReads, 87);
    // Both opens loaded the pictures and started the tune, which was told
    // once, before the first open, when the show's clock started.
    EXPECT_EQ(GlCallCount("glTexImage2D"), 8u);
    ASSERT_EQ(FakeMusicCalls().size(), 9u);
    EXPECT_EQ(FakeMusicCalls()[0].name, "MusicSetShowStart");
    EXPECT_EQ(FakeMusicCalls()[0].args[0], 5000);
}

TEST_F(FrameLoopTest, F1OnTheEscapeTurnStillReopensOnceBeforeTheEnd) {
    FakePlatform().onClockRead = [](int reading) {
        if (reading == 2) {
            FakePostMessage(WM_KEYDOWN, VK_F1);
            FakePostMessage(WM_KEYDOWN, VK_ESCAPE);
        }
    };
    EXPECT_EQ(Run(), kExitShowEnded);
    EXPECT_EQ(FakeCallCount("CreateWindow"), 2);
    EXPECT_EQ(FakeCallCount("DestroyWindow"), 2);
    EXPECT_EQ(FakePlatform().windowsAlive, 0);
}

TEST_F(FrameLoopTest, FailedReopenEndsTheProgramWithFailureStatus) {
    FakePlatform().onClockRead = [](int reading) {
        if (reading == 2) {
            FakePostMessage(WM_KEYDOWN, VK_F1);
            FakePlatform().failures.push_back("CreateContext");
        }
    };
    EXPECT_EQ(Run(), kExitDisplayFailed);
    ASSERT_EQ(FakePlatform().boxes.size(), 1u);
    EXPECT_EQ(FakePlatform().boxes[0].text, "Can't Create A GL Rendering Context.");
    EXPECT_EQ(FakePlatform().windowsAlive, 0);
}

TEST_F(FrameLoopTest, DecliningWindowedModeAtStartExitsWithFailureAndNoClose) {
    FakePlatform().failures.push_back("ChangeDisplayMode");
    FakePlatform().answers.push_back(IDNO);
    EXPECT_EQ(Run(), kExitDisplayFailed);
    EXPECT_EQ(FakeCallCount("UnregisterClass"), 0);
    EXPECT_EQ(FakeCallCount("PeekMessage"), 0);
}

TEST_F(FrameLoopTest, ClockWrapDuringTheShowKeepsTimeMovingForward) {
    FakePlatformState& fake = FakePlatform();
    fake.clock = 0xFFFFFFFFu - 3500;  // wraps between the 3rd and 4th second
    fake.clockStep = 1000;
    EXPECT_EQ(Run(), kExitShowEnded);
    // Without modular differences the elapsed time would turn hugely negative
    // (opening picture forever) or the show would end at the wrap.
    EXPECT_EQ(fake.clockReads, 87);
    EXPECT_EQ(FramesDrawn(), 79u);
}

TEST_F(FrameLoopTest, FirstDeltaIncludesTheTimeTheOpenTook) {
    // Persistent scene values show exactly which deltas the scenes saw.
    FakePlatformState& fake = FakePlatform();
    fake.clockStep = 0;
    fake.onClockRead = [](int reading) {
        FakePlatformState& f = FakePlatform();
        if (reading == 0) {
            f.clock = 0;
        } else if (reading == 1) {
            f.clock = 10100;  // the open took 10.1 s: first turn is in the path scene
        } else if (reading == 2) {
            f.clock = 10150;
            FakePostMessage(WM_KEYDOWN, VK_ESCAPE);
        }
    };
    pathParameter = 0.0f;
    EXPECT_EQ(Run(), kExitShowEnded);
    // 10100 ms, then 50 ms, each times 0.00002 per ms.
    EXPECT_NEAR(pathParameter, (10100.0 + 50.0) * 0.00002, 1e-5);
}

// A key pressed just before reading `at` and let go before the next: the
// turn at `at` + 1 sees it.
static void PressBefore(int reading, int at, uint32_t key) {
    if (reading == at) {
        FakePostMessage(WM_KEYDOWN, key);
    } else if (reading == at + 1) {
        FakePostMessage(WM_KEYUP, key);
    }
}

TEST_F(FrameLoopTest, SpaceHoldsTheMomentAndTheShowEndsLaterByThePause) {
    FakePlatform().clockStep = 1000;
    static float heldPath[2];
    static std::string pausedTitle;
    FakePlatform().onClockRead = [](int reading) {
        PressBefore(reading, 20, VK_SPACE);  // paused at the 21 s turn
        PressBefore(reading, 30, VK_SPACE);  // going on at the 31 s turn, from 21 s
        if (reading == 25 || reading == 29) {
            heldPath[reading == 29] = pathParameter;
            pausedTitle = FakePlatform().lastTitle;
        }
    };
    EXPECT_EQ(Run(), kExitShowEnded);
    EXPECT_EQ(heldPath[0], heldPath[1]);
    EXPECT_EQ(pausedTitle, "Vup \u2014 0:21 paused");
    // Ten turns paused: the show ends at 96 s of the counter, not 86.
    EXPECT_EQ(FakePlatform().clockReads, 97);
    EXPECT_EQ(FakePlatform().lastTitle, "Vup");
    const std::vector<FakeMusicCall>& music = FakeMusicCalls();
    ASSERT_EQ(music.size(), 8u);
    EXPECT_EQ(music[5].name, "MusicSetShowPaused");
    EXPECT_EQ(music[5].args[0], 1);
    EXPECT_EQ(music[6].name, "MusicSetShowStart");
    EXPECT_EQ(music[6].args[0], 10000);
    EXPECT_EQ(music[7].args[0], 0);
}

TEST_F(FrameLoopTest, ArrowsMoveTheShowToTheRecordedMomentWithinItsLength) {
    FakePlatform().clockStep = 1000;
    static float pathAfterSeek;
    FakePlatform().onClockRead = [](int reading) {
        PressBefore(reading, 20, VK_LEFT);  // at the 21 s turn, back to 16 s
        if (reading == 22) {
            pathAfterSeek = pathParameter;
        }
        PressBefore(reading, 87, VK_RIGHT);  // at 83 s, forward to the end
    };
    EXPECT_EQ(Run(), kExitShowEnded);
    // The end drawn at 88 s of the counter, over at the next turn.
    EXPECT_EQ(FakePlatform().clockReads, 90);
    EXPECT_EQ(FakePlatform().lastTitle, "Vup \u2014 1:25");
    EXPECT_EQ(FakeMusicCalls()[5].name, "MusicSetShowStart");
    EXPECT_EQ(FakeMusicCalls()[5].args[0], 5000);

    // The values the recording has once it has drawn that moment.
    ResetShowValues();
    StepShowToStill(16000, kDefaultFrameRate, nullptr);
    EXPECT_EQ(pathAfterSeek, pathParameter);
}
