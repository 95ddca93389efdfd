// PNG output: 8-bit RGB, written with libpng.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Encodes width x height pixels, rows top first, of 3 (RGB) or 4 (RGBA)
// bytes each; alpha is dropped, since the show's screen has none. The bytes
// depend only on the pixels, so equal pictures give equal files. 0 when
// libpng refuses (it cannot allocate).
int EncodePngRgb(int width, int height, int bytesPerPixel, const uint8_t* pixels,
                 std::vector<uint8_t>* png);

// Encodes and writes the file under a temporary name beside it, renaming it
// into place at the end: the final name never holds a partial picture.
// 1 on success; 0 with a one-line reason in error.
int WritePngFile(const std::string& path, int width, int height, int bytesPerPixel,
                 const uint8_t* pixels, std::string* error);
