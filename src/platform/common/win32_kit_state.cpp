#include "platform/common/win32_kit_state.h"

Win32KitState win32Kit;
