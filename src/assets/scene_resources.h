// Everything the scenes draw with: the pictures in their texture slots, the
// fixed render state, light 1, and the tune.
#pragma once

#include <cstdint>

#include "assets/bitmap_reader.h"
#include "assets/show_files.h"
#include "platform/music.h"

extern uint32_t textureNames[kTextureSlotCount];

extern float lightAmbient[4];
extern float lightDiffuse[4];
// Light 1's position; the Bezier path scene moves it on every frame.
extern float lightPosition[4];
constexpr float kLightPositionStart[4] = {0.0f, 0.0f, 10.0f, 1.0f};

extern SongHandle songHandle;

RgbImage* LoadImageIfPresent(const char* path);
int LoadTexture(int32_t slot, const char* path);
int InitScene();
