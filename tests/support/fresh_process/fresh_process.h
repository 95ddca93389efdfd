// Whether the process is as it started: the bytes of every process-wide
// variable of the program's own libraries (each libvup_*.a linked in: the
// program, the platform layer, the doubles), captured first thing in main,
// against the same bytes now. Where they live comes from the link map the
// build writes beside the test program (vup_fresh_process_test in
// tests/CMakeLists.txt), so a variable nobody listed is still seen.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Called by this library's main before anything else runs.
void FreshProcessCapture();

// True when the captured bytes include [address, address + size).
bool FreshProcessCovers(const void* address, size_t size);

// One line per run of bytes that differ from the capture, naming the object
// file, the offset and the variable there; a line saying why when nothing
// could be captured. Empty when all is as it was.
std::vector<std::string> FreshProcessDifferences();
