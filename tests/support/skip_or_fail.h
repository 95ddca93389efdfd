// A test whose input is missing (a file the repository ships, a package the
// test command installs): under CI (the environment variable CI set) that is
// a failure, elsewhere the test is reported as skipped. Like GTEST_SKIP, it
// returns from the calling function.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>

#define VUP_SKIP_OR_FAIL(reason)                                       \
    do {                                                               \
        const char* ci = std::getenv("CI");                            \
        if (ci != nullptr && ci[0] != '\0') {                          \
            FAIL() << reason << " (under CI no test may be left out)"; \
        }                                                              \
        GTEST_SKIP() << reason;                                        \
    } while (0)
