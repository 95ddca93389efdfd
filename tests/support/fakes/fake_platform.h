// A scriptable platform for the shell's tests: it records every call in
// order, can fail any single step, answers message boxes from a script, and
// replays queued messages through the registered window procedure.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"

struct FakeMessageBox {
    std::string text;
    std::string caption;
    uint32_t flags;
    WindowHandle owner;
    // The calls recorded before this box appeared.
    size_t callsBefore;
};

struct FakePlatformState {
    // Every platform call by name ("CreateWindow", "MessageBox", ...), in order.
    std::vector<std::string> calls;
    std::vector<FakeMessageBox> boxes;
    // Steps to fail, by call name; each entry fails one call and is then used up.
    std::vector<std::string> failures;
    // Answers for message boxes in order; IDOK/IDYES when the script runs out.
    std::vector<int> answers;
    // Messages waiting for PlatformPeekMessage, oldest first.
    std::vector<PlatformMessage> queue;
    int quitPosted = 0;
    int quitCode = 0;

    uint32_t clock = 0;
    // Added to the clock after every reading.
    uint32_t clockStep = 16;
    // Runs before every clock reading, with the number of readings so far.
    std::function<void(int reading)> onClockRead;
    int clockReads = 0;

    // What the fake holds now.
    bool classRegistered = false;
    bool displayModeChanged = false;
    int cursorHidden = 0;
    int windowsAlive = 0;
    int contextsAlive = 0;
    int dcsAlive = 0;
    RenderContextHandle current = nullptr;
    std::string lastTitle;
    uint32_t lastStyle = 0;
    uint32_t lastExtendedStyle = 0;
    int lastWidth = 0;
    int lastHeight = 0;
    int swaps = 0;
    PixelFormatRequest lastPixelFormat = {};
    WindowProcedure procedure = nullptr;
    WindowHandle focus = nullptr;
    // The last handle given out; each new one is 0x10 further.
    uintptr_t lastHandle = 0x1000;
};

FakePlatformState& FakePlatform();
// The state built again as the process start built it, down to its bytes
// (the process reset test compares them).
void FakePlatformReset();

// Queues a message for the display window (or the given one).
void FakePostMessage(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0);

// Number of recorded calls with that name.
int FakeCallCount(const std::string& name);
// Index of the first recorded call with that name, or -1.
int FakeCallIndex(const std::string& name, int from = 0);
