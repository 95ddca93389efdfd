#include "shell/web_live_page.h"

#include <emscripten/emscripten.h>

#include <cstdio>

#include "assets/show_files.h"
#include "platform/web/web_backend.h"
#include "platform/web/web_page.h"
#include "platform/webgl/gl11.h"
#include "platform/webgl/webgl_context.h"
#include "shell/demo_main.h"
#include "shell/process_reset.h"
#include "shell/show_clock.h"
#include "shell/web_show_files.h"
#include "show/schedule.h"
#include "show/show.h"
#include "show/show_time.h"

// Where the first show starts (the address's ?t=); later ones start at 0.
static int64_t firstShowFromMs = 0;

// The opening picture, as the first frame of the show draws it, for the
// page to show while no show runs. Its context is dropped right after: the
// canvas keeps the picture, and the show makes its own context.
static void DrawTitlePicture() {
    WebSetPagePhase(kWebPagePoster);
    ResetShowState();
    const bool drawn = WebglOpenContext(kWebCanvasId) && LoadShow(kDisplayWidth, kDisplayHeight) &&
                       StepShowToStill(0, 1, nullptr);
    Gl11FlushDraws();
    Gl11DropContext();
    WebDisplayShowCanvas(drawn);
}

void WebLiveStart(const char* fromText) {
    WebListenToPage();
    if (fromText != nullptr) {
        double seconds = 0;
        if (ParseShowSeconds(fromText, &seconds)) {
            firstShowFromMs = StillShowTimeMs(seconds);
        } else {
            char note[128];
            std::snprintf(note, sizeof(note),
                          "The address's time is not one of the show's 0 to %g seconds: the show "
                          "starts at its beginning.",
                          kScheduleEndSeconds);
            WebPageNote(note);
        }
    }
    // The title picture first; a failed fetch leaves the page saying which.
    if (WebFetchShowFiles(0) == 0) {
        return;
    }
    // The site carries the tune's rendering (web_audio_renderings.js).
    WebPageLivePrepare(kTuneFile, kScheduleEndSeconds * 1000.0);
    DrawTitlePicture();
    WebPageLiveReady();
}

extern "C" EMSCRIPTEN_KEEPALIVE int WebShowPlay(int fullscreen) {
    // Everything a fresh process starts with: the page's backend, then the
    // program.
    WebBackendReset();
    ResetProcessState();
    firstOpenFullscreen = fullscreen != 0 ? 1 : 0;
    showStartFromMs = firstShowFromMs;
    firstShowFromMs = 0;

    WebSetPagePhase(kWebPageShow);
    const int status = DemoMain(nullptr, nullptr, nullptr, 0);
    WebSetPagePhase(kWebPagePoster);

    // What the end of the process takes with it on the desktop.
    WebBackendReset();
    DrawTitlePicture();
    return status;
}

// The page's position bar: asks of the running show what its keys would,
// taken at the loop's next turn.
extern "C" EMSCRIPTEN_KEEPALIVE void WebShowSeek(double targetMs) {
    RequestShowSeek(static_cast<int64_t>(targetMs));
}

extern "C" EMSCRIPTEN_KEEPALIVE void WebShowPause(int paused) {
    RequestShowPaused(paused);
}

// Where the show is (ms) and whether it is paused, for the bar.
extern "C" EMSCRIPTEN_KEEPALIVE double WebShowPosition() {
    return static_cast<double>(ShowPositionMs());
}

extern "C" EMSCRIPTEN_KEEPALIVE int WebShowPaused() {
    return ShowPositionPaused();
}
