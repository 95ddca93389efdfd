/* Asks an X11 window to close the way a window manager does when its close
 * button is pressed: a WM_PROTOCOLS client message carrying WM_DELETE_WINDOW.
 * Tests use it where no window manager runs (Xvfb).
 *
 * Usage: x11_close_request WINDOW_ID   (decimal or 0x-prefixed hexadecimal)
 * Exit status: 0 sent, 1 bad use or no display, 2 the window does not take
 * part in the protocol (a window manager would have to kill its client). */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>

static int badWindow = 0;

/* A window id that does not exist must end in a message, not in Xlib's
 * default handler aborting the program. */
static int NoteError(Display* display, XErrorEvent* error) {
    (void)display;
    if (error->error_code == BadWindow) {
        badWindow = 1;
    }
    return 0;
}

static int ParseWindowId(const char* text, Window* window) {
    char* end = NULL;
    errno = 0;
    unsigned long value = strtoul(text, &end, 0);
    if (errno != 0 || end == text || *end != '\0' || value == 0) {
        return 0;
    }
    *window = (Window)value;
    return 1;
}

/* Whether the window lists WM_DELETE_WINDOW in its WM_PROTOCOLS property;
 * only then may a window manager send the request. */
static int TakesDeleteRequests(Display* display, Window window, Atom deleteWindow) {
    Atom* protocols = NULL;
    int count = 0;
    int found = 0;
    if (XGetWMProtocols(display, window, &protocols, &count) != 0) {
        for (int i = 0; i < count; ++i) {
            if (protocols[i] == deleteWindow) {
                found = 1;
            }
        }
        XFree(protocols);
    }
    return found;
}

int main(int argc, char** argv) {
    Window window;
    if (argc != 2 || !ParseWindowId(argv[1], &window)) {
        fprintf(stderr, "usage: %s WINDOW_ID\n", argv[0]);
        return 1;
    }
    Display* display = XOpenDisplay(NULL);
    if (display == NULL) {
        fprintf(stderr, "x11_close_request: cannot open the display\n");
        return 1;
    }
    XSetErrorHandler(NoteError);

    Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    int takesPart = TakesDeleteRequests(display, window, deleteWindow);
    XSync(display, False);
    if (badWindow) {
        fprintf(stderr, "x11_close_request: no window %s\n", argv[1]);
        XCloseDisplay(display);
        return 1;
    }
    if (!takesPart) {
        fprintf(stderr, "x11_close_request: window %s does not accept WM_DELETE_WINDOW\n", argv[1]);
        XCloseDisplay(display);
        return 2;
    }

    XEvent event = {0};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = protocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long)deleteWindow;
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    int sent = !badWindow;
    XCloseDisplay(display);
    if (!sent) {
        fprintf(stderr, "x11_close_request: window %s went away\n", argv[1]);
        return 1;
    }
    return 0;
}
