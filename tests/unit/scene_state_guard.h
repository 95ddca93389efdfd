// A fixture base for tests that drive the scenes: the scenes' persistent
// values, the light position the path scene writes and the texture names are
// process-wide, so each test starts and leaves them at their start values.
#pragma once

#include <gtest/gtest.h>

#include "show/show.h"

class SceneStateGuard : public ::testing::Test {
protected:
    void SetUp() override { ResetShowState(); }
    void TearDown() override { ResetShowState(); }
};
