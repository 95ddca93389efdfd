// `vup-record --schedule`: the show's schedule (show/schedule.h) as JSON, for
// the scripts, tests and benchmarks that need its times.
#pragma once

#include <cstdio>

void PrintScheduleListing(std::FILE* out);
