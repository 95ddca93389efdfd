// Reduces a true-colour picture to an indexed one with a palette of its own
// (median cut over the picture's colours, weighted by how often they occur).
#pragma once

#include "bmp_writer.h"
#include "canvas.h"

// maxColours is 1 to 256. Pictures with no more distinct colours than that are
// stored exactly.
IndexedImage ReduceToPalette(const Rgb8Image& image, int maxColours);
