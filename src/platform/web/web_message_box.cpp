// Message boxes in the page. While the show plays, a box is a dialog over
// the canvas with the desktop's texts, caption and buttons, and the show
// waits for its answer (Return answers OK or Yes, Escape No). The still page
// has nobody to answer: a box becomes a line under the canvas, and a
// question is answered No. The title picture drawn before the show shows no
// box at all: a picture that cannot be read is reported when the show
// starts, as on the desktop.
#include <cstdio>

#include "platform/web/web_backend_state.h"

// web_page.js: waits for a button; returns IDOK, IDYES or IDNO.
extern "C" int VupPageDialog(const char* text, const char* caption, int yesNo, int icon);

int PlatformMessageBox(WindowHandle /*owner*/, const char* text, const char* caption,
                       uint32_t flags) {
    const bool yesNo = (flags & 0x0F) == MB_YESNO;
    const char* shownText = text != nullptr ? text : "";
    const char* shownCaption = caption != nullptr ? caption : "";
    switch (webBackend.phase) {
        case kWebPageShow: {
            webBackend.messageBoxOpen = true;
            const int answer = VupPageDialog(shownText, shownCaption, yesNo ? 1 : 0,
                                             static_cast<int>(flags & 0xF0));
            webBackend.messageBoxOpen = false;
            return answer;
        }
        case kWebPageStill:
            WebPageShowMessage(shownCaption, shownText);
            break;
        case kWebPagePoster:
            std::printf("vup: (title picture) %s: %s\n", shownCaption, shownText);
            break;
    }
    return yesNo ? IDNO : IDOK;
}
