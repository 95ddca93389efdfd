// The message queue of a backend without Win32's own (SDL2, the web page):
// messages made from the window system's events wait here, one handed out
// per peek, and a posted quit comes out as WM_QUIT once nothing else waits.
// Also the default handling that turns Alt+F4 into the close message, and
// the platform's PlatformTranslateMessage and PlatformPostQuitMessage.
#pragma once

#include "platform/platform.h"

void MessageQueuePost(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// The oldest waiting message, else the posted quit; 0 when there is neither.
int MessageQueueTake(PlatformMessage* message);

bool MessageQueueEmpty();

// As PostQuitMessage: WM_QUIT with the exit code as its wParam.
void MessageQueuePostQuit(int exitCode);

// Drops the messages waiting for one window (it is being destroyed).
void MessageQueueForget(WindowHandle window);

// DefWindowProc for a window whose procedure is given: Alt+F4 asks to close
// (WM_SYSCOMMAND SC_CLOSE), and closing sends the window WM_CLOSE, as the
// default handling does on Windows. Everything else is ignored (0).
intptr_t DefaultWindowHandling(WindowProcedure procedure, WindowHandle window, uint32_t message,
                               uintptr_t wParam);
