// The live page (index.html without ?still): the title picture under a start
// control, the show itself from a click (DemoMain, as on the desktop), and
// the page again once the show has ended, ready to play it again. The start
// control calls WebShowPlay (platform/web/web_page.h), defined here.
#pragma once

// From main: starts listening to the page, has the tune decoded, draws the
// title picture and shows the start control with it.
void WebLiveStart();
