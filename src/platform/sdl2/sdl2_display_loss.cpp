// Losing the display (the X server ending, a dropped forwarded session) ends
// the show at once with one line on stderr and status 1. Xlib's own handler
// calls exit(), whose cleanups then wait on the dead connection forever
// (SDL_Quit waits for window events); so the process ends through
// quick_exit instead, which runs only the cleanups registered for it: the
// tune is stopped, and nothing touches the display again.
#include <X11/Xlib.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/sdl2/sdl2_backend.h"

static int DisplayWentAway(Display* /*display*/) {
    // SDL shows each message box from a child process of its own; a box
    // that loses the display just ends, and the show, waiting for its
    // answer, then finds the display gone on its own connection.
    if (getpid() != sdl2.showProcess) {
        _exit(1);
    }
    if (!sdl2.displayLost.exchange(true)) {
        static const char kMessage[] = "vup: the display went away\n";
        if (write(STDERR_FILENO, kMessage, sizeof kMessage - 1) < 0) {
            // Nowhere left to tell.
        }
    }
    // Lost while exiting (or lost twice): the exit-time cleanups have run or
    // are running already, and must not run again.
    if (sdl2.exiting.exchange(true)) {
        _exit(1);
    }
    std::quick_exit(1);
}

void Sdl2WatchDisplayLoss() {
    // Process-wide: covers SDL's connection, the GL driver's (the same one)
    // and the one each message box opens for itself.
    sdl2.showProcess = getpid();
    XSetIOErrorHandler(DisplayWentAway);
}

void Sdl2NoteExiting() {
    sdl2.exiting = true;
}
