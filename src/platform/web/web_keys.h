// The page's key names (KeyboardEvent.code) to the Windows virtual-key codes
// the shell indexes its key table with.
#pragma once

#include <cstdint>

// 0 for keys without a virtual-key code, and for a null name.
uint32_t VirtualKeyFromDomCode(const char* code);
