// The one Win32 window procedure of every class the backend registers: it
// hands each message to the shell's procedure with the platform's types.
#pragma once

#include "platform/platform.h"

// Installs the procedure that forwarded messages go to; returns the one it
// replaces. The show registers one class at a time, so one slot is enough.
WindowProcedure SetForwardedWindowProcedure(WindowProcedure procedure);

// Messages that arrive while no procedure is installed get the default
// handling.
LRESULT CALLBACK ForwardWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
