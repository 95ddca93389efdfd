// OpenGL 1.1 and GLU, the way every platform wants them included.
#pragma once

#ifdef _WIN32
#include "platform/win32_defs.h"
#endif
#include <GL/gl.h>
#include <GL/glu.h>
