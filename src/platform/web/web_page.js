// The page side of web_page.h, as an emscripten JavaScript library: the
// marks tests read off the body element, lines in the page, the live page's
// start and play-again control, and message boxes as dialogs. Element ids
// are index.html's.
//
// body data-state on the live page: "loading", then "ready" (start control
// shown), "playing", and "ended" (play-again control shown).
mergeInto(LibraryManager.library, {
    $VupPageLine: function(text) {
        console.error('vup: ' + text);
        var line = document.createElement('p');
        line.textContent = text;
        document.body.appendChild(line);
    },

    $VupPage__deps: ['$VupAudio', '$VupDisplay'],
    $VupPage: {
        tuneReady: null,  // settles once the tune is decoded or has failed
        failure: null,    // {file, why} of a fetch that failed
        // Times on the performance.now() clock (from the page's navigation),
        // for the page's tests and benchmarks.
        // At load: the program running (mainAt), the title picture drawn
        // (titleAt), the tune decoded (tuneAt), the start control on screen
        // (readyAt).
        // At a show: the click, the first frame on the screen and its show
        // time (firstShowMs: 0, or where the address's ?t= starts it).
        stats: {mainAt: null, titleAt: null, tuneAt: null, readyAt: null, clickAt: null,
                playAt: null, firstFrameAt: null, firstShowMs: null, endedAt: null, plays: 0},

        // Calls then once what was drawn so far is on the screen: the second
        // animation frame from now comes after the browser's next paint.
        afterPaint: function(then) {
            requestAnimationFrame(function() {
                requestAnimationFrame(then);
            });
        },

        setState: function(state) {
            document.body.dataset.state = state;
        },

        touchTimer: null,
        barTimer: null,
        scrubbing: false,
        link: null,        // the last address the link control made
        showLength: 0,      // ms, the show's (WebPageLivePrepare)

        // m:ss of a show time in ms.
        clockText: function(ms) {
            var seconds = Math.max(0, Math.floor(ms / 1000));
            return Math.floor(seconds / 60) + ':' + ('0' + seconds % 60).slice(-2);
        },

        // The position bar: shown, and faded 2.5 s later unless it is in
        // use (the focus in it, the pointer over it, scrubbing) or the show
        // is paused.
        showBar: function() {
            var bar = document.getElementById('bar');
            if (document.body.dataset.state !== 'playing' ||
                !document.getElementById('dialog').hidden) {
                return;
            }
            if (!bar.classList.contains('shown') && !VupPage.scrubbing) {
                VupPage.drawBar(VupDisplay.stats.showMs, !!Module._WebShowPaused());
            }
            bar.classList.add('shown');
            clearTimeout(VupPage.barTimer);
            var fade = function() {
                if (VupPage.scrubbing || Module._WebShowPaused() ||
                    bar.matches(':focus-within, :hover')) {
                    VupPage.barTimer = setTimeout(fade, 2500);
                    return;
                }
                bar.classList.remove('shown');
            };
            VupPage.barTimer = setTimeout(fade, 2500);
        },

        // The bar at show time ms (paused or not).
        drawBar: function(ms, paused) {
            var at = Math.min(Math.max(ms, 0), VupPage.showLength);
            var percent = (100 * at / VupPage.showLength) + '%';
            var seek = document.getElementById('bar-seek');
            document.getElementById('bar-fill').style.width = percent;
            document.getElementById('bar-handle').style.left = percent;
            document.getElementById('bar-time').textContent = VupPage.clockText(at);
            seek.setAttribute('aria-valuenow', Math.floor(at / 1000));
            seek.setAttribute('aria-valuetext', VupPage.clockText(at) + ' of ' +
                              VupPage.clockText(VupPage.showLength));
            var pause = document.getElementById('bar-pause');
            if (pause.dataset.paused !== String(paused)) {
                pause.dataset.paused = String(paused);
                document.getElementById('bar-pause-icon').setAttribute(
                    'd', paused ? 'M4 2v12l10-6z' : 'M3 2h4v12H3zM9 2h4v12H9z');
                pause.setAttribute('aria-label', paused ? 'Play' : 'Pause');
            }
        },

        // The show's time a pointer on the track points at, in ms.
        pointedAt: function(event) {
            var box = document.getElementById('bar-seek').getBoundingClientRect();
            var fraction = Math.min(Math.max((event.clientX - box.left) / box.width, 0), 1);
            return Math.round(fraction * VupPage.showLength);
        },

        // The page's address with ?t= the show's position in seconds (to the
        // tenth below), copied where the browser lets the page: the
        // clipboard, else a selection copied, else shown for copying by hand.
        copyLink: function() {
            var ms = VupDisplay.stats.showMs;
            var url = new URL(location.href);
            url.searchParams.set('t', String(Math.floor(ms / 100) / 10));
            url.hash = '';
            var link = url.toString();
            VupPage.link = link;
            var status = document.getElementById('note');
            var byHand = function() {
                var field = document.createElement('textarea');
                field.value = link;
                field.setAttribute('readonly', '');
                field.style.position = 'fixed';
                field.style.opacity = '0';
                document.body.appendChild(field);
                field.select();
                var copied = false;
                try {
                    copied = document.execCommand('copy');
                } catch (error) {
                    copied = false;
                }
                field.remove();
                status.textContent = copied ? 'A link to ' + VupPage.clockText(ms) + ' is copied.' :
                    'A link to ' + VupPage.clockText(ms) + ': ' + link;
            };
            if (navigator.clipboard && navigator.clipboard.writeText) {
                navigator.clipboard.writeText(link).then(function() {
                    status.textContent = 'A link to ' + VupPage.clockText(ms) + ' is copied.';
                }, byHand);
            } else {
                byHand();
            }
        },

        // The bar's controls: pause and play, the track by pointer (mouse,
        // finger or pen; the arrow keys and Home are the show's own, so the
        // focused track moves with them), the link.
        wireBar: function() {
            var stage = document.getElementById('stage');
            var seek = document.getElementById('bar-seek');
            // Drawn while it can be seen, and when it is shown.
            VupDisplay.onPresent = function(showMs) {
                var shown = document.getElementById('bar').classList.contains('shown');
                if (shown && !VupPage.scrubbing) {
                    VupPage.drawBar(showMs, !!Module._WebShowPaused());
                }
            };
            stage.addEventListener('pointermove', function(event) {
                if (event.pointerType === 'mouse') {
                    VupPage.showBar();
                }
            });
            stage.addEventListener('pointerdown', VupPage.showBar);
            window.addEventListener('keydown', VupPage.showBar);
            document.getElementById('bar-pause').onclick = function() {
                Module._WebShowPause(Module._WebShowPaused() ? 0 : 1);
            };
            document.getElementById('bar-link').onclick = VupPage.copyLink;
            var scrubTo = function(event) {
                var ms = VupPage.pointedAt(event);
                VupPage.drawBar(ms, !!Module._WebShowPaused());
                Module._WebShowSeek(ms);
            };
            seek.addEventListener('pointerdown', function(event) {
                event.preventDefault();
                seek.setPointerCapture(event.pointerId);
                VupPage.scrubbing = true;
                scrubTo(event);
            });
            seek.addEventListener('pointermove', function(event) {
                if (VupPage.scrubbing) {
                    scrubTo(event);
                }
            });
            var release = function() {
                VupPage.scrubbing = false;
                VupPage.showBar();
            };
            seek.addEventListener('pointerup', release);
            seek.addEventListener('pointercancel', release);
        },

        // The two small controls over the show (Escape and F1 for a finger),
        // shown by a tap and fading after three seconds.
        showTouchControls: function() {
            var controls = document.getElementById('touch');
            controls.classList.add('shown');
            clearTimeout(VupPage.touchTimer);
            VupPage.touchTimer = setTimeout(function() {
                controls.classList.remove('shown');
            }, 3000);
        },

        // A key held for a few frames, as a finger on a keyboard: the show
        // reads keys held on its drawing turns.
        pressKey: function(virtualKey) {
            Module._WebPressKey(virtualKey, 1);
            setTimeout(function() {
                Module._WebPressKey(virtualKey, 0);
            }, 150);
        },

        // The line under the canvas names what the device has: keys, or the
        // touch controls (without the switch where the browser has no
        // fullscreen for a page element, as on an iPhone).
        wireTouch: function() {
            var stage = document.getElementById('stage');
            var canSwitch = !!(document.fullscreenEnabled && stage.requestFullscreen);
            var switchButton = document.getElementById('touch-switch');
            switchButton.hidden = !canSwitch;
            stage.addEventListener('pointerdown', function(event) {
                if (document.body.dataset.state === 'playing' && event.target.tagName !== 'BUTTON' &&
                    document.getElementById('dialog').hidden) {
                    VupPage.showTouchControls();
                }
            });
            document.getElementById('touch-end').onclick = function() {
                VupPage.pressKey(0x1B);  // VK_ESCAPE
            };
            switchButton.onclick = function() {
                VupPage.pressKey(0x70);  // VK_F1
            };
            var touch = navigator.maxTouchPoints > 0 || matchMedia('(pointer: coarse)').matches;
            if (touch) {
                var ends = ' \u00b7 it ends by itself after ' +
                    Math.round(VupPage.showLength / 1000) + ' seconds';
                document.getElementById('keys').textContent =
                    'Tap the show for its controls: the bar pauses it and moves through it, ' +
                    (canSwitch ? '\u2715 ends it, \u2922 switches between fullscreen and the page' :
                     '\u2715 ends it') + ends;
            }
        },

        showControl: function(heading, playLabel, pageLabel) {
            document.getElementById('control-heading').textContent = heading;
            document.getElementById('play').textContent = playLabel;
            document.getElementById('play-page').textContent = pageLabel;
            document.getElementById('control').hidden = false;
            document.getElementById('play').focus();
        },

        // The click is the show's time 0: the clock's start reading is taken
        // inside it, and a browser lets sound and fullscreen start only in
        // such a gesture.
        play: function(event, fullscreen) {
            var stats = VupPage.stats;
            stats.clickAt = event.timeStamp;
            stats.firstFrameAt = null;
            stats.endedAt = null;
            stats.plays++;
            document.getElementById('control').hidden = true;
            document.getElementById('touch').classList.remove('shown');
            document.getElementById('note').textContent = '';
            VupPage.setState('playing');
            VupPage.drawBar(0, false);
            document.getElementById('bar').hidden = false;
            VupAudio.begin();
            VupDisplay.onFrameAfterPresent = function(time) {
                stats.firstFrameAt = time;
                stats.firstShowMs = VupDisplay.stats.showMs;
            };
            stats.playAt = performance.now();
            Module.ccall('WebShowPlay', 'number', ['number'], [fullscreen ? 1 : 0], {async: true})
                .then(function() {
                    stats.endedAt = performance.now();
                    document.getElementById('touch').classList.remove('shown');
                    var bar = document.getElementById('bar');
                    bar.classList.remove('shown');
                    bar.hidden = true;
                    VupPage.setState('ended');
                    VupPage.showControl('The show has ended.', 'Play again',
                                        'Play again in the page');
                    if (VupPage.failure) {
                        VupLoad.fail(VupPage.failure.file, VupPage.failure.why);
                    }
                });
        },

        // A fetch that failed ({file, why}): said at once, or, while a show
        // plays, once it has ended.
        loadFailed: function(failure) {
            VupPage.failure = VupPage.failure || failure;
            if (document.body.dataset.state !== 'playing') {
                VupLoad.fail(failure.file, failure.why);
            }
        },

        // A message box: caption, text and buttons as on the desktop; Return
        // answers the first button (OK or Yes), Escape the last (OK or No).
        dialog: function(caption, text, yesNo, icon, answer) {
            console.log('vup: ' + caption + ': ' + text);
            var box = document.getElementById('dialog');
            var buttons = document.getElementById('dialog-buttons');
            document.getElementById('dialog-caption').textContent = caption;
            document.getElementById('dialog-text').textContent = text;
            box.dataset.icon = {16: 'stop', 48: 'exclamation', 64: 'information'}[icon] || '';
            buttons.textContent = '';
            var choices = yesNo ? [['Yes', 6], ['No', 7]] : [['OK', 1]];
            var close = function(value) {
                window.removeEventListener('keydown', onKey, true);
                box.hidden = true;
                answer(value);
            };
            var onKey = function(event) {
                if (event.key === 'Enter' || event.key === 'Escape') {
                    event.preventDefault();
                    event.stopPropagation();
                    close(choices[event.key === 'Enter' ? 0 : choices.length - 1][1]);
                }
            };
            choices.forEach(function(choice) {
                var button = document.createElement('button');
                button.textContent = choice[0];
                button.id = 'dialog-' + choice[0].toLowerCase();
                button.onclick = function() {
                    close(choice[1]);
                };
                buttons.appendChild(button);
            });
            window.addEventListener('keydown', onKey, true);
            box.hidden = false;
            buttons.firstChild.focus();
        },
    },

    WebPageMarkReady__deps: ['$VupPage'],
    WebPageMarkReady: function(drawsInFrame) {
        VupPage.afterPaint(function() {
            document.body.dataset.draws = String(drawsInFrame);
            document.body.dataset.ready = '1';
        });
    },

    WebPageShowMessage__deps: ['$VupPageLine'],
    WebPageShowMessage: function(caption, text) {
        VupPageLine(UTF8ToString(caption) + ': ' + UTF8ToString(text));
    },

    WebPageNote: function(text) {
        document.getElementById('note').textContent = UTF8ToString(text);
    },

    WebPageFail__deps: ['$VupPageLine'],
    WebPageFail: function(message) {
        var text = UTF8ToString(message);
        VupPageLine(text);
        document.body.dataset.error = text;
    },

    WebPageLivePrepare__deps: ['$VupPage', '$VupAudio'],
    WebPageLivePrepare: function(midiPath, showLengthMs) {
        VupPage.showLength = showLengthMs;
        VupPage.setState('loading');
        VupPage.stats.mainAt = performance.now();
        VupPage.tuneReady = VupAudio.prepare([UTF8ToString(midiPath)]).then(function() {
            VupPage.stats.tuneAt = performance.now();
        });
        document.getElementById('play').onclick = function(event) {
            VupPage.play(event, true);
        };
        document.getElementById('play-page').onclick = function(event) {
            VupPage.play(event, false);
        };
        VupPage.wireTouch();
        VupPage.wireBar();
    },

    WebPageLiveReady__deps: ['$VupPage', '$VupAudio'],
    // The start control comes with the title picture, whether or not the
    // tune is decoded yet: decoding it takes the browser longer than
    // everything else the page loads (about a second and a half of the two
    // seconds it took to be ready), and a show started before it is done
    // has the tune join where the show's clock is once it is. A tune that
    // cannot be fetched fails the page, at once or, when a show is playing,
    // once that show ends.
    WebPageLiveReady: function() {
        VupPage.stats.titleAt = performance.now();
        document.getElementById('loading').hidden = true;
        VupPage.showControl('Vup', 'Play', 'Play in the page');
        VupPage.afterPaint(function() {
            if (document.body.dataset.state === 'loading') {
                VupPage.stats.readyAt = performance.now();
                VupPage.setState('ready');
            }
            VupAudio.makeContext();
        });
        VupPage.tuneReady.catch(VupPage.loadFailed);
    },

    // The show's files (web_show_files.h), fetched through index.html's
    // VupLoad into the file system the show reads: the first waitCount
    // together, then the rest together, so the first come soonest. Returns
    // 1 once the first waitCount are in, 0 when a fetch failed (the page
    // names the file; during a show, once it has ended). A file that comes
    // while a show plays is announced to the program before its next frame.
    VupPageFetchFiles__deps: ['$VupPage', '$VupDisplay', '$VupRenderings', '$Asyncify', '$FS',
                              '$PATH', 'malloc', 'free'],
    VupPageFetchFiles: function(paths, count, waitCount) {
        var names = [];
        for (var i = 0; i < count; ++i) {
            names.push(UTF8ToString(HEAP32[(paths >> 2) + i]));
        }
        VupLoad.expect(names);
        return Asyncify.handleSleep(function(wakeUp) {
            var woken = false;
            var wake = function(value) {
                if (!woken) {
                    woken = true;
                    wakeUp(value);
                }
            };
            var fetchAll = function(group) {
                return Promise.all(group.map(function(name) {
                    return VupLoad.fetch(name).then(function(bytes) {
                        var path = '/' + name;
                        FS.mkdirTree(PATH.dirname(path));
                        FS.writeFile(path, bytes);
                        if (document.body.dataset.state === 'playing') {
                            // Called directly: ccall, made while the show
                            // waits for its frame, would take the show's own
                            // unfinished call for its own, and the show's
                            // end would never reach the page.
                            VupDisplay.beforeNextFrame.push(function() {
                                var size = lengthBytesUTF8(name) + 1;
                                var text = _malloc(size);
                                stringToUTF8(name, text, size);
                                Module['_WebFileArrived'](text);
                                _free(text);
                            });
                        }
                    });
                }));
            };
            fetchAll(names.slice(0, waitCount)).then(function() {
                wake(1);
                // The program has asked for its tune by now: the tune's start
                // goes ahead of the rest, which is needed later.
                return VupRenderings.started;
            }).then(function() {
                return fetchAll(names.slice(waitCount));
            }).catch(function(failure) {
                VupPage.loadFailed(failure);
                wake(0);
            });
        });
    },

    VupPageDialog__deps: ['$VupPage', '$Asyncify'],
    VupPageDialog: function(text, caption, yesNo, icon) {
        var captionText = UTF8ToString(caption);
        var bodyText = UTF8ToString(text);
        return Asyncify.handleSleep(function(wakeUp) {
            VupPage.dialog(captionText, bodyText, yesNo, icon, wakeUp);
        });
    },
});
