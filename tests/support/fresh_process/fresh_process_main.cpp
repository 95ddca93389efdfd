// The main of a test program that compares the process with its start: the
// capture comes before GoogleTest or any test runs.
#include <gtest/gtest.h>

#include "fresh_process/fresh_process.h"

int main(int argc, char** argv) {
    FreshProcessCapture();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
