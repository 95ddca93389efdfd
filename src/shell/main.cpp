#include "platform/win32_defs.h"
#include "shell/demo_main.h"

#ifdef _WIN32
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine,
                   int showState) {
    return DemoMain(instance, previousInstance, commandLine, showState);
}
#else
#include "platform/posix/data_dir.h"

// Set by the build: the installed data relative to the installed program, and
// the build tree's program directory with the source tree it falls back to.
#ifndef VUP_DATA_FROM_BINDIR
#define VUP_DATA_FROM_BINDIR "../share/vup"
#endif
#ifndef VUP_BUILD_BIN_DIR
#define VUP_BUILD_BIN_DIR nullptr
#endif
#ifndef VUP_SOURCE_DIR
#define VUP_SOURCE_DIR nullptr
#endif

int main() {
    // Started from a menu or a shell anywhere, the show still finds its
    // pictures and tune; a working directory that has them keeps them.
    EnterDataDirectory(VUP_DATA_FROM_BINDIR, VUP_BUILD_BIN_DIR, VUP_SOURCE_DIR);
    return DemoMain(nullptr, nullptr, nullptr, 0);
}
#endif
