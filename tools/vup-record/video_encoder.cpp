#include "video_encoder.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

extern char** environ;

// The file's creation time: SOURCE_DATE_EPOCH when set (a release dates
// everything by its source), otherwise none, which ffmpeg writes as 1970.
// 1 with the time (empty when unset) as ffmpeg reads it; 0 when malformed.
static int CreationTime(std::string* time, std::string* error) {
    time->clear();
    const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
    if (epoch == nullptr) {
        return 1;
    }
    char* end = nullptr;
    errno = 0;
    const long long seconds = std::strtoll(epoch, &end, 10);
    struct tm utc;
    const time_t when = static_cast<time_t>(seconds);
    char text[32];
    if (*epoch < '0' || *epoch > '9' || *end != '\0' || errno != 0 ||
        gmtime_r(&when, &utc) == nullptr ||
        std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc) == 0) {
        *error =
            std::string("SOURCE_DATE_EPOCH is '") + epoch + "', not a number of seconds since 1970";
        return 0;
    }
    *time = text;
    return 1;
}

int StartVideoEncoder(const VideoEncoderSettings& settings, VideoEncoder* encoder,
                      std::string* error) {
    std::string creationTime;
    if (!CreationTime(&creationTime, error)) {
        return 0;
    }
    const std::string size = std::to_string(settings.width) + "x" + std::to_string(settings.height);
    const std::string rate = std::to_string(settings.fps);
    std::vector<std::string> args = {
        "ffmpeg", "-hide_banner", "-loglevel", "error", "-y",
        // Pictures: raw frames on standard input.
        "-f", "rawvideo", "-pixel_format", "rgba", "-video_size", size, "-framerate", rate, "-i",
        "pipe:0",
        // Sound: the offline render, already cut to the frames.
        "-i", settings.audioWavPath, "-map", "0:v:0", "-map", "1:a:0", "-c:v", "libx264", "-preset",
        "veryfast", "-crf", "18", "-pix_fmt", "yuv420p",
        // x264's output depends on its thread count, which by default
        // follows the machine's cores: a fixed count makes the same bytes on
        // every machine.
        "-threads", "4", "-c:a", "aac", "-b:a", "192k", "-movflags", "+faststart"};
    if (!creationTime.empty()) {
        args.insert(args.end(), {"-metadata", "creation_time=" + creationTime});
    }
    args.insert(args.end(), {"-f", "mp4", settings.outputPath});
    std::vector<char*> argv;
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);

    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
        *error = std::string("cannot make a pipe for ffmpeg: ") + std::strerror(errno);
        return 0;
    }
    // Fewer, larger writes per frame; the default 64 KiB is 1/30 of a frame.
    fcntl(pipeEnds[1], F_SETPIPE_SZ, 1 << 20);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[0], STDIN_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setpgroup(&attributes, 0);
    // The recorder ignores SIGPIPE and catches SIGINT/SIGTERM; ffmpeg gets the
    // defaults back.
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF);

    pid_t process = -1;
    const int spawned =
        posix_spawnp(&process, "ffmpeg", &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(pipeEnds[0]);
    if (spawned != 0) {
        close(pipeEnds[1]);
        *error =
            spawned == ENOENT
                ? std::string("ffmpeg not found: install the ffmpeg package for --out FILE.mp4")
                : std::string("cannot start ffmpeg: ") + std::strerror(spawned);
        return 0;
    }
    encoder->process = process;
    encoder->frameInput = pipeEnds[1];
    return 1;
}

int SendVideoFrame(VideoEncoder* encoder, const uint8_t* rgbaTopFirst, size_t bytes,
                   std::string* error) {
    size_t done = 0;
    while (done < bytes) {
        const ssize_t wrote = write(encoder->frameInput, rgbaTopFirst + done, bytes - done);
        if (wrote < 0) {
            *error = errno == EINTR
                         ? std::string("interrupted")
                         : std::string("ffmpeg stopped taking frames: ") + std::strerror(errno);
            return 0;
        }
        done += static_cast<size_t>(wrote);
    }
    return 1;
}

static int WaitForEncoder(VideoEncoder* encoder) {
    int status = 0;
    pid_t waited;
    do {
        waited = waitpid(encoder->process, &status, 0);
    } while (waited < 0 && errno == EINTR);
    encoder->process = -1;
    return waited >= 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 1 : 0;
}

int FinishVideoEncoder(VideoEncoder* encoder, std::string* error) {
    if (encoder->process < 0) {
        *error = "ffmpeg is not running";
        return 0;
    }
    close(encoder->frameInput);
    encoder->frameInput = -1;
    if (!WaitForEncoder(encoder)) {
        *error = "ffmpeg could not write the video (its messages are above)";
        return 0;
    }
    return 1;
}

void AbortVideoEncoder(VideoEncoder* encoder) {
    if (encoder->frameInput >= 0) {
        close(encoder->frameInput);
        encoder->frameInput = -1;
    }
    if (encoder->process > 0) {
        kill(encoder->process, SIGTERM);
        WaitForEncoder(encoder);
    }
}
