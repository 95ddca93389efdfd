#include "schedule_listing.h"

#include <algorithm>
#include <vector>

#include "show/schedule.h"

// Seconds to 15 significant digits: what the table writes (72.3) as written,
// and a third of a second (140.0 / 3.0) within 1e-13 s.
static void PrintMoments(std::FILE* out, const double* at, std::size_t count) {
    std::fputc('[', out);
    for (std::size_t i = 0; i < count; ++i) {
        std::fprintf(out, "%s%.15g", i == 0 ? "" : ", ", at[i]);
    }
    std::fputc(']', out);
}

static void PrintName(std::FILE* out, const char* key, const char* name) {
    if (name == nullptr) {
        std::fprintf(out, "\"%s\": null, ", key);
    } else {
        std::fprintf(out, "\"%s\": \"%s\", ", key, name);
    }
}

// {"end": S, "changes": [...], "heard_at": [...], "scenes": [{...}, ...]}:
// the scene changes are every scene's start but the first; the tune is heard
// at those and at each scene's further moments.
void PrintScheduleListing(std::FILE* out) {
    std::vector<double> changes;
    std::vector<double> heard;
    for (std::size_t i = 1; i < kScheduleSize; ++i) {
        changes.push_back(kSchedule[i].from);
    }
    heard = changes;
    for (const ScheduledScene& scene : kSchedule) {
        heard.insert(heard.end(), scene.alsoHeardAt.at,
                     scene.alsoHeardAt.at + scene.alsoHeardAt.count);
    }
    std::sort(heard.begin(), heard.end());

    std::fprintf(out, "{\"end\": %.15g, \"end_tune_section\": \"%s\", \"changes\": ",
                 kScheduleEndSeconds, kScheduleEndTuneSection);
    PrintMoments(out, changes.data(), changes.size());
    std::fputs(", \"heard_at\": ", out);
    PrintMoments(out, heard.data(), heard.size());
    std::fputs(", \"scenes\": [", out);
    for (std::size_t i = 0; i < kScheduleSize; ++i) {
        const ScheduledScene& scene = kSchedule[i];
        std::fprintf(out,
                     "%s\n  {\"id\": \"%s\", \"name\": \"%s\", \"from\": %.15g, \"to\": %.15g, ",
                     i == 0 ? "" : ",", scene.id, scene.name, scene.from, scene.to);
        // A scene with no picture check, or no tune section of its own: null.
        PrintName(out, "picture", scene.picture);
        std::fprintf(out, "\"shot_at\": %.15g, ", scene.shotAt);
        PrintName(out, "tune_section", scene.tuneSection);
        std::fputs("\"stills\": ", out);
        PrintMoments(out, scene.stills.at, static_cast<std::size_t>(scene.stills.count));
        std::fputc('}', out);
    }
    std::fputs("\n]}\n", out);
}
