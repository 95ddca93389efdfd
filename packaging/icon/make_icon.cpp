// vup-make-icon: the menu icon, made at build time from the title picture
// through the show's own picture reader, so the icon always matches the
// picture the show opens with.
//
//   vup-make-icon Data/Main.bmp SIZE OUT.png
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "assets/bitmap_reader.h"
#include "png_file.h"

// The largest centred square of the picture, shrunk (or grown) to
// size x size by averaging the source pixels each target pixel covers. The
// picture is stored bottom row first; the result is top row first, as PNG
// wants.
static std::vector<uint8_t> SquareIcon(const RgbImage& image, int size) {
    const int width = image.width;
    const int height = std::abs(image.height);
    const int side = width < height ? width : height;
    const int left = (width - side) / 2;
    const int bottom = (height - side) / 2;

    std::vector<uint8_t> icon(static_cast<size_t>(size) * size * 3);
    for (int y = 0; y < size; ++y) {
        // Source rows of this target row, counted from the square's top.
        const int top0 = y * side / size;
        const int top1 = std::max(top0 + 1, (y + 1) * side / size);
        for (int x = 0; x < size; ++x) {
            const int x0 = x * side / size;
            const int x1 = std::max(x0 + 1, (x + 1) * side / size);
            unsigned long sum[3] = {0, 0, 0};
            for (int fromTop = top0; fromTop < top1; ++fromTop) {
                const int row = bottom + side - 1 - fromTop;
                const uint8_t* pixel =
                    image.pixels + (static_cast<size_t>(row) * width + left + x0) * 3;
                for (int column = x0; column < x1; ++column, pixel += 3) {
                    sum[0] += pixel[0];
                    sum[1] += pixel[1];
                    sum[2] += pixel[2];
                }
            }
            const unsigned long count = static_cast<unsigned long>(top1 - top0) * (x1 - x0);
            uint8_t* out = &icon[(static_cast<size_t>(y) * size + x) * 3];
            for (int channel = 0; channel < 3; ++channel) {
                out[channel] = static_cast<uint8_t>((sum[channel] + count / 2) / count);
            }
        }
    }
    return icon;
}

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fputs("Usage: vup-make-icon PICTURE.bmp SIZE OUT.png\n", stderr);
        return 2;
    }
    char* end = nullptr;
    const long size = std::strtol(argv[2], &end, 10);
    if (end == argv[2] || *end != '\0' || size < 1 || size > 1024) {
        std::fprintf(stderr, "vup-make-icon: size '%s' is not 1 to 1024\n", argv[2]);
        return 2;
    }

    RgbImage* image = ReadBitmapFile(argv[1]);
    if (image == nullptr) {
        std::fprintf(stderr, "vup-make-icon: cannot read %s\n", argv[1]);
        return 1;
    }
    const bool usable = image->pixels != nullptr && image->width > 0 && image->height != 0;
    std::vector<uint8_t> icon;
    if (usable) {
        icon = SquareIcon(*image, static_cast<int>(size));
    }
    std::free(image->pixels);
    std::free(image);
    if (!usable) {
        std::fprintf(stderr, "vup-make-icon: %s holds no pixels\n", argv[1]);
        return 1;
    }

    std::string error;
    const int side = static_cast<int>(size);
    if (!WritePngFile(argv[3], side, side, 3, icon.data(), &error)) {
        std::fprintf(stderr, "vup-make-icon: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
