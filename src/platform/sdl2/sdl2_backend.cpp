#include "platform/sdl2/sdl2_backend.h"

Sdl2Backend sdl2;
