// The registered window classes of a backend without Win32's own (SDL2, the
// web page): a class name and instance name a window procedure. No
// dependencies beyond the platform interface's types.
#pragma once

#include "platform/platform.h"

// 1 when the class was added; 0 when its name is too long, it has no
// procedure, a class of that name and instance exists, or the table is full.
int WindowClassAdd(const WindowClassDesc* windowClass);

// 1 when the class was registered and is now gone.
int WindowClassRemove(const char* className, InstanceHandle instance);

// The procedure of a registered class, or null.
WindowProcedure WindowClassProcedure(const char* className, InstanceHandle instance);
