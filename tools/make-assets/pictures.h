// The show's four pictures, drawn from code. Each is a power-of-two square or
// 1:2 panel designed for the size and place the show draws it at.
#pragma once

#include "canvas.h"

// Data/Main.bmp, 512x512: the title. The opening scene draws it as a 20x20
// square 20 units ahead of a 45-degree camera, centred right of and below the
// view axis, so only the upper 71% and the left 90% are on screen at first;
// the title sits inside that part. The whole picture shows while it shrinks.
Canvas DrawTitlePicture();

// Data/VOLVO.bmp, 512x512: the end picture, a 14x14 square filling most of
// the screen height.
Canvas DrawEndPicture();

// Data/Greetz.bmp, 256x512: the greetings panel, drawn 6 wide by 12 high, so
// its pixels stay square on screen (about 217x434 screen pixels).
Canvas DrawGreetingsPicture();

// Data/klump.bmp, 256x256: the small texture behind the breathing solid,
// about 200 screen pixels across.
Canvas DrawKlumpPicture();
