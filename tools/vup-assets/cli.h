// The vup-assets command line: check, decode and --help.
#pragma once

// Exit status: 0 success, 1 the check or decode failed, 2 bad usage.
int RunVupAssets(int argc, const char* const* argv);
