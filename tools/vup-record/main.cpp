// vup-record: the show rendered to a video, PNG frames or a still, without a
// display and the same on every run.
#include <cstdio>
#include <string>

#include "record_options.h"
#include "recording.h"
#include "schedule_listing.h"

int main(int argc, char** argv) {
    RecordOptions options;
    std::string error;
    if (!ParseRecordOptions(argc, argv, &options, &error)) {
        std::fprintf(stderr, "vup-record: %s\n", error.c_str());
        return kExitUsage;
    }
    if (options.mode == RecordMode::kHelp) {
        std::fputs(RecordUsage(), stdout);
        return kExitRecorded;
    }
    if (options.mode == RecordMode::kListSchedule) {
        PrintScheduleListing(stdout);
        return kExitRecorded;
    }
    return RunRecording(options);
}
