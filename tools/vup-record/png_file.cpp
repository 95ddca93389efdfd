#include "png_file.h"

#include <png.h>

#include "output_file.h"

static void AppendToVector(png_structp png, png_bytep data, size_t size) {
    std::vector<uint8_t>* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + size);
}

// libpng reports errors by a long jump back here; nothing between the jump
// and this frame has a destructor to skip.
static int WriteRows(png_structp png, png_infop info, int width, int height, int bytesPerPixel,
                     const uint8_t* pixels) {
    if (setjmp(png_jmpbuf(png))) {
        return 0;
    }
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    // Each byte minus the one three to its left ("Sub") at zlib level 3: the
    // show's smooth shading and flat backgrounds compress about as well as
    // with the defaults, several times faster, which counts when writing a
    // frame per 1/60 s of show.
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_set_compression_level(png, 3);
    png_write_info(png, info);
    if (bytesPerPixel == 4) {
        png_set_filler(png, 0, PNG_FILLER_AFTER);  // drops the fourth byte
    }
    for (int y = 0; y < height; ++y) {
        png_write_row(png, pixels + static_cast<size_t>(y) * width * bytesPerPixel);
    }
    png_write_end(png, nullptr);
    return 1;
}

int EncodePngRgb(int width, int height, int bytesPerPixel, const uint8_t* pixels,
                 std::vector<uint8_t>* png) {
    png->clear();
    png_structp writer = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = writer != nullptr ? png_create_info_struct(writer) : nullptr;
    int written = 0;
    if (info != nullptr) {
        png_set_write_fn(writer, png, AppendToVector, nullptr);
        written = WriteRows(writer, info, width, height, bytesPerPixel, pixels);
    }
    png_destroy_write_struct(&writer, &info);
    return written;
}

int WritePngFile(const std::string& path, int width, int height, int bytesPerPixel,
                 const uint8_t* pixels, std::string* error) {
    std::vector<uint8_t> png;
    if (!EncodePngRgb(width, height, bytesPerPixel, pixels, &png)) {
        *error = "cannot encode the picture for '" + path + "'";
        return 0;
    }
    return WriteFileAtomically(path, png.data(), png.size(), error);
}
