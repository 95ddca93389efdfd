// The page side of web_page.h, as an emscripten JavaScript library.
mergeInto(LibraryManager.library, {
    WebPageMarkReady: function(drawsInFrame) {
        document.body.dataset.draws = String(drawsInFrame);
        document.body.dataset.ready = '1';
    },

    $VupPageLine: function(text) {
        console.error('vup: ' + text);
        var line = document.createElement('p');
        line.textContent = text;
        document.body.appendChild(line);
    },

    WebPageShowMessage__deps: ['$VupPageLine'],
    WebPageShowMessage: function(caption, text) {
        VupPageLine(UTF8ToString(caption) + ': ' + UTF8ToString(text));
    },

    WebPageFail__deps: ['$VupPageLine'],
    WebPageFail: function(message) {
        var text = UTF8ToString(message);
        VupPageLine(text);
        document.body.dataset.error = text;
    },
});
