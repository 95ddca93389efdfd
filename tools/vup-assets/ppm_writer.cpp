#include "ppm_writer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

bool WritePpm(const char* path, const RgbImage& image, std::string* error) {
    FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        *error = std::strerror(errno);
        return false;
    }
    bool written = std::fprintf(file, "P6\n%d %d\n255\n", image.width, image.height) > 0;
    const size_t rowBytes = static_cast<size_t>(image.width) * 3;
    // The picture holds its bottom row first.
    for (int32_t row = image.height - 1; written && row >= 0; --row) {
        const unsigned char* pixels = image.pixels + rowBytes * static_cast<size_t>(row);
        written = std::fwrite(pixels, 1, rowBytes, file) == rowBytes;
    }
    const int savedErrno = errno;
    const bool closed = std::fclose(file) == 0;
    if (written && closed) {
        return true;
    }
    *error = std::strerror(written ? errno : savedErrno);
    std::remove(path);
    return false;
}
