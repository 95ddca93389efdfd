// The mp4 encoder: an ffmpeg process fed raw RGBA frames through a pipe,
// muxing them as H.264 with a WAV file as AAC audio.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>

struct VideoEncoder {
    pid_t process = -1;
    int frameInput = -1;  // write end of ffmpeg's standard input
};

struct VideoEncoderSettings {
    int width;
    int height;
    int fps;
    std::string audioWavPath;
    std::string outputPath;  // written as mp4 whatever its name
};

// Starts ffmpeg in its own process group, so a Ctrl-C at the terminal
// reaches only the recorder, which then stops ffmpeg itself. 1 on success; 0
// with a one-line reason (for instance when ffmpeg is not installed).
int StartVideoEncoder(const VideoEncoderSettings& settings, VideoEncoder* encoder,
                      std::string* error);

// Sends one frame, rows top first, width x height x 4 bytes. 0 with a reason
// when ffmpeg has gone or a signal interrupted the write.
int SendVideoFrame(VideoEncoder* encoder, const uint8_t* rgbaTopFirst, size_t bytes,
                   std::string* error);

// Ends the input and waits for ffmpeg to finish the file. 1 when it did.
int FinishVideoEncoder(VideoEncoder* encoder, std::string* error);

// Stops ffmpeg without waiting for a complete file; safe when not started.
void AbortVideoEncoder(VideoEncoder* encoder);
