// A fixture base for tests that drive the scenes: the scenes' persistent
// values, the light position the path scene writes and the texture names
// are process-wide, so each test gets them back as it found them.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "assets/scene_resources.h"
#include "show/scenes.h"

class SceneStateGuard : public ::testing::Test {
protected:
    void SetUp() override {
        saved.shrink = shrinkAccumulator;
        saved.path = pathParameter;
        saved.polyhedron = polyhedronAngle;
        saved.lattice = latticeAngle;
        std::copy(lightPosition, lightPosition + 4, saved.light);
        std::copy(textureNames, textureNames + kTextureSlotCount, saved.textures);
    }
    void TearDown() override {
        shrinkAccumulator = saved.shrink;
        pathParameter = saved.path;
        polyhedronAngle = saved.polyhedron;
        latticeAngle = saved.lattice;
        std::copy(saved.light, saved.light + 4, lightPosition);
        std::copy(saved.textures, saved.textures + kTextureSlotCount, textureNames);
    }

private:
    struct {
        float shrink;
        float path;
        float polyhedron;
        float lattice;
        float light[4];
        uint32_t textures[kTextureSlotCount];
    } saved = {};
};
