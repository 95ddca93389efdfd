// The browser entry. The page (index.html) turns its query into arguments:
// "--still S" for one still of the show; without arguments the live page
// (web_live.h), whose start control plays the show.
#include <cstring>

#include "platform/web/web_live.h"
#include "platform/web/web_still.h"

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--still") == 0) {
        return WebStillRun(argv[2]);
    }
    WebLiveStart();
    return 0;
}
