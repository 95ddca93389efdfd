// The browser entry. The page (index.html) turns its query into arguments:
// "--still S" for one still of the show.
#include <cstring>

#include "platform/web/web_page.h"
#include "platform/web/web_still.h"

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--still") == 0) {
        return WebStillRun(argv[2]);
    }
    WebPageFail("This build draws stills only: open index.html?still=S (S from 0 to 85 seconds).");
    return 1;
}
