// A message box open when a termination signal arrives is closed from
// outside, the way a window manager closes a window (WM_DELETE_WINDOW). SDL's
// box waits for events on an X connection of its own and returns only once
// it is answered or closed; a signal handler may not talk to X, so a thread
// does it, on a third connection (xcb, which reports errors to its caller and
// never through Xlib's process-wide handlers).
//
// The box is told apart by its creation: the thread's connection watches the
// root window's new children from before the box exists, and closes the one
// whose name is the box's caption.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/posix/termination_signals.h"
#include "platform/sdl2/sdl2_backend.h"

// Checked again this often after a signal while the box is not found yet
// (created, but not yet named).
static constexpr int kRetryMs = 20;

// Kept in the backend's record.
static Sdl2BoxCloser& closer = sdl2.boxCloser;

static xcb_atom_t InternAtom(const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        closer.connection,
        xcb_intern_atom(closer.connection, 0, static_cast<uint16_t>(std::strlen(name)), name),
        nullptr);
    const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

static bool HasCaption(xcb_window_t window) {
    xcb_get_property_reply_t* reply =
        xcb_get_property_reply(closer.connection,
                               xcb_get_property(closer.connection, 0, window, XCB_ATOM_WM_NAME,
                                                XCB_GET_PROPERTY_TYPE_ANY, 0, 64),
                               nullptr);
    if (reply == nullptr) {
        return false;  // gone already
    }
    const int length = xcb_get_property_value_length(reply);
    const bool match = length == static_cast<int>(std::strlen(closer.caption)) &&
                       std::memcmp(xcb_get_property_value(reply), closer.caption, length) == 0;
    std::free(reply);
    return match;
}

static void RequestClose(xcb_window_t window) {
    xcb_client_message_event_t event = {};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = closer.protocolsAtom;
    event.data.data32[0] = closer.deleteWindowAtom;
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(closer.connection, 0, window, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(closer.connection);
}

static void NoteNewWindows() {
    while (xcb_generic_event_t* event = xcb_poll_for_event(closer.connection)) {
        if ((event->response_type & 0x7F) == XCB_CREATE_NOTIFY &&
            closer.newWindowCount < Sdl2BoxCloser::kMaxNewWindows) {
            const auto* created = reinterpret_cast<xcb_create_notify_event_t*>(event);
            closer.closed[closer.newWindowCount] = false;
            closer.newWindows[closer.newWindowCount++] = created->window;
        }
        std::free(event);
    }
}

static void CloseBox() {
    for (int i = 0; i < closer.newWindowCount; ++i) {
        if (!closer.closed[i] && HasCaption(closer.newWindows[i])) {
            RequestClose(closer.newWindows[i]);
            closer.closed[i] = true;
        }
    }
}

static void* WatchForSignal(void*) {
    bool signalled = false;
    for (;;) {
        pollfd waits[] = {
            {closer.stopPipe[0], POLLIN, 0},
            {TerminationSignalFd(), POLLIN, 0},
            {xcb_get_file_descriptor(closer.connection), POLLIN, 0},
        };
        if (poll(waits, 3, signalled ? kRetryMs : -1) < 0 && errno != EINTR) {
            break;
        }
        if (waits[0].revents != 0) {
            break;  // the box has returned
        }
        if (waits[1].revents != 0) {
            char drain[16];
            while (read(TerminationSignalFd(), drain, sizeof drain) > 0) {
            }
        }
        signalled = TerminationSignal() != 0;
        NoteNewWindows();
        if (xcb_connection_has_error(closer.connection)) {
            break;  // the display is gone, and with it the box
        }
        if (signalled) {
            CloseBox();
        }
    }
    return nullptr;
}

static void Disconnect() {
    xcb_disconnect(closer.connection);
    closer.connection = nullptr;
}

void Sdl2StartBoxCloser(const char* caption) {
    closer = {};
    closer.caption = caption;
    closer.connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(closer.connection)) {
        Disconnect();
        return;
    }
    const xcb_setup_t* setup = xcb_get_setup(closer.connection);
    closer.root = xcb_setup_roots_iterator(setup).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(closer.connection, closer.root, XCB_CW_EVENT_MASK, &mask);
    // The replies also mean the server has taken the event mask: the box's
    // creation, which comes after, will be reported.
    closer.protocolsAtom = InternAtom("WM_PROTOCOLS");
    closer.deleteWindowAtom = InternAtom("WM_DELETE_WINDOW");
    if (closer.protocolsAtom == XCB_ATOM_NONE || closer.deleteWindowAtom == XCB_ATOM_NONE ||
        pipe2(closer.stopPipe, O_CLOEXEC) != 0) {
        Disconnect();
        return;
    }
    closer.running = pthread_create(&closer.thread, nullptr, WatchForSignal, nullptr) == 0;
    if (!closer.running) {
        close(closer.stopPipe[0]);
        close(closer.stopPipe[1]);
        Disconnect();
    }
}

void Sdl2StopBoxCloser() {
    if (!closer.running) {
        return;
    }
    const char byte = 1;
    while (write(closer.stopPipe[1], &byte, 1) < 0 && errno == EINTR) {
    }
    pthread_join(closer.thread, nullptr);
    close(closer.stopPipe[0]);
    close(closer.stopPipe[1]);
    Disconnect();
    closer.running = false;
}
