// The browser's entry, beside main.cpp (the desktop's), over the page's
// platform backend (platform/web/web_backend.h). The page (index.html) turns
// its query into arguments: "--still S" for one still of the show
// (web_still_page.h); otherwise the live page (web_live_page.h), whose start
// control plays the show, from the address's ?t=S ("--from S") if given.
#include <cstring>

#include "shell/web_live_page.h"
#include "shell/web_still_page.h"

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--still") == 0) {
        return WebStillRun(argv[2]);
    }
    WebLiveStart(argc == 3 && std::strcmp(argv[1], "--from") == 0 ? argv[2] : nullptr);
    return 0;
}
