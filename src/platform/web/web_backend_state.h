// The page's backend's one state record: what it keeps between calls beside
// the kit's (platform/common/win32_kit_state.h) and the GL layer's
// (platform/webgl/gl11_context.h). Only the backend's own files touch it;
// WebBackendReset (web_backend.h) puts it back as a fresh page has it.
#pragma once

#include <cstdint>

#include "platform/common/win32_kit.h"
#include "platform/platform.h"
#include "platform/web/web_page.h"

// The canvas's WebGL context: the only one.
struct PlatformRenderContextObject {
    bool made;
};

// The one song a sound library initialisation holds; a handle points here
// while it is loaded.
struct MusicSongObject {
    bool loaded;
};

struct WebBackend {
    WebPagePhase phase;
    PlatformRenderContextObject context;
    // Fullscreen because the show asked for it (so the browser leaving it by
    // itself is the show's Escape).
    bool fullscreenHeld;
    // A message box waits for its answer: keys go to the box.
    bool messageBoxOpen;
    // Per virtual key, kKeyPressUnseen and kKeyReleaseHeld (web_messages.cpp);
    // keyHeld is set while any is.
    uint8_t keyHolds[256];
    bool keyHeld;
    // The clock's first reading after a reset (the one DemoMain starts the
    // show with) and its last, in performance.now() milliseconds.
    bool startRead;
    uint32_t startReading;
    uint32_t lastReading;
    // The show's time 0 as the show last told the tune (it moves with a seek
    // and a pause's end), and whether its clock stands still, at which show
    // time: what each present reports as its frame's show time.
    uint32_t showStartReading;
    bool showPaused;
    int32_t pausedShowMs;
    MusicSongObject song;
};

extern WebBackend webBackend;

// Stops the tune and forgets the loaded song (music_webaudio.cpp).
void WebMusicStop();
