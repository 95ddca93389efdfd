// Display-mode switching and the cursor.
#include "platform/platform.h"
#include "platform/win32/win32_records.h"

int32_t PlatformChangeDisplayMode(int width, int height, int bitsPerPixel) {
    DEVMODEA mode;
    FillDisplayModeRequest(&mode, width, height, bitsPerPixel);
    // Temporary: the switch is not written to the registry, so the desktop
    // mode comes back when the program ends, even if it never restores it.
    return ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN);
}

void PlatformRestoreDisplayMode() {
    // No mode and no flags: back to the mode stored in the registry.
    ChangeDisplaySettingsA(nullptr, 0);
}

void PlatformShowCursor(int show) {
    ShowCursor(show ? TRUE : FALSE);
}
