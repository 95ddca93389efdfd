// The two platform calls the picture reader makes; nothing else of the
// platform is linked into vup-assets.
#include "console_platform.h"

#include <cstdio>

#include "platform/platform.h"

std::string consoleMessageContext;
std::string lastConsoleMessage;

WindowHandle PlatformGetFocus() {
    return nullptr;
}

int PlatformMessageBox(WindowHandle, const char* text, const char*, uint32_t) {
    lastConsoleMessage = text;
    while (!lastConsoleMessage.empty() &&
           (lastConsoleMessage.back() == '\n' || lastConsoleMessage.back() == '\r')) {
        lastConsoleMessage.pop_back();
    }
    if (consoleMessageContext.empty()) {
        std::fprintf(stderr, "vup-assets: %s\n", lastConsoleMessage.c_str());
    } else {
        std::fprintf(stderr, "vup-assets: %s: %s\n", consoleMessageContext.c_str(),
                     lastConsoleMessage.c_str());
    }
    return IDOK;
}
