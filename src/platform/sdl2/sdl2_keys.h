// SDL key codes to the Windows virtual-key codes the shell indexes its key
// table with.
#pragma once

#include <SDL.h>
#include <cstdint>

// 0 for keys without a virtual-key code.
uint32_t VirtualKeyFromSdl(SDL_Keycode key);
