// The page side of web_page.h, as an emscripten JavaScript library.
mergeInto(LibraryManager.library, {
    WebPageMarkReady: function(drawsInFrame) {
        document.body.dataset.draws = String(drawsInFrame);
        document.body.dataset.ready = '1';
    },

    WebPageFail: function(message) {
        var text = UTF8ToString(message);
        console.error('vup: ' + text);
        var line = document.createElement('p');
        line.textContent = text;
        document.body.appendChild(line);
        document.body.dataset.error = text;
    },
});
