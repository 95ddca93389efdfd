// Per-vertex lighting by the OpenGL 1.1 lighting equation, for the parts of
// it a caller of the layer can reach: up to eight lights with ambient and
// diffuse colours and a position (w = 0 directional, otherwise positional),
// the default material and the default light-model ambient.
//
// Not modelled, because no entry point of the layer can change them from
// their defaults: materials (ambient 0.2, diffuse 0.8, specular 0, emission
// 0, so the specular term is always zero), attenuation (none), spotlights
// (cut-off 180), the local viewer and two-sided lighting (both off).
#pragma once

constexpr int kGl11MaxLights = 8;

struct Gl11Light {
    bool enabled;
    float ambient[4];
    float diffuse[4];
    float position[4];  // eye coordinates, taken through the modelview when set
};

// GL's initial light: black ambient, diffuse white for light 0 and black for
// the others, directional along +z.
Gl11Light Gl11LightDefault(int index);

// The colour of a vertex at eyePosition (homogeneous) with eyeNormal, which
// is used as given, unnormalised: a long normal brightens the diffuse term
// and a short one dims it. Each component is clamped to [0, 1].
void Gl11LightVertex(const Gl11Light lights[kGl11MaxLights], const float eyePosition[4],
                     const float eyeNormal[3], float rgba[4]);
