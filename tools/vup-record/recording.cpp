#include "recording.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "audio_track.h"
#include "frame_schedule.h"
#include "frame_times.h"
#include "interrupt.h"
#include "output_file.h"
#include "png_file.h"
#include "progress_meter.h"
#include "show/show.h"
#include "show_driver.h"
#include "video_encoder.h"

enum class Outcome { kDone, kFailed, kInterrupted };

// Receives each recorded frame: its number within the recording and its
// pixels, rows top first, RGBA. 0 with a reason stops the recording.
typedef int (*FrameConsumer)(void* context, int64_t recordedIndex, const uint8_t* rgbaTopFirst,
                             std::string* error);

struct VideoTarget {
    VideoEncoder encoder;
    size_t frameBytes;
};

struct FolderTarget {
    std::string folder;  // ends in '/'
    int width;
    int height;
};

static int Fail(const std::string& error) {
    std::fprintf(stderr, "vup-record: %s\n", error.c_str());
    return kExitFailed;
}

static int InterruptedStatus() {
    std::fprintf(stderr, "vup-record: interrupted; no unfinished file was kept\n");
    return 128 + PendingInterrupt();
}

static double MillisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// Runs the show's turns for frames 0 .. endFrame - 1 and hands frames from
// firstFrame on to the consumer. Earlier frames are only simulated, except
// the one just before firstFrame: a turn at an interval bound draws nothing
// and shows what the buffer held, which must be that frame, as live. With
// times, each handed frame's render time goes there.
static Outcome DriveFrames(const RecordOptions& options, int64_t firstFrame, int64_t endFrame,
                           FrameConsumer consume, void* context, FrameTimesFile* times,
                           std::string* error) {
    std::vector<uint8_t> frame(static_cast<size_t>(options.width) * options.height * 4);
    ProgressStart(endFrame - firstFrame);
    for (int64_t n = 0; n < endFrame; ++n) {
        if (PendingInterrupt() != 0) {
            ProgressFinish();
            return Outcome::kInterrupted;
        }
        // The show ends only after 85 s, past the last frame --to allows, so
        // the turn's result needs no look.
        const auto turnStart = std::chrono::steady_clock::now();
        RunShowFrame(n, options.fps, n >= firstFrame - 1);
        if (n < firstFrame) {
            continue;
        }
        if (times != nullptr) {
            FinishShowFrame();
            if (!AddFrameTime(times, n - firstFrame, FrameShowTimeMs(n, options.fps),
                              MillisecondsSince(turnStart), error)) {
                ProgressFinish();
                return Outcome::kFailed;
            }
        }
        ReadShowFrame(frame.data());
        if (!consume(context, n - firstFrame, frame.data(), error)) {
            ProgressFinish();
            return PendingInterrupt() != 0 ? Outcome::kInterrupted : Outcome::kFailed;
        }
        ProgressUpdate(n - firstFrame + 1);
    }
    ProgressFinish();
    return Outcome::kDone;
}

static int SendToEncoder(void* context, int64_t, const uint8_t* rgbaTopFirst, std::string* error) {
    VideoTarget* target = static_cast<VideoTarget*>(context);
    return SendVideoFrame(&target->encoder, rgbaTopFirst, target->frameBytes, error);
}

static int WriteNumberedPng(void* context, int64_t recordedIndex, const uint8_t* rgbaTopFirst,
                            std::string* error) {
    const FolderTarget* target = static_cast<const FolderTarget*>(context);
    char name[32];
    std::snprintf(name, sizeof(name), "frame_%05lld.png", static_cast<long long>(recordedIndex));
    return WritePngFile(target->folder + name, target->width, target->height, 4, rgbaTopFirst,
                        error);
}

// The --frame-times file, opened when the options ask for one; null when
// they do not.
static int OpenTimesIfAsked(const RecordOptions& options, FrameTimesFile* times,
                            FrameTimesFile** asked, std::string* error) {
    *asked = nullptr;
    if (options.frameTimesPath.empty()) {
        return 1;
    }
    if (!OpenFrameTimes(options.frameTimesPath, times, error)) {
        return 0;
    }
    *asked = times;
    return 1;
}

static int RecordVideo(const RecordOptions& options, int64_t firstFrame, int64_t endFrame) {
    std::string error;
    const std::string partialVideo = TemporarySiblingPath(options.outPath);
    const std::string partialAudio = partialVideo + ".wav";
    if (!CheckWritable(options.outPath, &error) ||
        !OpenShow(options.width, options.height, &error)) {
        return Fail(error);
    }
    // InitScene has told the silent sound library which tune it started.
    if (!WriteAudioTrack(partialAudio, options.fps, firstFrame, endFrame, &error)) {
        CloseShow();
        return Fail(error);
    }
    VideoTarget target;
    target.frameBytes = static_cast<size_t>(options.width) * options.height * 4;
    const VideoEncoderSettings settings = {options.width, options.height, options.fps, partialAudio,
                                           partialVideo};
    if (!StartVideoEncoder(settings, &target.encoder, &error)) {
        DiscardFile(partialAudio);
        CloseShow();
        return Fail(error);
    }

    FrameTimesFile timesFile;
    FrameTimesFile* times = nullptr;
    Outcome outcome = Outcome::kFailed;
    if (OpenTimesIfAsked(options, &timesFile, &times, &error)) {
        outcome = DriveFrames(options, firstFrame, endFrame, SendToEncoder, &target, times, &error);
        if (times != nullptr && !CloseFrameTimes(times, &error) && outcome == Outcome::kDone) {
            outcome = Outcome::kFailed;
        }
    }
    CloseShow();
    if (outcome != Outcome::kDone) {
        AbortVideoEncoder(&target.encoder);
        DiscardFile(partialVideo);
        DiscardFile(partialAudio);
        return outcome == Outcome::kInterrupted ? InterruptedStatus() : Fail(error);
    }
    const int encoded = FinishVideoEncoder(&target.encoder, &error);
    DiscardFile(partialAudio);
    if (PendingInterrupt() != 0) {
        DiscardFile(partialVideo);
        return InterruptedStatus();
    }
    if (!encoded) {
        DiscardFile(partialVideo);
        return Fail(error);
    }
    return CommitFile(partialVideo, options.outPath, &error) ? kExitRecorded : Fail(error);
}

static int RecordFrameFolder(const RecordOptions& options, int64_t firstFrame, int64_t endFrame) {
    std::string error;
    FolderTarget target = {options.outPath, options.width, options.height};
    if (target.folder.back() != '/') {
        target.folder += '/';
    }
    if (!PrepareOutputFolder(target.folder, &error) ||
        !OpenShow(options.width, options.height, &error)) {
        return Fail(error);
    }
    // Each frame file is renamed into place whole, so an interruption leaves
    // only complete frames.
    FrameTimesFile timesFile;
    FrameTimesFile* times = nullptr;
    Outcome outcome = Outcome::kFailed;
    if (OpenTimesIfAsked(options, &timesFile, &times, &error)) {
        outcome =
            DriveFrames(options, firstFrame, endFrame, WriteNumberedPng, &target, times, &error);
        if (times != nullptr && !CloseFrameTimes(times, &error) && outcome == Outcome::kDone) {
            outcome = Outcome::kFailed;
        }
    }
    CloseShow();
    if (outcome == Outcome::kInterrupted) {
        return InterruptedStatus();
    }
    return outcome == Outcome::kDone ? kExitRecorded : Fail(error);
}

// The show at one moment, reached the way a recording at --fps reaches it:
// every frame of the rate before the moment, then the moment itself.
static int RecordStill(const RecordOptions& options) {
    std::string error;
    if (!CheckWritable(options.outPath, &error) ||
        !OpenShow(options.width, options.height, &error)) {
        return Fail(error);
    }
    if (!StepShowToStill(StillShowTimeMs(options.stillSeconds), options.fps, PendingInterrupt)) {
        CloseShow();
        return InterruptedStatus();
    }
    std::vector<uint8_t> frame(static_cast<size_t>(options.width) * options.height * 4);
    ReadShowFrame(frame.data());
    CloseShow();
    if (!WritePngFile(options.outPath, options.width, options.height, 4, frame.data(), &error)) {
        return Fail(error);
    }
    return kExitRecorded;
}

int RunRecording(const RecordOptions& options) {
    InstallInterruptHandlers();
    const int64_t firstFrame = FirstFrameAtOrAfter(options.fromSeconds, options.fps);
    const int64_t endFrame = FirstFrameAtOrAfter(options.toSeconds, options.fps);
    switch (options.mode) {
        case RecordMode::kVideo:
            return RecordVideo(options, firstFrame, endFrame);
        case RecordMode::kPngFrames:
            return RecordFrameFolder(options, firstFrame, endFrame);
        case RecordMode::kStill:
            return RecordStill(options);
        case RecordMode::kHelp:
        case RecordMode::kListSchedule:
            break;
    }
    return kExitRecorded;
}
