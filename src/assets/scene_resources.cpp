// Placeholder until the picture loading lands: no textures, no tune.
#include "assets/scene_resources.h"

uint32_t textureNames[kTextureSlotCount];
float lightAmbient[4] = {0.5f, 0.5f, 0.5f, 1.0f};
float lightDiffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
float lightPosition[4] = {0.0f, 0.0f, 10.0f, 1.0f};
SongHandle songHandle = nullptr;

RgbImage* LoadImageIfPresent(const char*) {
    return nullptr;
}
int LoadTexture(int32_t, const char*) {
    return 0;
}
int InitScene() {
    return 1;
}
