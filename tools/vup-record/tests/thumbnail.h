// Small pictures of frames for the reference stills: averaging 8 x 8 blocks
// smooths away the last-bit differences between rasterisers, while a scene
// that moves, turns or changes colour still changes many of its pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Box-filters an RGBA picture (rows top first) down to width x height RGB.
std::vector<uint8_t> MakeThumbnail(const uint8_t* rgba, int sourceWidth, int sourceHeight,
                                   int width, int height);

struct ThumbnailDifference {
    double meanAbsolute;    // mean of |a - b| over all channels, 0 to 255
    double farOffFraction;  // share of channels differing by more than kFarOff
    int largest;            // the largest channel difference
};
constexpr int kFarOff = 24;

ThumbnailDifference CompareThumbnails(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b);

// Whether a difference is within what another build of the rasteriser may
// produce for the same scene state.
bool WithinRasterTolerance(const ThumbnailDifference& difference);

// Reads an 8-bit RGB PNG (any PNG libpng knows, converted). 1 on success.
int ReadPngRgb(const std::string& path, int* width, int* height, std::vector<uint8_t>* rgb);
