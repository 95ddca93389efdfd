// vup_bench_reader: the show's bitmap reader against the two decoders people
// would otherwise reach for, stb_image and SDL_LoadBMP, on the same files in
// memory (24-bit and 8-bit, 512 x 512 and 4096 x 4096). Throughput is file
// bytes per second. The show's reader and stb_image both deliver packed RGB;
// SDL_LoadBMP keeps the file's own pixel format (blue first, or palette
// indices), so it is also measured with the conversion to packed RGB that
// the show's texture upload would need from it.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <stb_image.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "assets/bitmap_reader.h"

struct TestPicture {
    std::string name;
    std::vector<unsigned char> file;
};

static void PutLe16(std::vector<unsigned char>& bytes, size_t at, uint32_t value) {
    bytes[at] = static_cast<unsigned char>(value);
    bytes[at + 1] = static_cast<unsigned char>(value >> 8);
}

static void PutLe32(std::vector<unsigned char>& bytes, size_t at, uint32_t value) {
    PutLe16(bytes, at, value & 0xFFFFu);
    PutLe16(bytes, at + 2, value >> 16);
}

// A "BM" file with a 40-byte info header; the pixels are a busy pattern so
// that no decoder meets long runs of one value.
static TestPicture MakePicture(int side, int bitCount) {
    const uint32_t paletteBytes = bitCount == 8 ? 256 * 4 : 0;
    const uint32_t rowBytes = ((static_cast<uint32_t>(side) * bitCount + 31) / 32) * 4;
    const uint32_t pixelOffset = 14 + 40 + paletteBytes;
    const size_t size = pixelOffset + static_cast<size_t>(rowBytes) * side;
    std::vector<unsigned char> file(size, 0);
    file[0] = 'B';
    file[1] = 'M';
    PutLe32(file, 2, static_cast<uint32_t>(size));
    PutLe32(file, 10, pixelOffset);
    PutLe32(file, 14, 40);
    PutLe32(file, 18, static_cast<uint32_t>(side));
    PutLe32(file, 22, static_cast<uint32_t>(side));
    PutLe16(file, 26, 1);
    PutLe16(file, 28, static_cast<uint32_t>(bitCount));
    PutLe32(file, 34, static_cast<uint32_t>(rowBytes) * side);
    for (uint32_t i = 0; i < paletteBytes / 4; ++i) {
        file[54 + 4 * i + 0] = static_cast<unsigned char>(i * 7);
        file[54 + 4 * i + 1] = static_cast<unsigned char>(i * 13);
        file[54 + 4 * i + 2] = static_cast<unsigned char>(255 - i);
    }
    uint32_t noise = 12345;
    for (size_t i = pixelOffset; i < size; ++i) {
        noise = noise * 1103515245u + 12345u;
        file[i] = static_cast<unsigned char>(noise >> 16);
    }
    return {std::to_string(bitCount) + "bit/" + std::to_string(side), std::move(file)};
}

static void ShowReader(benchmark::State& state, const TestPicture* picture) {
    for (auto _ : state) {
        RgbImage* image = ReadBitmapBytes(picture->file.data(), picture->file.size());
        if (image == nullptr) {
            state.SkipWithError("the show's reader refused the picture");
            break;
        }
        benchmark::DoNotOptimize(image->pixels);
        std::free(image->pixels);
        std::free(image);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * picture->file.size()));
}

static void StbImage(benchmark::State& state, const TestPicture* picture) {
    for (auto _ : state) {
        int width = 0;
        int height = 0;
        int channels = 0;
        unsigned char* pixels =
            stbi_load_from_memory(picture->file.data(), static_cast<int>(picture->file.size()),
                                  &width, &height, &channels, 3);
        if (pixels == nullptr) {
            state.SkipWithError("stb_image refused the picture");
            break;
        }
        benchmark::DoNotOptimize(pixels);
        stbi_image_free(pixels);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * picture->file.size()));
}

static void SdlLoadBmp(benchmark::State& state, const TestPicture* picture, bool toRgb) {
    for (auto _ : state) {
        SDL_RWops* source =
            SDL_RWFromConstMem(picture->file.data(), static_cast<int>(picture->file.size()));
        SDL_Surface* surface = SDL_LoadBMP_RW(source, 1);
        if (surface == nullptr) {
            state.SkipWithError("SDL_LoadBMP refused the picture");
            break;
        }
        if (toRgb) {
            SDL_Surface* rgb = SDL_ConvertSurfaceFormat(surface, SDL_PIXELFORMAT_RGB24, 0);
            SDL_FreeSurface(surface);
            surface = rgb;
        }
        benchmark::DoNotOptimize(surface->pixels);
        SDL_FreeSurface(surface);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * picture->file.size()));
}

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    showLoaderErrors = false;
    static std::vector<TestPicture> pictures;
    for (int bitCount : {24, 8}) {
        for (int side : {512, 4096}) {
            pictures.push_back(MakePicture(side, bitCount));
        }
    }
    for (const TestPicture& picture : pictures) {
        benchmark::RegisterBenchmark(("Reader/Vup/" + picture.name).c_str(), ShowReader, &picture);
        benchmark::RegisterBenchmark(("Reader/Stb/" + picture.name).c_str(), StbImage, &picture);
        benchmark::RegisterBenchmark(("Reader/SdlLoadBmp/" + picture.name).c_str(), SdlLoadBmp,
                                     &picture, false);
        benchmark::RegisterBenchmark(("Reader/SdlLoadBmpToRgb/" + picture.name).c_str(), SdlLoadBmp,
                                     &picture, true);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
