// The page side of web_display.cpp, as an emscripten JavaScript library:
// the canvas as the show's window (shown, titled), the stage around it as
// what goes fullscreen, and the animation frames the show's loop waits for.
// Element ids are index.html's.
mergeInto(LibraryManager.library, {
    $VupDisplay: {
        pageTitle: 'Vup',
        // For the page's tests and benchmarks: presents since the page
        // loaded, and the last one's show time (and the performance.now()
        // of the clock reading it was drawn for), its WebGL work, and how
        // long the program ran from the wait before it to that present (its
        // turns, the drawing and the WebGL calls).
        stats: {presents: 0, showMs: 0, readAt: 0, draws: 0, primitives: 0, lastPresentAt: 0,
                workMs: 0},
        wokenAt: 0,
        // index.html?uncapped, for benchmarks: the loop waits for no
        // animation frame, only lets the page take its events, so it draws
        // as fast as the browser takes the frames (the GPU side's queue
        // holds it back when it falls behind), as a desktop display without
        // vsync does. The browser still shows one frame per refresh.
        uncapped: null,  // read from the address at the first frame
        channel: null,
        // Called at the first animation frame after a present, with the
        // time it began (performance.now(); the callback's own timestamp may
        // lie before the input event that asked for the frame).
        onFrameAfterPresent: null,
        // Called at each present with its show time (the page's position bar).
        onPresent: null,
        // Calls into the program to make between two frames of a show, while
        // its loop waits (a file that has come, web_page.js).
        beforeNextFrame: [],
        wake: function(wakeUp) {
            var calls = VupDisplay.beforeNextFrame.splice(0);
            calls.forEach(function(call) {
                call();
            });
            VupDisplay.wokenAt = performance.now();
            wakeUp();
        },
    },

    VupDisplayCanvas__deps: ['$VupDisplay'],
    VupDisplayCanvas: function(visible) {
        document.getElementById('canvas').style.visibility = visible ? 'visible' : 'hidden';
    },

    VupDisplayTitle__deps: ['$VupDisplay'],
    VupDisplayTitle: function(title) {
        var text = title ? UTF8ToString(title) : VupDisplay.pageTitle;
        document.title = text;
        document.getElementById('caption').textContent = text;
    },

    // Fullscreen needs a click or key press shortly before; a browser
    // without the API, or one that says no, refuses.
    VupDisplayRequestFullscreen__deps: ['$VupDisplay', '$Asyncify'],
    VupDisplayRequestFullscreen: function() {
        return Asyncify.handleSleep(function(wakeUp) {
            var stage = document.getElementById('stage');
            var request;
            try {
                request = stage.requestFullscreen && stage.requestFullscreen({navigationUI: 'hide'});
            } catch (error) {
                request = null;
            }
            if (!request || !request.then) {
                wakeUp(0);
                return;
            }
            request.then(function() {
                wakeUp(1);
            }, function(error) {
                // Not a fault: the show asks the desktop's question.
                console.log('vup: fullscreen refused: ' + error);
                wakeUp(0);
            });
        });
    },

    VupDisplayExitFullscreen: function() {
        if (document.fullscreenElement && document.exitFullscreen) {
            document.exitFullscreen().catch(function() {});
        }
    },

    VupDisplayCursor: function(show) {
        document.getElementById('stage').classList.toggle('no-cursor', !show);
    },

    VupDisplayPresented__deps: ['$VupDisplay', '$VupAudio'],
    VupDisplayPresented: function(showMs, readingMs, draws, primitives) {
        var stats = VupDisplay.stats;
        stats.presents++;
        stats.showMs = showMs;
        stats.readAt = readingMs;
        stats.draws = draws;
        stats.primitives = primitives;
        stats.lastPresentAt = performance.now();
        stats.workMs = stats.lastPresentAt - VupDisplay.wokenAt;
        VupAudio.keepTime(false);
        if (VupDisplay.onPresent) {
            VupDisplay.onPresent(showMs);
        }
    },

    // The frame just drawn reaches the screen when the browser next paints;
    // the show draws its next one in the animation frame before that paint.
    VupDisplayWaitFrame__deps: ['$VupDisplay', '$VupWebgl', '$Asyncify'],
    VupDisplayWaitFrame: function() {
        if (VupDisplay.uncapped === null) {
            VupDisplay.uncapped = new URLSearchParams(location.search).has('uncapped');
        }
        if (VupDisplay.uncapped) {
            Asyncify.handleSleep(function(wakeUp) {
                // A message to itself lets the page take its events first.
                VupWebgl.gl.flush();
                if (!VupDisplay.channel) {
                    VupDisplay.channel = new MessageChannel();
                }
                VupDisplay.channel.port1.onmessage = function() {
                    VupDisplay.wake(wakeUp);
                };
                VupDisplay.channel.port2.postMessage(0);
            });
            return;
        }
        Asyncify.handleSleep(function(wakeUp) {
            requestAnimationFrame(function() {
                if (VupDisplay.onFrameAfterPresent) {
                    var report = VupDisplay.onFrameAfterPresent;
                    VupDisplay.onFrameAfterPresent = null;
                    report(performance.now());
                }
                VupDisplay.wake(wakeUp);
            });
        });
    },
});
