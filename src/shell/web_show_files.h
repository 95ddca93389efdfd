// The show's files on the page: the site stores them apart from the program,
// and the page fetches them into the in-memory file system the show reads
// (VupPageFetchFiles, web_page.js).
#pragma once

// Fetches every file of the show: the title picture and the tune first,
// then the other pictures (on the live page, behind the start of the tune's
// rendering, which the page asks for meanwhile). With waitForAll 0 it
// returns once the first two
// are in: each picture still on its way is meanwhile a small black one, so
// the title can be drawn and the show can start, and a picture that comes
// during a show takes its texture's place from the next frame on
// (WebFileArrived). With waitForAll 1 it returns once every file is in.
// 1 when they are; 0 when a fetch failed (the page has said which).
int WebFetchShowFiles(int waitForAll);
