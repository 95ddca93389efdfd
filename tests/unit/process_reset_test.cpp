// Putting the process back (ResetProcessState, with the doubles' own resets
// beside it, as the fixture and the page's Play again do): after a whole
// show, with re-opens, minimising and a key left down, every process-wide
// byte of the program, the platform layer and the doubles is as the process
// held it when it started.
#include <cstdlib>
#include <string>
#include <vector>

#include "fresh_process/fresh_process.h"
#include "shell_fixture.h"

namespace {

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    return text;
}

class ProcessReset : public ShellTest {};

TEST_F(ProcessReset, AfterAWholeShowTheProcessIsAsItStarted) {
    // The comparison proves itself first: the process as it started, and one
    // changed value seen and named.
    ASSERT_TRUE(FreshProcessCovers(KeyStates, sizeof KeyStates));
    ASSERT_EQ(Lines(FreshProcessDifferences()), "");
    windowActive = 0;
    const std::vector<std::string> seen = FreshProcessDifferences();
    windowActive = 1;
    ASSERT_EQ(seen.size(), 1u) << Lines(seen);
    EXPECT_NE(seen[0].find("windowActive"), std::string::npos) << seen[0];

    // A frame count at exit, once arranged, is the process's for good.
    unsetenv("VUP_FRAME_STATS");
    firstOpenFullscreen = 0;  // as `vup --window` and the page's Play in the page
    FakePlatform().clockStep = 250;
    FakePlatform().onClockRead = [](int reading) {
        switch (reading) {
            case 1:
                GlCallLogSetRecording(false);
                break;
            case 40:
            case 60:
                FakePostMessage(WM_KEYDOWN, VK_F1);
                break;
            case 80:
                FakePostMessage(WM_ACTIVATE, WA_INACTIVE | 0x10000u);
                break;
            case 90:
                FakePostMessage(WM_ACTIVATE, WA_ACTIVE);
                FakePostMessage(WM_SIZE, 0, MakeLongParam(640, 480));
                FakePostMessage(WM_KEYDOWN, 'A');
                break;
            default:
                break;
        }
    };
    ASSERT_EQ(DemoMain(nullptr, nullptr, nullptr, 0), kExitShowEnded);
    EXPECT_EQ(FakeCallCount("CreateWindow"), 3);
    const size_t changed = FreshProcessDifferences().size();
    EXPECT_GE(changed, 10u) << "the show changed little: " << Lines(FreshProcessDifferences());

    ResetAsAFreshProcess();
    EXPECT_EQ(Lines(FreshProcessDifferences()), "") << "of " << changed << " places changed";
}

}  // namespace
