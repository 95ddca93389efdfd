// The picture reader's two platform calls in the page: a message box becomes
// a line under the canvas (and in the console), and no window has the focus.
// Nobody answers in the still page, so a yes/no box is answered no; the live
// page's dialogs take this file's place.
#include "platform/platform.h"
#include "platform/web/web_page.h"

WindowHandle PlatformGetFocus() {
    return nullptr;
}

int PlatformMessageBox(WindowHandle, const char* text, const char* caption, uint32_t flags) {
    WebPageShowMessage(caption != nullptr ? caption : "", text != nullptr ? text : "");
    return (flags & MB_YESNO) == MB_YESNO ? IDNO : IDOK;
}
