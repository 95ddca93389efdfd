#include "thumbnail.h"

#include <png.h>

#include <cstdlib>

std::vector<uint8_t> MakeThumbnail(const uint8_t* rgba, int sourceWidth, int sourceHeight,
                                   int width, int height) {
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        const int top = y * sourceHeight / height;
        const int bottom = (y + 1) * sourceHeight / height;
        for (int x = 0; x < width; ++x) {
            const int left = x * sourceWidth / width;
            const int right = (x + 1) * sourceWidth / width;
            uint32_t sums[3] = {0, 0, 0};
            for (int sy = top; sy < bottom; ++sy) {
                const uint8_t* row = rgba + (static_cast<size_t>(sy) * sourceWidth + left) * 4;
                for (int sx = left; sx < right; ++sx, row += 4) {
                    sums[0] += row[0];
                    sums[1] += row[1];
                    sums[2] += row[2];
                }
            }
            const uint32_t count = static_cast<uint32_t>((bottom - top) * (right - left));
            for (int c = 0; c < 3; ++c) {
                rgb[(static_cast<size_t>(y) * width + x) * 3 + c] =
                    static_cast<uint8_t>((sums[c] + count / 2) / count);
            }
        }
    }
    return rgb;
}

ThumbnailDifference CompareThumbnails(const std::vector<uint8_t>& a,
                                      const std::vector<uint8_t>& b) {
    ThumbnailDifference difference = {255.0, 1.0, 255};
    if (a.size() != b.size() || a.empty()) {
        return difference;
    }
    uint64_t total = 0;
    size_t farOff = 0;
    int largest = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        const int delta = std::abs(static_cast<int>(a[i]) - static_cast<int>(b[i]));
        total += static_cast<uint64_t>(delta);
        farOff += delta > kFarOff ? 1 : 0;
        largest = delta > largest ? delta : largest;
    }
    difference.meanAbsolute = static_cast<double>(total) / static_cast<double>(a.size());
    difference.farOffFraction = static_cast<double>(farOff) / static_cast<double>(a.size());
    difference.largest = largest;
    return difference;
}

// Another rasteriser build moves a polygon edge by a pixel here and there,
// which a 64-pixel block averages to a few levels. One frame (1/60 s) of the
// smallest moving scene, the polyhedron, puts about 0.6% of the channels far
// off; 0.1% leaves room for noise and still sees that.
bool WithinRasterTolerance(const ThumbnailDifference& difference) {
    return difference.meanAbsolute <= 1.0 && difference.farOffFraction <= 0.001;
}

int ReadPngRgb(const std::string& path, int* width, int* height, std::vector<uint8_t>* rgb) {
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        return 0;
    }
    image.format = PNG_FORMAT_RGB;
    rgb->assign(PNG_IMAGE_SIZE(image), 0);
    if (!png_image_finish_read(&image, nullptr, rgb->data(), 0, nullptr)) {
        return 0;
    }
    *width = static_cast<int>(image.width);
    *height = static_cast<int>(image.height);
    return 1;
}
