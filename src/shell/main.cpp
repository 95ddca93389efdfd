#include "platform/win32_defs.h"
#include "shell/demo_main.h"

#ifdef _WIN32
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine,
                   int showState) {
    return DemoMain(instance, previousInstance, commandLine, showState);
}
#else
int main() {
    return DemoMain(nullptr, nullptr, nullptr, 0);
}
#endif
