// The live page (index.html without ?still): the title picture under a start
// control, the show itself from a click (DemoMain, as on the desktop), and
// the page again once the show has ended, ready to play it again. The start
// control calls WebShowPlay (platform/web/web_page.h), defined here.
#pragma once

// From main: starts listening to the page, has the tune decoded, draws the
// title picture and shows the start control with it. `fromText` (the
// address's ?t=, or null) is the show time the first show starts at, in
// seconds; one that is not a time in the show is said in the page, and the
// show starts at 0.
void WebLiveStart(const char* fromText);
