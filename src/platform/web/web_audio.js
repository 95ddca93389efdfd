// The WebAudio side of music_webaudio.cpp, as an emscripten JavaScript
// library. One AudioContext for the page, made once the start control is on
// the screen: making a page's first one starts the browser's audio service,
// which neither the page's loading nor the click that starts the show should
// wait for (makeContext). A browser lets it sound only once the page has had
// a click, so the click resumes it.
//
// Each MIDI file's rendering is fetched and decoded by
// web_audio_renderings.js, which also measures where the tune starts in it.
//
// A playing song is a looping AudioBufferSourceNode through its own gain (the
// volume) into an analyser and the speakers; the analyser lets the page
// report that sound comes out.
//
// Keeping time: the tune's position as heard equals the show's elapsed time
// (tune time 0 = show time 0), measured on the page's performance.now()
// clock, the clock the show runs on. web_audio_clock.js says which context
// time is heard at which performance.now(); the first song of a show starts
// where the show's clock is, and each present checks, twice a second, that
// it is still there: one that has drifted more than resyncSeconds (an
// output that underran, a context that started late) is started again at
// the right place. A song started by an F1 re-open keeps the show's time
// too: it sounds where the show has got to.
//
// The show's clock can be moved (a seek, a pause's end) and paused: the page
// is told the new time 0 (VupAudioShowZero) and the pause (VupAudioPaused).
// A playing song then stops at once, so that nothing queued for the old place
// is heard, and a new source starts at the new place with the same short
// lead as any start; a paused song is silent until the pause ends.
mergeInto(LibraryManager.library, {
    $VupAudio__deps: ['$VupRenderings', '$VupHeard'],
    $VupAudio: {
        context: null,
        analyser: null,
        resyncSeconds: 0.025,
        tune: null,          // the tune of the last load
        volume: 1,
        showZeroAt: null,    // performance.now() of the show's time 0, once announced
        paused: false,       // the show's clock stands still
        // Each announcement of the show's clock since the show began, for the
        // page's tests: [performance.now(), time 0 then, 1 while paused].
        moves: [],
        song: null,          // the playing song: {source, gain, tune, starts, zeroAt, ...}
        checkedAt: 0,

        // Makes the page's context. Chromium takes 0.4 to 0.5 s of the page's
        // own time to make one (it starts its audio service), so the page
        // makes it once the start control is on the screen, not while it
        // loads, and the tune is decoded by an offline context meanwhile.
        makeContext: function() {
            var AudioContextClass = window.AudioContext || window.webkitAudioContext;
            if (VupAudio.context || !AudioContextClass) {
                return;
            }
            try {
                VupAudio.context = new AudioContextClass();
            } catch (error) {
                console.warn('vup: no sound: ' + error);
                return;
            }
            VupAudio.context.onstatechange = function() {
                VupAudio.keepTime(true);
            };
            VupAudio.analyser = VupAudio.context.createAnalyser();
            VupAudio.analyser.fftSize = 2048;
            VupAudio.analyser.connect(VupAudio.context.destination);
        },

        // Decodes the rendering of each MIDI file (web_audio_renderings.js);
        // the promise resolves when every one is decoded or cannot be, and
        // rejects with {file, why} when a fetch fails. VupRenderings.started
        // settles sooner, with the tunes' starts.
        prepare: function(midiPaths) {
            return VupRenderings.prepare(midiPaths, VupAudio.wholeArrived);
        },

        // A tune's whole rendering has come, after its start: a song of it
        // goes on from the whole. One playing its start plays on meanwhile,
        // so the change can be set well ahead, where a busy page still makes
        // it in time; one silent meanwhile (moved past the start) joins now.
        wholeArrived: function(tune) {
            var song = VupAudio.song;
            if (song && song.tune === tune && song.source) {
                VupAudio.startSource(song, 0.25);
            } else if (song && song.tune === tune) {
                VupAudio.keepTime(true);
            }
        },

        // At the click that starts the show: browsers let a context sound
        // only from a user gesture.
        begin: function() {
            if (VupRenderings.decoder) {
                VupAudio.makeContext();
            }
            if (VupAudio.context && VupAudio.context.state === 'suspended') {
                VupAudio.context.resume();
            }
        },

        // The context time heard at performance.now() time `at` (ms).
        heardTime: function(at) {
            return VupHeard.contextTime(VupAudio.context, at);
        },

        length: function(tune) {
            return tune.buffer.duration - tune.padding;
        },

        // The tune position heard at performance.now() time `at`, or null
        // when no song is playing.
        heardPosition: function(at) {
            var song = VupAudio.song;
            var heard = song && VupAudio.heardTime(at);
            // The source heard then: a restarted one sounds from its start on.
            var starts = song ? song.starts : [];
            for (var i = starts.length - 1; i >= 0; --i) {
                if (starts[i].at <= heard) {
                    if (starts[i].until !== null && heard >= starts[i].until) {
                        return null;
                    }
                    return (starts[i].offset - song.tune.padding + heard - starts[i].at) %
                        VupAudio.length(song.tune);
                }
            }
            return null;
        },

        // Starts the song's source so that the tune position
        // (performance.now() - zeroAt) / 1000 is heard at each moment; with
        // no zeroAt, from the beginning, and zeroAt becomes that start. Only
        // the whole tune loops; past the end of its start alone, nothing
        // starts until the whole has come. It sounds `lead` seconds on
        // (20 ms unless given), the source before it stopping there.
        startSource: function(song, lead) {
            var context = VupAudio.context;
            var now = performance.now();
            var when = context.currentTime + (lead || 0.02);
            var heardAt = now + (when - VupAudio.heardTime(now)) * 1000;
            if (song.zeroAt === null) {
                song.zeroAt = heardAt;
            }
            var position = Math.max(0, heardAt - song.zeroAt) / 1000;
            if (song.tune.whole) {
                position %= VupAudio.length(song.tune);
            } else if (position >= VupAudio.length(song.tune)) {
                return;
            }
            var source = context.createBufferSource();
            source.buffer = song.tune.buffer;
            source.loop = song.tune.whole;
            source.loopStart = song.tune.padding;
            source.loopEnd = song.tune.buffer.duration;
            source.connect(song.gain);
            var offset = song.tune.padding + position;
            source.start(when, offset);
            song.starts.push({at: when, offset: offset, until: null});
            if (song.starts.length > 2) {
                song.starts.shift();
            }
            song.first = song.first || song.starts[0];
            if (song.source) {
                song.source.stop(when);
            }
            song.source = source;
        },

        // Stops the song's source at once (the show's clock moved or
        // stopped): nothing it had queued is heard.
        cut: function(song) {
            if (song.source) {
                song.source.stop();
                song.source.disconnect();
                song.source = null;
                var last = song.starts[song.starts.length - 1];
                if (last) {
                    last.until = VupAudio.context.currentTime;
                }
            }
        },

        // The show's clock has moved or stopped or goes on: the song goes to
        // its place at once, or falls silent.
        follow: function() {
            var song = VupAudio.song;
            if (!song) {
                return;
            }
            song.zeroAt = VupAudio.showZeroAt;
            song.paused = VupAudio.paused;
            VupAudio.cut(song);
            song.late = 0;
            VupAudio.keepTime(true);
        },

        // Starts a song waiting for its context or its rendering, and starts
        // again one heard too far from where it should be. Called on each
        // present (force: at once, else at most twice a second).
        keepTime: function(force) {
            var song = VupAudio.song;
            var now = performance.now();
            if (!song || song.paused || !song.tune.buffer || VupAudio.context.state !== 'running' ||
                (!force && now - VupAudio.checkedAt < 500)) {
                return;
            }
            VupAudio.checkedAt = now;
            if (!song.source) {
                VupAudio.startSource(song);
                return;
            }
            var heard = VupAudio.heardPosition(now);
            var length = VupAudio.length(song.tune);
            if (heard === null || (!song.tune.whole && (now - song.zeroAt) / 1000 >= length - 0.1)) {
                return;  // not yet heard, or the start alone at its end
            }
            var error = heard - (now - song.zeroAt) / 1000 % length;
            error -= length * Math.round(error / length);  // across the loop's seam
            // Twice in a row, so that one odd reading restarts nothing.
            song.late = Math.abs(error) > VupAudio.resyncSeconds ? song.late + 1 : 0;
            if (song.late >= 2) {
                song.late = 0;
                song.resyncs.push([Math.round(now - song.zeroAt), Math.round(error * 1000)]);
                VupAudio.startSource(song);
            }
        },

        stop: function() {
            var song = VupAudio.song;
            if (song) {
                if (song.source) {
                    song.source.stop();
                    song.source.disconnect();
                }
                song.gain.disconnect();
            }
            VupAudio.song = null;
        },

        // For the page's tests and benchmarks.
        report: function() {
            var context = VupAudio.context;
            var song = VupAudio.song;
            var tune = VupAudio.tune;
            return {
                state: context ? context.state : 'none',
                encoding: tune ? tune.encoding : null,
                padding: tune ? tune.padding : null,
                playing: !!(song && song.source),
                // The context time and tune position of the song's first start.
                startedAt: song && song.first ? song.first.at : null,
                offset: song && song.first ? song.first.offset - song.tune.padding : null,
                // Each start again: [ms into the song, ms it was off].
                resyncs: song ? song.resyncs : [],
                // Where in the tune the speakers are now.
                position: VupAudio.heardPosition(performance.now()),
            };
        },

        // Root mean square of the last 2,048 samples sent to the speakers.
        level: function() {
            if (!VupAudio.analyser) {
                return 0;
            }
            var samples = new Float32Array(VupAudio.analyser.fftSize);
            VupAudio.analyser.getFloatTimeDomainData(samples);
            var sum = 0;
            for (var i = 0; i < samples.length; ++i) {
                sum += samples[i] * samples[i];
            }
            return Math.sqrt(sum / samples.length);
        },
    },

    VupAudioShowZero__deps: ['$VupAudio'],
    VupAudioShowZero: function(performanceMs) {
        VupAudio.showZeroAt = performanceMs;
        VupAudio.moves.push([performance.now(), performanceMs, VupAudio.paused ? 1 : 0]);
        VupAudio.follow();
    },

    VupAudioPaused__deps: ['$VupAudio'],
    VupAudioPaused: function(paused) {
        VupAudio.paused = !!paused;
        VupAudio.moves.push([performance.now(), VupAudio.showZeroAt, paused ? 1 : 0]);
        VupAudio.follow();
    },

    VupAudioInit__deps: ['$VupAudio'],
    VupAudioInit: function() {
        VupAudio.stop();
        VupAudio.tune = null;
        return VupAudio.context ? 1 : 0;
    },

    VupAudioLoad__deps: ['$VupAudio'],
    VupAudioLoad: function(path) {
        var tune = VupAudio.context && VupRenderings.tunes[UTF8ToString(path)];
        if (!tune || tune.failed) {
            return 0;
        }
        VupAudio.tune = tune;
        VupAudio.volume = 1;
        return 1;
    },

    VupAudioSetVolume__deps: ['$VupAudio'],
    VupAudioSetVolume: function(gain) {
        VupAudio.volume = gain;
        if (VupAudio.song) {
            VupAudio.song.gain.gain.value = gain;
        }
    },

    // Every song of a show keeps time with the show's clock, the one of an F1
    // re-open included (the tune was written to the scenes). It sounds once
    // the context runs and the rendering is decoded, at the place the clock
    // has reached by then.
    VupAudioPlay__deps: ['$VupAudio'],
    VupAudioPlay: function() {
        var tune = VupAudio.tune;
        if (!tune) {
            return 0;
        }
        VupAudio.stop();
        var gain = VupAudio.context.createGain();
        gain.gain.value = VupAudio.volume;
        gain.connect(VupAudio.analyser);
        VupAudio.song = {source: null, gain: gain, tune: tune, starts: [], first: null,
                         zeroAt: VupAudio.showZeroAt, paused: VupAudio.paused, late: 0,
                         resyncs: []};
        if (tune.buffer) {
            VupAudio.keepTime(true);
        } else {
            tune.settled.then(function() {
                VupAudio.keepTime(true);
            });
        }
        return 1;
    },

    VupAudioStop__deps: ['$VupAudio'],
    VupAudioStop: function() {
        VupAudio.stop();
        VupAudio.tune = null;
        VupAudio.showZeroAt = null;
        VupAudio.paused = false;
        VupAudio.moves = [];
    },
});
