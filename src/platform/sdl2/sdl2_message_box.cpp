// Modal message boxes with Windows' buttons and answers.
#include <cstdio>

#include "platform/posix/termination_signals.h"
#include "platform/sdl2/sdl2_backend.h"

static Uint32 IconFlags(uint32_t flags) {
    switch (flags & 0xF0) {
        case MB_ICONSTOP:
            return SDL_MESSAGEBOX_ERROR;
        case MB_ICONEXCLAMATION:
            return SDL_MESSAGEBOX_WARNING;
        default:
            return SDL_MESSAGEBOX_INFORMATION;
    }
}

int PlatformMessageBox(WindowHandle owner, const char* text, const char* caption, uint32_t flags) {
    const bool yesNo = (flags & 0x0F) == MB_YESNO;
    const int defaultAnswer = yesNo ? IDYES : IDOK;
    // Asked to end, the viewer has answered already: No, or OK.
    const int endingAnswer = yesNo ? IDNO : IDOK;
    // Also on the terminal, for whoever started the show from one.
    std::fprintf(stderr, "vup: %s: %s\n", caption, text);
    if (TerminationSignal() != 0) {
        return endingAnswer;
    }

    // Return answers the default button (Yes or OK), Escape the other.
    const SDL_MessageBoxButtonData yesNoButtons[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDYES, "Yes"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDNO, "No"},
    };
    const SDL_MessageBoxButtonData okButton[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDOK,
         "OK"},
    };
    SDL_MessageBoxData box = {};
    box.flags = IconFlags(flags);
    box.window = KitWindowIsLive(owner) ? SdlWindowOf(owner) : nullptr;
    box.title = caption;
    box.message = text;
    box.numbuttons = yesNo ? 2 : 1;
    box.buttons = yesNo ? yesNoButtons : okButton;

    if (!Sdl2VideoReady()) {
        // Without a display nobody can answer: take the default button.
        return defaultAnswer;
    }
    int answer = 0;
    Sdl2StartBoxCloser(caption);
    const int shown = SDL_ShowMessageBox(&box, &answer);
    Sdl2StopBoxCloser();
    if (TerminationSignal() != 0) {
        return endingAnswer;
    }
    return shown != 0 || answer <= 0 ? defaultAnswer : answer;
}
