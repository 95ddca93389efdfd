// vup_bench_capture FILE: draws one frame of each measured scene state with
// GL going to the call log instead of a driver, and saves each frame's calls
// as a flat stream for the replay benchmark.
#include <cstdio>
#include <string>
#include <vector>

#include "assets/scene_resources.h"
#include "call_stream.h"
#include "gl_call_log/gl_call_log.h"
#include "platform/gl.h"
#include "scene_states.h"

// Texture slot of a name the call log handed out; -1 for none.
static int SlotOfTexture(double name) {
    for (int slot = 0; slot < kTextureSlotCount; ++slot) {
        if (static_cast<double>(textureNames[slot]) == name) {
            return slot;
        }
    }
    return -1;
}

static bool CaptureState(const SceneState& state, CallStream* stream, std::string* error) {
    state.apply();
    GlCallLogClear();
    DrawSceneState(state);
    stream->name = state.name;
    for (const GlCall& call : GlCallLog()) {
        std::vector<double> args = call.args;
        if (call.name == "glBindTexture") {
            args[1] = SlotOfTexture(args[1]);
        }
        if (!AppendCall(stream, call.name, args, error)) {
            *error = std::string(state.name) + ": " + *error;
            return false;
        }
    }
    return true;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vup_bench_capture FILE\n");
        return 2;
    }
    // Distinct names as a display open would give them; the stream keeps the
    // slot, not the name.
    glGenTextures(kTextureSlotCount, textureNames);
    std::vector<CallStream> streams(kSceneStateCount);
    std::string error;
    for (int i = 0; i < kSceneStateCount; ++i) {
        if (!CaptureState(kSceneStates[i], &streams[i], &error)) {
            std::fprintf(stderr, "vup_bench_capture: %s\n", error.c_str());
            return 1;
        }
    }
    if (!SaveCallStreams(argv[1], streams, &error)) {
        std::fprintf(stderr, "vup_bench_capture: %s\n", error.c_str());
        return 1;
    }
    for (const CallStream& stream : streams) {
        std::printf("%-18s %6u calls %7zu words\n", stream.name.c_str(), stream.callCount,
                    stream.words.size());
    }
    return 0;
}
