#include "platform/webgl/gl11_lighting.h"

#include <cmath>

// The default material and light model.
static constexpr float kMaterialAmbient = 0.2f;
static constexpr float kMaterialDiffuse = 0.8f;
static constexpr float kMaterialAlpha = 1.0f;
static constexpr float kSceneAmbient = 0.2f;

Gl11Light Gl11LightDefault(int index) {
    const float diffuse = index == 0 ? 1.0f : 0.0f;
    return Gl11Light{false,
                     {0.0f, 0.0f, 0.0f, 1.0f},
                     {diffuse, diffuse, diffuse, 1.0f},
                     {0.0f, 0.0f, 1.0f, 0.0f}};
}

static float Clamp01(float value) {
    return value < 0.0f ? 0.0f : (value > 1.0f ? 1.0f : value);
}

// The unit vector from the vertex towards the light: towards the position
// for a positional light, along it for a directional one. Zero when the
// vertex sits on the light.
static void TowardsLight(const float light[4], const float vertex[4], float out[3]) {
    if (light[3] != 0.0f) {
        for (int i = 0; i < 3; ++i) {
            out[i] = light[i] / light[3] - vertex[i] / vertex[3];
        }
    } else {
        for (int i = 0; i < 3; ++i) {
            out[i] = light[i];
        }
    }
    const float length = std::sqrt(out[0] * out[0] + out[1] * out[1] + out[2] * out[2]);
    for (int i = 0; i < 3; ++i) {
        out[i] = length > 0.0f ? out[i] / length : 0.0f;
    }
}

// c = e + a_cm * a_cs + sum over enabled lights of
//     a_cm * a_cl + max(n . VP, 0) * d_cm * d_cl
void Gl11LightVertex(const Gl11Light lights[kGl11MaxLights], const float eyePosition[4],
                     const float eyeNormal[3], float rgba[4]) {
    float sum[3] = {kMaterialAmbient * kSceneAmbient, kMaterialAmbient * kSceneAmbient,
                    kMaterialAmbient * kSceneAmbient};
    for (int index = 0; index < kGl11MaxLights; ++index) {
        const Gl11Light& light = lights[index];
        if (!light.enabled) {
            continue;
        }
        float towards[3];
        TowardsLight(light.position, eyePosition, towards);
        const float facing =
            eyeNormal[0] * towards[0] + eyeNormal[1] * towards[1] + eyeNormal[2] * towards[2];
        const float diffuse = facing > 0.0f ? facing * kMaterialDiffuse : 0.0f;
        for (int i = 0; i < 3; ++i) {
            sum[i] += kMaterialAmbient * light.ambient[i] + diffuse * light.diffuse[i];
        }
    }
    for (int i = 0; i < 3; ++i) {
        rgba[i] = Clamp01(sum[i]);
    }
    rgba[3] = kMaterialAlpha;
}
