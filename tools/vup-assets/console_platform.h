// Message boxes as console lines for vup-assets: the picture reader reports
// its failures through PlatformMessageBox, and here they go to standard error.
#pragma once

#include <string>

// Put in front of each line (e.g. the picture being read); may be empty.
extern std::string consoleMessageContext;
// The text of the last box, without its trailing line break.
extern std::string lastConsoleMessage;
