// The kit's one state record: what the emulated Win32 keeps between calls
// (registered classes, the message queue, the live windows and the focus),
// for the one backend a program links. Only the kit's own files touch it;
// KitReset (win32_kit.h) puts it back as a fresh process has it.
#pragma once

#include <vector>

#include "platform/platform.h"

struct KitWindowClass {
    char name[64];
    InstanceHandle instance;
    WindowProcedure procedure;
    bool used;
};

struct Win32KitState {
    // The show registers one class at a time; a few more leave room for tests.
    KitWindowClass classes[8];
    // Messages made from the window system's events, oldest first.
    std::vector<PlatformMessage> pending;
    // A posted quit comes out as WM_QUIT once nothing else waits.
    bool quitPosted;
    int quitCode;
    // The live windows, newest first (linked through their `next`).
    PlatformWindowObject* windows;
    WindowHandle focus;
};

extern Win32KitState win32Kit;
