// When a WebAudio context's time is heard, on the page's performance.now()
// clock (web_audio.js keeps the tune's position as heard with the show's
// clock). Engines report it differently: an output timestamp, on one engine
// of another clock; latencies reported, or left out.
mergeInto(LibraryManager.library, {
    $VupHeard: {
        offsets: [],         // [performance.now(), heard context time - it / 1000], last second
        // Output latency an engine leaves out of all it reports: WebKitGTK
        // reads 0 for it, yet its GStreamer sink plays what the context
        // renders 15 to 70 ms later (captured from the sound server; the
        // page's test hears it): about the middle of that. Seconds.
        unreportedLatency: function() {
            var agent = navigator.userAgent;
            return /Linux|X11/.test(agent) && /AppleWebKit/.test(agent) &&
                !/Chrom|Firefox|Edg/.test(agent) ? 0.04 : 0;
        },

        // The time of `context` heard at performance.now() time `at` (ms): the
        // context's output timestamp where it can be trusted (it is of the
        // last second and not of the future: one engine gives one on another
        // clock; and one that leaves out the output's latency, as one engine
        // gives, has it taken off), else its current time less its
        // latencies. An engine's clock moves in blocks, so the reading is
        // late by up to a block between two moves: the greatest of the last
        // second's offsets from performance.now() is the one taken just after
        // a move.
        contextTime: function(context, at) {
            var now = performance.now();
            var latency = context.outputLatency || 0;
            var stamp = context.getOutputTimestamp ? context.getOutputTimestamp() : null;
            var heard;
            if (stamp && stamp.contextTime > 0 && stamp.performanceTime <= now + 1 &&
                stamp.performanceTime > now - 1000) {
                heard = stamp.contextTime + (now - stamp.performanceTime) / 1000;
                if (Math.abs(heard - context.currentTime) < 0.001) {
                    heard -= latency;
                }
            } else {
                heard = context.currentTime - latency - (context.baseLatency || 0) -
                    VupHeard.unreportedLatency();
            }
            var offsets = VupHeard.offsets;
            offsets.push([now, heard - now / 1000]);
            while (offsets.length > 1 && (offsets[0][0] < now - 1000 || offsets.length > 200)) {
                offsets.shift();
            }
            var best = -Infinity;
            for (var i = 0; i < offsets.length; ++i) {
                best = Math.max(best, offsets[i][1]);
            }
            return best + at / 1000;
        },
    },
});
