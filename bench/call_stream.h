// One frame's GL calls as a flat array of 32-bit words, replayable straight
// to GL: each call is an opcode word followed by its arguments as they were
// passed (floats and enums one word each, doubles two words). Texture names
// are kept as texture slots, so a replay binds whatever names its own
// context gave the pictures.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum GlOp : uint32_t {
    kOpClear,
    kOpLoadIdentity,
    kOpEnable,
    kOpDisable,
    kOpTranslatef,
    kOpRotatef,
    kOpPushMatrix,
    kOpPopMatrix,
    kOpBegin,
    kOpEnd,
    kOpVertex3f,
    kOpNormal3f,
    kOpTexCoord2f,
    kOpBindTexture,
    kOpLightfv,
    kOpLookAt,
    kOpCount
};

struct CallStream {
    std::string name;
    uint32_t callCount = 0;
    std::vector<uint32_t> words;
};

// The entry point's name ("glVertex3f") and argument kinds, one letter per
// argument: 'u' an enum or integer, 'f' a float, 'd' a double, 's' a
// texture slot.
const char* GlOpName(GlOp op);
const char* GlOpArguments(GlOp op);
// kOpCount for a name the stream cannot hold.
GlOp GlOpNamed(const std::string& name);

// Appends one call whose arguments arrive widened to double (as the call log
// keeps them). Fails, with a reason, for an unknown call, a wrong argument
// count or a value its kind cannot hold exactly.
bool AppendCall(CallStream* stream, const std::string& name, const std::vector<double>& args,
                std::string* error);

// Checks that the words are whole calls with known opcodes; a stream that
// passes can be replayed without further checks.
bool ValidateCallStream(const CallStream& stream, std::string* error);

// The streams in one binary file (little-endian words, as this machine
// writes them).
bool SaveCallStreams(const std::string& path, const std::vector<CallStream>& streams,
                     std::string* error);
bool LoadCallStreams(const std::string& path, std::vector<CallStream>* streams, std::string* error);

// Sends the calls to the current GL context; slot s of a bind becomes
// textureNames[s].
void ReplayCallStream(const CallStream& stream, const uint32_t textureNames[4]);
