// A fixture for the display shell and the frame loop: the fake platform, the
// GL call log, and a working directory holding four small valid pictures, so
// display opens succeed unless a test makes something fail.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <string>

#include "assets/scene_resources.h"
#include "fakes/bmp_builder.h"
#include "fakes/fake_music.h"
#include "fakes/fake_platform.h"
#include "gl_call_log/gl_call_log.h"
#include "platform/gl.h"
#include "shell/demo_main.h"
#include "shell/display.h"
#include "shell/process_reset.h"
#include "show/scenes.h"
#include "show/show.h"

class ShellTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(getcwd(previousDir_, sizeof previousDir_), nullptr);
        dir_ = MakeTempDir();
        ASSERT_EQ(mkdir((dir_ + "/Data").c_str(), 0755), 0);
        BmpDesc picture;
        picture.width = 4;
        picture.height = 4;
        picture.pixels = PackRows(
            24, std::vector<std::vector<uint32_t>>(4, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}));
        for (const char* file : kPictureFiles) {
            ASSERT_TRUE(WriteBytes(dir_ + "/" + file, BuildBmp(picture)));
        }
        ASSERT_EQ(chdir(dir_.c_str()), 0);

        // The loop runs real scenes, which move the light and their own
        // values: each test starts and leaves the process as it started.
        ResetAsAFreshProcess();
    }

    void TearDown() override {
        ResetAsAFreshProcess();
        ASSERT_EQ(chdir(previousDir_), 0);
        RemoveTree(dir_);
    }

    // The program's own reset, and the doubles' in place of a backend's.
    static void ResetAsAFreshProcess() {
        ResetProcessState();
        FakePlatformReset();
        FakeMusicReset();
        GlCallLogReset();
    }

    void RemovePicture(const char* name) { ASSERT_EQ(unlink((dir_ + "/Data/" + name).c_str()), 0); }

    std::string dir_;
    char previousDir_[PATH_MAX];
};
