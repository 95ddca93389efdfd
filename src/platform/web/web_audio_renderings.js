// The renderings of the show's tunes, for the page's WebAudio side
// (web_audio.js), as an emscripten JavaScript library: each one fetched
// through index.html's VupLoad (which counts its bytes in the page's
// progress), in an encoding the browser plays, and decoded by an offline
// context, so that no AudioContext need exist while the page loads.
//
// Each MIDI file's rendering comes in two encodings, data/X.ogg (Ogg Vorbis)
// and data/X.m4a (AAC in MP4) for data/X.mid: the page takes the Ogg where
// the browser says it plays it and the MP4 where not (Safari, every iPhone
// browser), or when decoding the one fails; index.html?tune=ogg or ?tune=m4a
// forces one. An encoder may put silence before the first sample (its start
// padding) that a browser's decoder may or may not take off: the page decodes
// data/click.EXT, a click at a known sample encoded the same way, and plays
// each rendering that much further on, so that the tune starts at its own
// time 0 whatever the encoding and the browser.
mergeInto(LibraryManager.library, {
    $VupRenderings: {
        decoder: null,       // an offline context that decodes the renderings
        encodings: [{ext: 'ogg', type: 'audio/ogg; codecs="vorbis"'},
                    {ext: 'm4a', type: 'audio/mp4; codecs="mp4a.40.2"'}],
        clickAt: 0.25,       // where the click lies in data/click.EXT, in seconds
        tunes: {},           // MIDI path -> {buffer, whole, encoding, padding, failed, settled}
        started: null,       // settles once every tune's start is decoded or cannot be

        // The encodings in the order to try them.
        encodingOrder: function() {
            var forced = new URLSearchParams(location.search).get('tune');
            var ogg = VupRenderings.encodings[0], mp4 = VupRenderings.encodings[1];
            if (forced) {
                return VupRenderings.encodings.filter(function(e) { return e.ext === forced; });
            }
            var probe = document.createElement('audio');
            return probe.canPlayType && probe.canPlayType(ogg.type) ? [ogg, mp4] : [mp4, ogg];
        },

        // Fetches (index.html's VupLoad, which counts the bytes in the
        // page's progress) and decodes the site's file `name`; a failed
        // fetch rejects with {file, why}, one that cannot be decoded with an
        // Error.
        fetchDecoded: function(name) {
            return VupLoad.fetch(name).then(function(bytes) {
                var copy = bytes.buffer.slice(bytes.byteOffset, bytes.byteOffset + bytes.length);
                // The callback form: older browsers return no promise.
                return new Promise(function(resolve, reject) {
                    VupRenderings.decoder.decodeAudioData(copy, resolve, function(error) {
                        reject(new Error(name + ': cannot decode: ' + error));
                    });
                });
            });
        },

        // Seconds of silence the browser's decoder leaves before the click.
        paddingIn: function(click) {
            var samples = click.getChannelData(0);
            var peakAt = 0;
            for (var i = 1; i < samples.length; ++i) {
                if (Math.abs(samples[i]) > Math.abs(samples[peakAt])) {
                    peakAt = i;
                }
            }
            var padding = peakAt / click.sampleRate - VupRenderings.clickAt;
            return padding > -0.002 && padding < 0.2 ? Math.max(0, padding) : null;
        },

        // Decodes the rendering of midiPath in the first encoding that works,
        // with its padding: first its start (base.start.EXT, the first
        // seconds on their own, which a slow link brings in a second), then
        // the whole, which takes the start's place (wholeArrived(tune) is
        // called then). started() is called once the start is decoded or
        // cannot be.
        load: function(tune, base, order, started, wholeArrived) {
            var encoding = order[0];
            return Promise.all([
                VupRenderings.fetchDecoded(base + '.start.' + encoding.ext),
                VupRenderings.fetchDecoded('data/click.' + encoding.ext)
            ]).then(function(decoded) {
                var padding = VupRenderings.paddingIn(decoded[1]);
                if (padding === null) {
                    throw new Error('data/click.' + encoding.ext + ' has no click where expected');
                }
                tune.buffer = decoded[0];
                tune.whole = false;
                tune.encoding = encoding.ext;
                tune.padding = padding;
                started();
                return VupRenderings.fetchDecoded(base + '.' + encoding.ext);
            }).then(function(whole) {
                tune.buffer = whole;
                tune.whole = true;
                wholeArrived(tune);
            }, function(error) {
                // One the browser cannot decode gives way to the next; a
                // failed fetch is the page's to report.
                if (error instanceof Error && order.length > 1 && !tune.buffer) {
                    return VupRenderings.load(tune, base, order.slice(1), started, wholeArrived);
                }
                started();
                throw error;
            });
        },

        // Decodes the rendering of each MIDI file; the promise resolves when
        // every one is decoded or cannot be (a tune no encoding of which
        // decodes stays silent), and rejects with {file, why} when a fetch
        // fails. VupRenderings.started settles sooner, with the tunes' starts.
        prepare: function(midiPaths, wholeArrived) {
            var Offline = window.OfflineAudioContext || window.webkitOfflineAudioContext;
            if (!Offline || !(window.AudioContext || window.webkitAudioContext)) {
                return Promise.resolve();
            }
            try {
                VupRenderings.decoder = new Offline(2, 1, 44100);
            } catch (error) {
                console.warn('vup: no sound: ' + error);
                return Promise.resolve();
            }
            var order = VupRenderings.encodingOrder();
            var starts = [];
            var whole = Promise.all(midiPaths.map(function(midiPath) {
                var tune = {buffer: null, whole: false, encoding: null, padding: 0, failed: false};
                VupRenderings.tunes[midiPath] = tune;
                var started;
                tune.settled = new Promise(function(resolve) {
                    started = resolve;
                });
                starts.push(tune.settled);
                var loaded = VupRenderings.load(tune, midiPath.replace(/\.mid$/i, ''), order, started,
                                                wholeArrived);
                loaded.catch(function(error) {
                    tune.failed = !tune.buffer;
                    if (error instanceof Error) {
                        console.warn('vup: the tune ' + midiPath + ' plays ' +
                                     (tune.buffer ? 'only its start: ' : 'silent: ') +
                                     error.message);
                    }
                });
                return loaded.catch(function(error) {
                    if (!(error instanceof Error)) {
                        throw error;
                    }
                });
            }));
            VupRenderings.started = Promise.all(starts);
            return whole;
        },
    },
});
