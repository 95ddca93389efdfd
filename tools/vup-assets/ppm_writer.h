// Binary PPM (P6) output of a decoded picture, top row first as PPM wants.
#pragma once

#include <string>

#include "assets/bitmap_reader.h"

// False with *error set (and no file left behind) when it cannot be written.
bool WritePpm(const char* path, const RgbImage& image, std::string* error);
