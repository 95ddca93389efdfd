// Program entry and the frame loop.
#pragma once

#include <cstdint>

// 1 while the key with that virtual-key code is held down.
extern uint8_t KeyStates[256];
// Frames are drawn only while this is 1 (0 while the window is minimised).
extern uint8_t windowActive;
// 1 while the display runs fullscreen.
extern uint8_t fullscreenMode;
// The mode of the first open: 1, fullscreen, unless the Linux entry was asked
// for a window or the web page's "Play in the page" started the show
// (DemoMain itself takes no options).
extern uint8_t firstOpenFullscreen;
// The show time the show starts at: 0, unless the Linux entry was asked for
// another (vup --from) or the page's address named one (?t=).
extern int64_t showStartFromMs;

// Keys up, window active, fullscreen, as a fresh process starts.
void ResetFrameLoopState();

// Exit statuses.
constexpr int kExitShowEnded = 0;
constexpr int kExitDisplayFailed = 1;
constexpr int kExitUsage = 2;  // the Linux entry's command line was not understood

constexpr int kDisplayWidth = 800;
constexpr int kDisplayHeight = 600;
constexpr int kDisplayColorBits = 16;
constexpr const char* kFirstTitle = "Vup";
constexpr const char* kToggleTitle = "Plomvixtorandebu";

// Opens the display, runs the show until it ends, is quit or a display open
// fails, and returns the exit status. The arguments of a Windows GUI entry are
// accepted and ignored.
int DemoMain(void* instance, void* previousInstance, char* commandLine, int showState);
