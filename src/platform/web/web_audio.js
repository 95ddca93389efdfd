// The WebAudio side of music_webaudio.cpp, as an emscripten JavaScript
// library. One AudioContext for the page, made when the page loads: making
// a page's first one starts the browser's audio service, which the click
// that starts the show should not wait for. A browser lets it sound only
// once the page has had a click, so the click resumes it. Each MIDI file's
// rendering (data/X.ogg for data/X.mid) is fetched and decoded at load too. A playing song is a looping
// AudioBufferSourceNode through its own gain (the volume) into an analyser
// and the speakers; the analyser lets the page report that sound comes out.
mergeInto(LibraryManager.library, {
    $VupAudio: {
        context: null,
        analyser: null,
        tunes: {},        // MIDI path -> {buffer, failed, settled (a Promise)}
        tune: null,       // the tune of the last load
        volume: 1,
        source: null,
        gain: null,
        showZero: null,   // context time of the show's time 0, until its first play
        started: null,    // {at, offset}: context time and tune position of the start

        renderingOf: function(midiPath) {
            return midiPath.replace(/\.mid$/i, '') + '.ogg';
        },

        // Makes the context and decodes the rendering of each MIDI file; the
        // promise settles when every one is decoded or has failed (a tune
        // that fails to decode stays silent).
        prepare: function(midiPaths) {
            var AudioContextClass = window.AudioContext || window.webkitAudioContext;
            if (!AudioContextClass) {
                return Promise.resolve();
            }
            try {
                VupAudio.context = new AudioContextClass();
            } catch (error) {
                console.warn('vup: no sound: ' + error);
                return Promise.resolve();
            }
            VupAudio.analyser = VupAudio.context.createAnalyser();
            VupAudio.analyser.fftSize = 2048;
            VupAudio.analyser.connect(VupAudio.context.destination);
            return Promise.all(midiPaths.map(function(midiPath) {
                var tune = {buffer: null, failed: false, settled: null};
                VupAudio.tunes[midiPath] = tune;
                tune.settled = fetch(VupAudio.renderingOf(midiPath))
                    .then(function(response) {
                        if (!response.ok) {
                            throw new Error('HTTP ' + response.status);
                        }
                        return response.arrayBuffer();
                    })
                    .then(function(bytes) {
                        // The callback form: older browsers return no promise.
                        return new Promise(function(resolve, reject) {
                            VupAudio.context.decodeAudioData(bytes, resolve, reject);
                        });
                    })
                    .then(function(buffer) {
                        tune.buffer = buffer;
                    }, function(error) {
                        tune.failed = true;
                        console.warn('vup: the tune ' + midiPath + ' plays silent: ' + error);
                    });
                return tune.settled;
            }));
        },

        // At the click that starts the show: browsers let a context sound
        // only from a user gesture.
        begin: function() {
            if (VupAudio.context && VupAudio.context.state === 'suspended') {
                VupAudio.context.resume();
            }
        },

        stop: function() {
            if (VupAudio.source) {
                VupAudio.source.onended = null;
                try {
                    VupAudio.source.stop();
                } catch (error) {
                    // Never started (its rendering was still being decoded).
                }
                VupAudio.source.disconnect();
                VupAudio.gain.disconnect();
            }
            VupAudio.source = null;
            VupAudio.gain = null;
            VupAudio.started = null;
        },

        // The first song of a show starts where the show's clock is, so the
        // tune keeps time with the scenes however long the display took to
        // open; a later one (an F1 re-open) starts from its beginning, as a
        // freshly loaded song does on the desktop.
        start: function(source) {
            var context = VupAudio.context;
            var offset = 0;
            if (VupAudio.showZero !== null) {
                offset = Math.max(0, context.currentTime - VupAudio.showZero) %
                    source.buffer.duration;
                VupAudio.showZero = null;
            }
            source.start(0, offset);
            VupAudio.started = {at: context.currentTime, offset: offset};
        },

        // For the page's tests and benchmarks.
        report: function() {
            var context = VupAudio.context;
            var started = VupAudio.started;
            return {
                state: context ? context.state : 'none',
                currentTime: context ? context.currentTime : 0,
                playing: started !== null,
                startedAt: started ? started.at : null,
                offset: started ? started.offset : null,
                // Where in the tune the speakers are now.
                position: started && context ?
                    context.currentTime - started.at + started.offset : null,
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

    VupAudioInit__deps: ['$VupAudio'],
    VupAudioInit: function() {
        VupAudio.stop();
        VupAudio.tune = null;
        return VupAudio.context ? 1 : 0;
    },

    VupAudioLoad__deps: ['$VupAudio'],
    VupAudioLoad: function(path) {
        var tune = VupAudio.context && VupAudio.tunes[UTF8ToString(path)];
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
        if (VupAudio.gain) {
            VupAudio.gain.gain.value = gain;
        }
    },

    VupAudioPlay__deps: ['$VupAudio'],
    VupAudioPlay: function() {
        var tune = VupAudio.tune;
        if (!tune) {
            return 0;
        }
        VupAudio.stop();
        var context = VupAudio.context;
        var source = context.createBufferSource();
        var gain = context.createGain();
        gain.gain.value = VupAudio.volume;
        source.loop = true;
        source.connect(gain);
        gain.connect(VupAudio.analyser);
        VupAudio.source = source;
        VupAudio.gain = gain;
        if (tune.buffer) {
            source.buffer = tune.buffer;
            VupAudio.start(source);
        } else {
            // Still decoding: it starts once decoded, unless replaced first.
            tune.settled.then(function() {
                if (VupAudio.source === source && tune.buffer) {
                    source.buffer = tune.buffer;
                    VupAudio.start(source);
                }
            });
        }
        return 1;
    },

    VupAudioSetShowStart__deps: ['$VupAudio'],
    VupAudioSetShowStart: function(sinceStartMs) {
        if (VupAudio.context) {
            VupAudio.showZero = VupAudio.context.currentTime - sinceStartMs / 1000;
        }
    },

    VupAudioStop__deps: ['$VupAudio'],
    VupAudioStop: function() {
        VupAudio.stop();
        VupAudio.tune = null;
        VupAudio.showZero = null;
    },
});
