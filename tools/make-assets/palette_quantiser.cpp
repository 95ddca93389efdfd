#include "palette_quantiser.h"

#include <algorithm>
#include <cstdint>
#include <map>

namespace {

struct ColourCount {
    uint32_t rgb;  // 0xRRGGBB
    uint32_t count;
};

int Channel(uint32_t rgb, int channel) {
    return static_cast<int>((rgb >> (16 - 8 * channel)) & 0xFF);
}

// A run of the colour list that becomes one palette entry (or is split).
struct Box {
    size_t begin;
    size_t end;
    uint64_t pixels;
    int widestChannel;
    int range;
};

Box MakeBox(const std::vector<ColourCount>& colours, size_t begin, size_t end) {
    Box box{begin, end, 0, 0, -1};
    int lo[3] = {255, 255, 255};
    int hi[3] = {0, 0, 0};
    for (size_t i = begin; i < end; ++i) {
        box.pixels += colours[i].count;
        for (int c = 0; c < 3; ++c) {
            lo[c] = std::min(lo[c], Channel(colours[i].rgb, c));
            hi[c] = std::max(hi[c], Channel(colours[i].rgb, c));
        }
    }
    for (int c = 0; c < 3; ++c) {
        if (hi[c] - lo[c] > box.range) {
            box.range = hi[c] - lo[c];
            box.widestChannel = c;
        }
    }
    return box;
}

// Which box to split next: the one whose colours spread widest, weighted by
// the square root of its pixel share so big flat areas do not hog entries.
double SplitPriority(const Box& box) {
    if (box.end - box.begin < 2 || box.range == 0) {
        return -1.0;
    }
    double weight = 1.0;
    for (uint64_t p = box.pixels; p > 1; p >>= 2) {
        weight *= 2.0;  // about sqrt(pixels), exact and platform independent
    }
    return box.range * weight;
}

PaletteEntry MeanColour(const std::vector<ColourCount>& colours, const Box& box) {
    uint64_t sum[3] = {0, 0, 0};
    for (size_t i = box.begin; i < box.end; ++i) {
        for (int c = 0; c < 3; ++c) {
            sum[c] += static_cast<uint64_t>(Channel(colours[i].rgb, c)) * colours[i].count;
        }
    }
    auto avg = [&](int c) { return static_cast<uint8_t>((sum[c] + box.pixels / 2) / box.pixels); };
    return {avg(0), avg(1), avg(2)};
}

int DistanceSquared(uint32_t rgb, const PaletteEntry& e) {
    int dr = Channel(rgb, 0) - e.r;
    int dg = Channel(rgb, 1) - e.g;
    int db = Channel(rgb, 2) - e.b;
    return dr * dr * 3 + dg * dg * 4 + db * db * 2;  // green matters most to the eye
}

}  // namespace

IndexedImage ReduceToPalette(const Rgb8Image& image, int maxColours) {
    std::map<uint32_t, uint32_t> histogram;
    size_t pixelCount = static_cast<size_t>(image.width) * image.height;
    for (size_t i = 0; i < pixelCount; ++i) {
        uint32_t rgb = (uint32_t{image.rgb[i * 3]} << 16) | (uint32_t{image.rgb[i * 3 + 1]} << 8) |
                       image.rgb[i * 3 + 2];
        ++histogram[rgb];
    }
    std::vector<ColourCount> colours;
    colours.reserve(histogram.size());
    for (const auto& [rgb, count] : histogram) {
        colours.push_back({rgb, count});
    }

    std::vector<Box> boxes{MakeBox(colours, 0, colours.size())};
    while (static_cast<int>(boxes.size()) < maxColours) {
        size_t best = 0;
        for (size_t i = 1; i < boxes.size(); ++i) {
            if (SplitPriority(boxes[i]) > SplitPriority(boxes[best])) {
                best = i;
            }
        }
        Box box = boxes[best];
        if (SplitPriority(box) < 0.0) {
            break;  // every box holds a single colour
        }
        int channel = box.widestChannel;
        std::sort(colours.begin() + static_cast<long>(box.begin),
                  colours.begin() + static_cast<long>(box.end),
                  [channel](const ColourCount& a, const ColourCount& b) {
                      int ka = Channel(a.rgb, channel);
                      int kb = Channel(b.rgb, channel);
                      return ka != kb ? ka < kb : a.rgb < b.rgb;
                  });
        // Cut at the pixel-weighted median, keeping both halves non-empty.
        uint64_t half = box.pixels / 2;
        uint64_t seen = 0;
        size_t cut = box.begin + 1;
        for (size_t i = box.begin; i < box.end - 1; ++i) {
            seen += colours[i].count;
            cut = i + 1;
            if (seen >= half) {
                break;
            }
        }
        boxes[best] = MakeBox(colours, box.begin, cut);
        boxes.push_back(MakeBox(colours, cut, box.end));
    }

    IndexedImage out{image.width, image.height, {}, {}};
    for (const Box& box : boxes) {
        out.palette.push_back(MeanColour(colours, box));
    }
    std::map<uint32_t, uint8_t> nearest;
    for (const ColourCount& colour : colours) {
        int bestIndex = 0;
        int bestDistance = DistanceSquared(colour.rgb, out.palette[0]);
        for (size_t i = 1; i < out.palette.size(); ++i) {
            int d = DistanceSquared(colour.rgb, out.palette[i]);
            if (d < bestDistance) {
                bestDistance = d;
                bestIndex = static_cast<int>(i);
            }
        }
        nearest[colour.rgb] = static_cast<uint8_t>(bestIndex);
    }
    out.indices.resize(pixelCount);
    for (size_t i = 0; i < pixelCount; ++i) {
        uint32_t rgb = (uint32_t{image.rgb[i * 3]} << 16) | (uint32_t{image.rgb[i * 3 + 1]} << 8) |
                       image.rgb[i * 3 + 2];
        out.indices[i] = nearest[rgb];
    }
    return out;
}
