// The picture reader's two platform calls for programs without a window
// (vup-record, vup-make-icon, the benchmarks): each message box becomes one
// line on standard error, "program: caption: text", and no window has the
// focus. No one is there to answer a question, so a yes/no box is answered
// no. Needs glibc (program_invocation_short_name).
#include <errno.h>

#include <cstdio>
#include <string>

#include "platform/platform.h"

WindowHandle PlatformGetFocus() {
    return nullptr;
}

int PlatformMessageBox(WindowHandle, const char* text, const char* caption, uint32_t flags) {
    std::string line = text != nullptr ? text : "";
    while (!line.empty() && line.back() == '\n') {
        line.pop_back();
    }
    for (char& c : line) {
        if (c == '\n') {
            c = ' ';
        }
    }
    std::fprintf(stderr, "%s: %s: %s\n", program_invocation_short_name,
                 caption != nullptr ? caption : "", line.c_str());
    return (flags & MB_YESNO) == MB_YESNO ? IDNO : IDOK;
}
